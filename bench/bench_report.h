#pragma once

namespace kv::bench {

// The main of every benchmark program: runs the registered benchmarks with the console output
// and, given --korv_markdown=FILE, also writes the measured table with each figure set against
// its target (ratio to the floor, or time, at 10,000 dialogs; growth from 1,000 to 10,000).
int RunBenchmarks(int argc, char** argv);

} // namespace kv::bench
