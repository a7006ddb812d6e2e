// The dialog map: the graph built from a project and laid out by Graphviz, as the window does it
// before it can paint the map, under the layered engine and the spring engine for large projects.
#include "bench_report.h"
#include "floor_timing.h"
#include "generated_project.h"

#include "graph/dialog_graph.h"
#include "layout/graph_layout.h"

#include <benchmark/benchmark.h>

namespace kv::bench {
namespace {

void LayOut(benchmark::State& state, LayoutEngine engine) {
    const int dialogs = static_cast<int>(state.range(0));
    const Project project = MakeBenchProject(dialogs);
    MeasureEach(state, dialogs, [&] { return LayOutGraph(BuildDialogGraph(project), engine); });
    state.counters["edges"] = static_cast<double>(BuildDialogGraph(project).edges.size());
}

void MapLayered(benchmark::State& state) { LayOut(state, LayoutEngine::Layered); }
void MapSpring(benchmark::State& state) { LayOut(state, LayoutEngine::Spring); }

// The layered engine's time grows much faster than the project: on these densely linked
// projects 1,000 dialogs take over five minutes, so it is measured at 100 only; larger projects
// are laid out with the spring engine.
BENCHMARK(MapLayered)
    ->ArgName("dialogs")
    ->Arg(100)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(MapSpring)->Apply(AtThreeSizes);

} // namespace
} // namespace kv::bench
