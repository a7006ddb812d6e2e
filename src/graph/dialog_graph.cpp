#include "graph/dialog_graph.h"

#include "model/flat_table.h"
#include "text/cp1251.h"

namespace kv {

DialogGraph BuildDialogGraph(const Project& project) {
    DialogGraph graph;
    graph.nodes.reserve(static_cast<std::size_t>(project.DialogCount()));
    const auto count = static_cast<std::size_t>(project.DialogCount());
    FlatTable<const TDialogItem*, int> nodeOfDialog(count);
    FlatTable<std::int32_t, int> firstWithNumber(count); // node of the first dialog per number
    FlatTable<std::int32_t, int> timesSeen(count);       // dialogs per number so far
    int position = 0;
    for (const TDialogItem* d = project.Dialogs(); d; d = d->Next, ++position) {
        const int index = static_cast<int>(graph.nodes.size());
        const int seen = ++timesSeen.TryEmplace(d->FunctionNumber, 0).first;
        std::string id = std::to_string(d->FunctionNumber);
        if (seen > 1) id += "_" + std::to_string(seen);
        graph.nodes.push_back({std::move(id), d->FunctionNumber, std::string(d->Hint.view()),
                               position});
        nodeOfDialog.TryEmplace(d, index);
        firstWithNumber.TryEmplace(d->FunctionNumber, index);
    }

    FlatTable<std::int32_t, int> outside(count);
    for (const TDialogItem* d = project.Dialogs(); d; d = d->Next) {
        const int from = *nodeOfDialog.Find(d);
        for (int k = 0; k < kSlotCount; ++k) {
            if (!d->HasFollowUp(k)) continue;
            const auto slot = static_cast<std::size_t>(k);
            int to = -1;
            if (const TDialogItem* link = d->LinkDialog[slot]) {
                if (const int* node = nodeOfDialog.Find(link)) to = *node;
            }
            const std::int32_t number = d->FollowUp(k);
            if (to < 0) {
                if (const int* node = firstWithNumber.Find(number)) to = *node;
            }
            if (to < 0) {
                auto [node, added] = outside.TryEmplace(number, static_cast<int>(graph.nodes.size()));
                to = node;
                if (added) graph.nodes.push_back({std::to_string(number), number, {}, -1});
            }
            graph.edges.push_back({from, to, k + 1, std::string(d->Variant[slot].view())});
        }
    }
    return graph;
}

std::string DotLabelText(std::string_view cp1251) {
    const std::string utf8 = Cp1251ToUtf8(cp1251);
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out;
}

std::vector<DotAttribute> DotNodeAttributes(const GraphNode& node) {
    const std::string number = std::to_string(node.function);
    if (node.dialog < 0) return {{"label", number}, {"style", "dashed"}};
    std::string label = number;
    if (!node.caption.empty()) label += "\\n" + DotLabelText(node.caption);
    return {{"label", std::move(label)}};
}

std::vector<DotAttribute> DotEdgeAttributes(const GraphEdge& edge) {
    std::vector<DotAttribute> attributes{{"label", std::to_string(edge.answer)}};
    if (!edge.caption.empty()) attributes.push_back({"tooltip", DotLabelText(edge.caption)});
    return attributes;
}

const DotDefaults& DotGraphDefaults() {
    static const DotDefaults defaults{
        {{"rankdir", "TB"}},
        {{"shape", "box"}, {"fontname", "sans-serif"}, {"fontsize", "10"}},
        {{"fontname", "sans-serif"}, {"fontsize", "9"}},
    };
    return defaults;
}

namespace {

// A value inside double quotes: Graphviz's reader takes \" for a quote and leaves the other
// backslashes to the label's own escapes.
void AppendQuoted(std::string& out, const std::string& value) {
    out += '"';
    for (char c : value) {
        if (c == '"') out += '\\';
        out += c;
    }
    out += '"';
}

void AppendAttributes(std::string& out, const std::vector<DotAttribute>& attributes) {
    out += " [";
    for (std::size_t i = 0; i < attributes.size(); ++i) {
        if (i > 0) out += ", ";
        out += attributes[i].name;
        out += '=';
        AppendQuoted(out, attributes[i].value);
    }
    out += ']';
}

} // namespace

std::string DialogGraphToDot(const DialogGraph& graph) {
    const DotDefaults& defaults = DotGraphDefaults();
    std::string out = "digraph dialogs {\n";
    const std::pair<const char*, const std::vector<DotAttribute>*> heads[] = {
        {"graph", &defaults.graph}, {"node", &defaults.node}, {"edge", &defaults.edge}};
    for (const auto& [head, attributes] : heads) {
        out += "  ";
        out += head;
        AppendAttributes(out, *attributes);
        out += ";\n";
    }
    for (const GraphNode& node : graph.nodes) {
        out += "  ";
        AppendQuoted(out, node.id);
        AppendAttributes(out, DotNodeAttributes(node));
        out += ";\n";
    }
    for (const GraphEdge& edge : graph.edges) {
        out += "  ";
        AppendQuoted(out, graph.nodes[static_cast<std::size_t>(edge.from)].id);
        out += " -> ";
        AppendQuoted(out, graph.nodes[static_cast<std::size_t>(edge.to)].id);
        AppendAttributes(out, DotEdgeAttributes(edge));
        out += ";\n";
    }
    out += "}\n";
    return out;
}

} // namespace kv
