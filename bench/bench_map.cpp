// The dialog map in the window, from its dock opened on a project to its first picture on screen:
// the graph copied, Graphviz's layout in the worker, the scene built and the view painted.
#include "bench_report.h"
#include "generated_project.h"

#include "editor/dialog_map_view.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <chrono>

namespace kv::bench {
namespace {

void MapFirstPaint(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    const int dialogs = static_cast<int>(state.range(0));
    const Project project = MakeBenchProject(dialogs);
    double layoutSeconds = 0, paintSeconds = 0;
    for (auto _ : state) {
        // The map is laid out when it is first shown, as when its dock is opened.
        const auto start = Clock::now();
        DialogMapView map(project);
        map.resize(1000, 700);
        bool finished = false;
        QObject::connect(&map, &DialogMapView::LayoutFinished, [&] { finished = true; });
        map.show();
        while (!finished) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        const auto laidOut = Clock::now();
        map.viewport()->repaint();
        const auto painted = Clock::now();
        state.SetIterationTime(std::chrono::duration<double>(painted - start).count());
        // Graphviz's share and the window's (the scene built before, the painting here).
        layoutSeconds += std::chrono::duration<double>(laidOut - start).count();
        paintSeconds += std::chrono::duration<double>(painted - laidOut).count();
        if (map.BoxRect(dialogs - 1).isEmpty()) state.SkipWithError("the map is incomplete");
    }
    const auto runs = static_cast<double>(state.iterations());
    state.counters["dialogs"] = dialogs;
    state.counters["laid_out_ms"] = layoutSeconds / runs * 1e3;
    state.counters["paint_ms"] = paintSeconds / runs * 1e3;
}

BENCHMARK(MapFirstPaint)->Apply(AtThreeSizes);

} // namespace
} // namespace kv::bench
