#pragma once

#include "model/project.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kv {

// One box of the map: a dialog of the project, or a function outside it that an answer calls.
struct GraphNode {
    std::string id;           // the node's name in dot: its function number, unique in the graph
    std::int32_t function = 0;
    std::string caption;      // the dialog's Hint (Windows-1251); empty for an outside function
    int dialog = -1;          // position in the project's list; -1 for an outside function
};

// One arrow: an answer with a follow-up, from its dialog to where it leads.
struct GraphEdge {
    int from = 0;        // node index
    int to = 0;          // node index
    int answer = 0;      // 1..12, the answer's number in its dialog
    std::string caption; // the answer's caption (Windows-1251)
};

// The dialogs in list order, then the outside functions in the order answers first call them;
// the edges dialog by dialog, answer by answer.
struct DialogGraph {
    std::vector<GraphNode> nodes;
    std::vector<GraphEdge> edges;
};

// An answer leads to its linked dialog, else to the first dialog with its function number, else
// to an outside function of that number. Function numbers need not be unique: a dialog whose
// number an earlier dialog already has gets "N_2", "N_3"... as its name.
DialogGraph BuildDialogGraph(const Project& project);

// The attributes of the graph in Graphviz's language: names and values, the values already
// escaped for Graphviz's labels and in UTF-8. The dot text and the laid-out graph both take them
// from here, so that a picture and its dot file agree.
struct DotAttribute {
    std::string name;
    std::string value;
};
std::vector<DotAttribute> DotNodeAttributes(const GraphNode& node);
std::vector<DotAttribute> DotEdgeAttributes(const GraphEdge& edge);
// The defaults of the whole graph, its nodes and its edges, in that order.
struct DotDefaults {
    std::vector<DotAttribute> graph, node, edge;
};
const DotDefaults& DotGraphDefaults();

// A text (Windows-1251) as a Graphviz label: UTF-8, a backslash doubled, line ends as \n.
std::string DotLabelText(std::string_view cp1251);

// The graph as a dot file: nodes named by function number, one `A -> B` per answer labelled
// with its number, the answer's caption as the arrow's tooltip. Lines end with LF.
std::string DialogGraphToDot(const DialogGraph& graph);

} // namespace kv
