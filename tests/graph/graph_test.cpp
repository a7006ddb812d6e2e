// The dialog graph of a project (nodes, arrows, outside functions), its dot text, and its layout
// by Graphviz.
#include "graph/dialog_graph.h"
#ifdef KORV_HAVE_LAYOUT // a build without Graphviz tests the dot text alone
#include "layout/graph_layout.h"
#endif
#include "support/random_project.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kv {
namespace {

struct Answer {
    int slot;
    std::int32_t function; // the stored number
    int link;              // position of the linked dialog, -1 for none
};
struct DialogShape {
    std::int32_t function;
    std::vector<Answer> answers;
};
struct GraphCase {
    const char* name;
    std::vector<DialogShape> dialogs;
    std::vector<std::string> nodes; // id, then "*" for an outside function
    std::vector<std::string> edges; // "from->to:answer" by node id
};

Project MakeProject(const std::vector<DialogShape>& dialogs) {
    Project project;
    for (const DialogShape& shape : dialogs)
        project.AppendDialog()->FunctionNumber = shape.function;
    int position = 0;
    for (const DialogShape& shape : dialogs) {
        TDialogItem& d = *project.DialogAt(position++);
        for (const Answer& a : shape.answers) {
            const auto k = static_cast<std::size_t>(a.slot);
            d.Variant[k] = "ответ " + std::to_string(a.slot + 1);
            d.Function[k] = a.function;
            d.LinkDialog[k] = a.link < 0 ? nullptr : project.DialogAt(a.link);
        }
    }
    return project;
}

TEST(DialogGraph, NodesArrowsAndOutsideFunctions) {
    const GraphCase cases[] = {
        {"empty", {}, {}, {}},
        {"links, numbers and outside functions",
         {{10, {{0, 0, 1}, {1, 99, -1}, {2, 20, -1}, {3, 0, -1}, {5, 10, -1}}},
          {20, {{0, 99, -1}, {11, -7, -1}}}},
         {"10", "20", "99*", "-7*"},
         {"10->20:1", "10->99:2", "10->20:3", "10->10:6", "20->99:1", "20->-7:12"}},
        // A number is looked up from the head; a link goes to its own dialog.
        {"repeated numbers",
         {{5, {{0, 5, -1}, {1, 0, 1}}}, {5, {{0, 6, -1}}}, {6, {}}, {5, {}}},
         {"5", "5_2", "6", "5_3"},
         {"5->5:1", "5->5_2:2", "5_2->6:1"}},
    };
    for (const GraphCase& c : cases) {
        const DialogGraph graph = BuildDialogGraph(MakeProject(c.dialogs));
        std::vector<std::string> nodes, edges;
        for (const GraphNode& n : graph.nodes)
            nodes.push_back(n.id + (n.dialog < 0 ? "*" : ""));
        for (const GraphEdge& e : graph.edges) {
            edges.push_back(graph.nodes[static_cast<std::size_t>(e.from)].id + "->" +
                            graph.nodes[static_cast<std::size_t>(e.to)].id + ":" +
                            std::to_string(e.answer));
            EXPECT_EQ(e.caption, "ответ " + std::to_string(e.answer)) << c.name;
        }
        EXPECT_EQ(nodes, c.nodes) << c.name;
        EXPECT_EQ(edges, c.edges) << c.name;
    }
}

TEST(DialogGraph, TextsReachGraphvizAsTheyStand) {
    // Windows-1251 becomes UTF-8; quotes, backslashes and line ends survive dot's two levels of
    // escapes, in the dot text and through Graphviz's own reading of the labels.
    Project project = MakeProject({{1, {{0, 2, -1}}}});
    project.Dialogs()->Hint = "\xC4\xE0 \"q\" C:\\x\\";
    project.Dialogs()->Variant[0] = "a\rb\\n"; // a text holds no line feed, a CR may stand
    const DialogGraph graph = BuildDialogGraph(project);
    const std::string dot = DialogGraphToDot(graph);
    EXPECT_NE(dot.find("  \"1\" [label=\"1\\nДа \\\"q\\\" C:\\\\x\\\\\"];\n"), std::string::npos)
        << dot;
    EXPECT_NE(dot.find("  \"1\" -> \"2\" [label=\"1\", tooltip=\"a\\nb\\\\n\"];\n"),
              std::string::npos)
        << dot;
#ifdef KORV_HAVE_LAYOUT
    const std::string svg = RenderGraph(graph, LayoutEngine::Layered, "svg");
    EXPECT_NE(svg.find(">Да &quot;q&quot; C:\\x\\</text>"), std::string::npos) << svg;
    EXPECT_NE(svg.find("xlink:title=\"a&#10;b\\n\""), std::string::npos) << svg;
#endif
}

#ifdef KORV_HAVE_LAYOUT
TEST(GraphLayout, EveryNodeAndArrowHasItsPlaceUnderBothEngines) {
    kvtest::RandomProjects random(18);
    for (LayoutEngine engine : {LayoutEngine::Layered, LayoutEngine::Spring}) {
        const DialogGraph graph = BuildDialogGraph(random.Next(60));
        const GraphLayout layout = LayOutGraph(graph, engine);
        ASSERT_EQ(layout.nodes.size(), graph.nodes.size());
        ASSERT_EQ(layout.edges.size(), graph.edges.size());
        for (const NodePlace& n : layout.nodes) {
            EXPECT_GT(n.width, 0);
            EXPECT_GE(n.center.x - n.width / 2, -0.5);
            EXPECT_LE(n.center.x + n.width / 2, layout.width + 0.5);
            EXPECT_GE(n.center.y - n.height / 2, -0.5);
            EXPECT_LE(n.center.y + n.height / 2, layout.height + 0.5);
        }
        for (std::size_t i = 0; i < graph.edges.size(); ++i) {
            const EdgeRoute& route = layout.edges[i];
            const NodePlace& to = layout.nodes[static_cast<std::size_t>(graph.edges[i].to)];
            ASSERT_GE(route.spline.size(), 2u);
            EXPECT_TRUE(route.hasArrow);
            // The arrow ends at the border of the box it leads to.
            EXPECT_LE(std::abs(route.arrowTip.x - to.center.x), to.width / 2 + 1);
            EXPECT_LE(std::abs(route.arrowTip.y - to.center.y), to.height / 2 + 1);
        }
    }
}
#endif

} // namespace
} // namespace kv
