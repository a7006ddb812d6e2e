// The project checks, which the window runs after every edit: the whole project checked against
// the facts of its script (read once, as the window keeps them between edits).
#include "bench_report.h"
#include "floor_timing.h"
#include "generated_project.h"

#include "check/check_project.h"

#include <benchmark/benchmark.h>

namespace kv::bench {
namespace {

void Check(benchmark::State& state) {
    const int dialogs = static_cast<int>(state.range(0));
    const Project project = MakeBenchProject(dialogs);
    const ScriptFacts script = ScanScript(MakeUserScript(1u << 20));
    MeasureEach(state, dialogs, [&] { return CheckProject(project, script); });
    state.counters["problems"] = static_cast<double>(CheckProject(project, script).size());
}

BENCHMARK(Check)->Apply(AtThreeSizes);

} // namespace
} // namespace kv::bench
