#pragma once

#include <benchmark/benchmark.h>

namespace kv::bench {

// The usual registration of a benchmark on generated projects: 100, 1,000 and 10,000 dialogs,
// timed by the benchmark itself, in milliseconds. `BENCHMARK(X)->Apply(AtThreeSizes);`
void AtThreeSizes(benchmark::internal::Benchmark* b);

// The main of every benchmark program: runs the registered benchmarks with the console output
// and, given --korv_markdown=FILE, also writes the measured table with each figure set against
// its target (ratio to the floor, or time, at 10,000 dialogs; growth from 1,000 to 10,000).
int RunBenchmarks(int argc, char** argv);

} // namespace kv::bench
