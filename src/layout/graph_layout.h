#pragma once

#include "graph/dialog_graph.h"

#include <string>
#include <vector>

namespace kv {

// Graphviz lays out and draws the dialog graph; this is the one place that talks to it, so that
// the core keeps to the standard library and only the CLI and the window link Graphviz.
enum class LayoutEngine {
    Layered, // Graphviz's dot: ranks top to bottom, the clearest picture of a quest
    Spring,  // Graphviz's sfdp: a force-directed layout that stays fast on large projects
};

// The engine for a graph of this size: layered up to 200 boxes, spring beyond (the layered
// engine's time grows much faster than the graph).
LayoutEngine EngineForSize(std::size_t nodes);

struct LayoutPoint {
    double x = 0, y = 0;
};

// Positions in points (1/72 inch), from the top left corner of the picture, y growing down.
struct NodePlace {
    LayoutPoint center;
    double width = 0, height = 0;
};

struct EdgeRoute {
    // Cubic Bezier pieces: the first point, then three points a piece. Empty when the engine
    // drew the arrow as nothing (an edge of a node to itself under some engines).
    std::vector<LayoutPoint> spline;
    bool hasArrow = false;
    LayoutPoint arrowTip; // where the arrowhead points, at the border of the target box
    LayoutPoint label;    // halfway along the arrow: where its answer number goes
};

struct GraphLayout {
    double width = 0, height = 0;
    std::vector<NodePlace> nodes; // one per node of the graph, same order
    std::vector<EdgeRoute> edges; // one per edge of the graph, same order
};

// Throws Error with Graphviz's complaint when the layout fails.
GraphLayout LayOutGraph(const DialogGraph& graph, LayoutEngine engine);

// The laid-out graph drawn by Graphviz in one of its output formats ("svg").
std::string RenderGraph(const DialogGraph& graph, LayoutEngine engine, const std::string& format);

} // namespace kv
