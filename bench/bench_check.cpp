// The project checks, which the window runs after every edit: the whole project checked against
// the facts of its script (read once, as the window keeps them between edits).
#include "generated_project.h"

#include "check/check_project.h"

#include <benchmark/benchmark.h>

#include <chrono>

namespace kv::bench {
namespace {

void Check(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    const int dialogs = static_cast<int>(state.range(0));
    const Project project = MakeBenchProject(dialogs);
    const ScriptFacts script = ScanScript(MakeUserScript(1u << 20));
    double seconds = 0;
    std::size_t problems = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        std::vector<Problem> found = CheckProject(project, script);
        const double taken = std::chrono::duration<double>(Clock::now() - start).count();
        problems = found.size();
        benchmark::DoNotOptimize(found);
        state.SetIterationTime(taken);
        seconds += taken;
    }
    state.counters["dialogs"] = dialogs;
    state.counters["problems"] = static_cast<double>(problems);
    state.counters["us_per_dialog"] =
        seconds / static_cast<double>(state.iterations()) / dialogs * 1e6;
}

BENCHMARK(Check)
    ->ArgName("dialogs")
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kv::bench
