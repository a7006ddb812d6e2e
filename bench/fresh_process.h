#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kv::bench {

// A program run in a process of its own: what a user's first open or a build script's
// `korvanthiel-cli convert` costs, with its peak resident set.
struct FreshRun {
    double seconds = 0;   // from the start of the process to its end
    double peakBytes = 0; // the largest resident set the process had
};

// Runs argv (argv[0] a path) in a new process and waits for it; throws when it fails. The peak
// is that process's alone: the new process is started from a small copy of this program, since
// a process started straight from a large one inherits the large one's peak.
FreshRun RunFresh(const std::vector<std::string>& argv);

// A piece of work that a benchmark runs in a fresh process of this program: the program is
// started again with --korv_child=NAME PATH, runs task(PATH) and exits with what it returns.
using ChildTask = int (*)(const std::string& path);
bool RegisterChildTask(const char* name, ChildTask task); // for a namespace-scope initializer
// The command line that runs a registered task on path in a fresh process.
std::vector<std::string> ChildCommand(const char* name, const std::string& path);

// When argv asks for one of the modes above, runs it and gives its exit status.
std::optional<int> RunProcessMode(int argc, char** argv);

} // namespace kv::bench
