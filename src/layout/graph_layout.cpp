#include "layout/graph_layout.h"

#include "text/error.h"

#include <graphviz/cgraph.h>
#include <graphviz/gvc.h>

#include <memory>
#include <mutex>

namespace kv {

namespace {

// Graphviz keeps global state: one context for the program, and one layout at a time (the window
// lays out off its own thread while the user works).
std::mutex graphvizLock;
std::string graphvizMessages;

int KeepMessage(char* message) {
    graphvizMessages += message;
    return 0;
}

GVC_t* Context() {
    static GVC_t* context = [] {
        agseterrf(KeepMessage);
        return gvContext();
    }();
    return context;
}

char* Chars(const std::string& text) { return const_cast<char*>(text.c_str()); }

void SetAll(void* object, const std::vector<DotAttribute>& attributes) {
    for (const DotAttribute& a : attributes)
        agsafeset(object, Chars(a.name), Chars(a.value), Chars(std::string()));
}

[[noreturn]] void Fail(const char* what) {
    std::string text = std::string("Не удалось ") + what + " карту диалогов";
    if (!graphvizMessages.empty()) text += ": " + graphvizMessages;
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    throw Error(text);
}

// The graph in Graphviz's own structures, laid out; freed with its layout when it goes.
class LaidOut {
public:
    enum class EdgeLabels { Drawn, Left };
    LaidOut(const DialogGraph& graph, LayoutEngine engine, EdgeLabels labels) {
        graphvizMessages.clear();
        graph_ = agopen(Chars("dialogs"), Agdirected, nullptr);
        if (!graph_) Fail("построить");
        const DotDefaults& defaults = DotGraphDefaults();
        for (const DotAttribute& a : defaults.graph)
            agattr(graph_, AGRAPH, Chars(a.name), Chars(a.value));
        for (const DotAttribute& a : defaults.node)
            agattr(graph_, AGNODE, Chars(a.name), Chars(a.value));
        for (const DotAttribute& a : defaults.edge)
            agattr(graph_, AGEDGE, Chars(a.name), Chars(a.value));
        if (engine == LayoutEngine::Layered) {
            // The network simplex passes that place ranks and columns take most of the time
            // on a densely linked project; two passes each give a layout just as readable.
            agattr(graph_, AGRAPH, Chars("nslimit"), Chars("2"));
            agattr(graph_, AGRAPH, Chars("nslimit1"), Chars("2"));
        } else {
            // Boxes pushed apart in a few rounds of overlap removal (without any, a thousand
            // boxes lie in heaps over each other; the default thousand rounds cost many times
            // the layout; five cost about half the layout again at 10,000 boxes), and arrows
            // as straight lines: spline routing is what makes force-directed layouts slow.
            agattr(graph_, AGRAPH, Chars("overlap"), Chars("prism5"));
            agattr(graph_, AGRAPH, Chars("splines"), Chars("false"));
        }
        nodes.reserve(graph.nodes.size());
        for (const GraphNode& node : graph.nodes) {
            nodes.push_back(agnode(graph_, Chars(node.id), 1));
            SetAll(nodes.back(), DotNodeAttributes(node));
        }
        edges.reserve(graph.edges.size());
        for (const GraphEdge& edge : graph.edges) {
            edges.push_back(agedge(graph_, nodes[static_cast<std::size_t>(edge.from)],
                                   nodes[static_cast<std::size_t>(edge.to)], nullptr, 1));
            std::vector<DotAttribute> attributes = DotEdgeAttributes(edge);
            // An edge label is a box of its own to Graphviz's layouts, and makes them many
            // times slower; an external label is placed after the layout instead, and the
            // window places the numbers itself.
            for (auto a = attributes.begin(); a != attributes.end();) {
                if (a->name != "label") {
                    ++a;
                } else if (labels == EdgeLabels::Drawn) {
                    (a++)->name = "xlabel";
                } else {
                    a = attributes.erase(a);
                }
            }
            SetAll(edges.back(), attributes);
        }
        const char* name = engine == LayoutEngine::Layered ? "dot" : "sfdp";
        if (gvLayout(Context(), graph_, name) != 0) {
            agclose(graph_); // a constructor that throws runs no destructor
            graph_ = nullptr;
            Fail("разложить");
        }
        laidOut_ = true;
    }
    ~LaidOut() {
        if (laidOut_) gvFreeLayout(Context(), graph_);
        if (graph_) agclose(graph_);
    }
    LaidOut(const LaidOut&) = delete;
    LaidOut& operator=(const LaidOut&) = delete;

