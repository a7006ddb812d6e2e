// Find while typing, over every text of the project: a word, and the single letter of the first
// keystroke, which matches the most. Replacing a word everywhere, as one edit made and applied.
#include "bench_report.h"
#include "floor_timing.h"
#include "generated_project.h"

#include "find/text_search.h"
#include "text/cp1251.h"

#include <benchmark/benchmark.h>

namespace kv::bench {
namespace {

void Find(benchmark::State& state, const char* utf8Query) {
    const int dialogs = static_cast<int>(state.range(0));
    const Project project = MakeBenchProject(dialogs);
    const std::string query = Utf8ToCp1251(utf8Query);
    MeasureEach(state, dialogs, [&] { return Search(project, query); });
    state.counters["matches"] = static_cast<double>(Search(project, query).size());
}

void FindWord(benchmark::State& state) {
    Find(state, "КАРТА");
}
void FindLetter(benchmark::State& state) {
    Find(state, "к");
}

void ReplaceEverywhere(benchmark::State& state) {
    const int dialogs = static_cast<int>(state.range(0));
    Project project = MakeBenchProject(dialogs);
    const std::string query = Utf8ToCp1251("карта"), with = Utf8ToCp1251("свиток");
    MeasureEach(state, dialogs, [&] {
        // Back and forth, so that every run finds as many matches as the first.
        Replacement there = ReplaceAll(project, query, with);
        there.edit->Apply(project);
        there.edit->Revert(project);
        return there.replaced;
    });
}

BENCHMARK(FindWord)->Apply(AtThreeSizes);
BENCHMARK(FindLetter)->Apply(AtThreeSizes);
BENCHMARK(ReplaceEverywhere)->Apply(AtThreeSizes);

} // namespace
} // namespace kv::bench
