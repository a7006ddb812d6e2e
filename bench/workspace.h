#pragma once

#include <string>

namespace kv::bench {

// A folder of the benchmark's own under the system's temporary folder, removed at exit.
// KORV_BENCH_DIR names another parent (to measure on a different disk).
const std::string& BenchFolder();

// Writes bytes to BenchFolder()/name and returns the full path.
std::string WriteBenchFile(const std::string& name, const std::string& bytes);

} // namespace kv::bench