    Agraph_t* Graph() const { return graph_; }
    std::vector<Agnode_t*> nodes;
    std::vector<Agedge_t*> edges;

private:
    Agraph_t* graph_ = nullptr;
    bool laidOut_ = false;
};

// The point halfway along the middle piece of a Bezier curve: where an edge's number goes.
LayoutPoint Middle(const std::vector<LayoutPoint>& spline) {
    const std::size_t pieces = (spline.size() - 1) / 3;
    if (pieces == 0) return spline.front();
    const std::size_t at = (pieces - 1) / 2 * 3;
    if (pieces % 2 == 0) return spline[at + 3]; // the joint between the two middle pieces
    const LayoutPoint& p0 = spline[at];
    const LayoutPoint& p1 = spline[at + 1];
    const LayoutPoint& p2 = spline[at + 2];
    const LayoutPoint& p3 = spline[at + 3];
    return {(p0.x + 3 * p1.x + 3 * p2.x + p3.x) / 8, (p0.y + 3 * p1.y + 3 * p2.y + p3.y) / 8};
}

} // namespace

LayoutEngine EngineForSize(std::size_t nodes) {
    return nodes <= 200 ? LayoutEngine::Layered : LayoutEngine::Spring;
}

GraphLayout LayOutGraph(const DialogGraph& graph, LayoutEngine engine) {
    std::lock_guard<std::mutex> lock(graphvizLock);
    LaidOut laid(graph, engine, LaidOut::EdgeLabels::Left);
    const boxf box = GD_bb(laid.Graph());
    // Graphviz's y grows up from the bottom left corner; the window's grows down from the top.
    auto flip = [&](pointf p) { return LayoutPoint{p.x - box.LL.x, box.UR.y - p.y}; };

    GraphLayout layout;
    layout.width = box.UR.x - box.LL.x;
    layout.height = box.UR.y - box.LL.y;
    layout.nodes.reserve(laid.nodes.size());
    for (Agnode_t* n : laid.nodes)
        layout.nodes.push_back({flip(ND_coord(n)), ND_width(n) * 72.0, ND_height(n) * 72.0});
    layout.edges.reserve(laid.edges.size());
    for (Agedge_t* e : laid.edges) {
        EdgeRoute route;
        if (const splines* lines = ED_spl(e); lines && lines->size > 0) {
            const bezier& curve = lines->list[0];
            for (int i = 0; i < curve.size; ++i)
                route.spline.push_back(flip(curve.list[i]));
            route.hasArrow = curve.eflag != 0;
            if (route.hasArrow) route.arrowTip = flip(curve.ep);
        }
        if (!route.spline.empty()) route.label = Middle(route.spline);
        layout.edges.push_back(std::move(route));
    }
    return layout;
}

std::string RenderGraph(const DialogGraph& graph, LayoutEngine engine, const std::string& format) {
    std::lock_guard<std::mutex> lock(graphvizLock);
    LaidOut laid(graph, engine, LaidOut::EdgeLabels::Drawn);
    char* data = nullptr;
    unsigned int length = 0;
    if (gvRenderData(Context(), laid.Graph(), format.c_str(), &data, &length) != 0 || !data)
        Fail("нарисовать");
    std::string text(data, length);
    gvFreeRenderData(data);
    return text;
}

} // namespace kv
