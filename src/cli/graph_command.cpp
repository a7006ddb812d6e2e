// `graph`: the map of a project's dialogs for build scripts and documentation, as dot text (the
// default, written without Graphviz) or as an SVG picture laid out by Graphviz.
#include "cli/commands.h"
#include "graph/dialog_graph.h"
#include "text/error.h"
#include "text/file_io.h"
#ifdef KORV_HAVE_LAYOUT
#include "layout/graph_layout.h"
#endif

#include <iostream>

namespace kv::cli {

int Graph(const std::vector<std::string>& args) {
    std::string projectPath, format, output;
    bool haveFormat = false, haveOutput = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const bool isFormat = args[i] == "--format", isOutput = args[i] == "-o";
        if ((isFormat && !haveFormat) || (isOutput && !haveOutput)) {
            if (i + 1 >= args.size()) return Usage();
            (isOutput ? haveOutput : haveFormat) = true;
            (isOutput ? output : format) = args[i + 1];
            ++i;
        } else if (projectPath.empty() && !args[i].empty() && args[i][0] != '-') {
            projectPath = args[i];
        } else {
            return Usage();
        }
    }
    if (!haveFormat) format = "dot";
    if (projectPath.empty() || (format != "dot" && format != "svg") ||
        (haveOutput && output.empty()))
        return Usage();

    const Project project = ReadAnyProject(projectPath);
    const DialogGraph graph = BuildDialogGraph(project);
#ifdef KORV_HAVE_LAYOUT
    const std::string text = format == "dot"
                                 ? DialogGraphToDot(graph)
                                 : RenderGraph(graph, EngineForSize(graph.nodes.size()), format);
#else
    // The Windows build has no Graphviz to lay the picture out; the dot text needs none.
    if (format != "dot")
        throw Error("The " + format + " format is not available in this build (it has no "
                    "Graphviz); write dot and lay it out with Graphviz's dot program");
    const std::string text = DialogGraphToDot(graph);
#endif
    if (haveOutput && output != "-")
        ReplaceFileSafely(output, text);
    else
        std::cout << text << std::flush;
    return 0;
}

} // namespace kv::cli
