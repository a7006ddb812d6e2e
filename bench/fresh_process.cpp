#include "fresh_process.h"

#include "text/error.h"
#include "text/file_io.h"
#include "workspace.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kv::bench {
namespace {

constexpr const char* kMeasureFlag = "--korv_measure";
constexpr const char* kChildFlag = "--korv_child=";

std::map<std::string, ChildTask>& Tasks() {
    static std::map<std::string, ChildTask> tasks;
    return tasks;
}

std::string SelfPath() {
    return std::filesystem::read_symlink("/proc/self/exe").string();
}

// Starts argv and waits for it. The caller is small (a fresh copy of this program), so the
// child's peak starts from the caller's few megabytes, never from the benchmark's projects.
int Measure(const std::string& resultPath, char** argv) {
    auto start = std::chrono::steady_clock::now();
    pid_t pid = ::fork();
    if (pid == 0) {
        ::execv(argv[0], argv);
        std::perror(argv[0]);
        ::_exit(127);
    }
    if (pid < 0) return 1;
    int status = 0;
    rusage usage{};
    if (::wait4(pid, &status, 0, &usage) != pid) return 1;
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return 1;
    std::FILE* out = std::fopen(resultPath.c_str(), "w");
    if (!out) return 1;
    // ru_maxrss is in kilobytes on Linux.
    std::fprintf(out, "%.9f %ld\n", seconds, usage.ru_maxrss);
    return std::fclose(out) == 0 ? 0 : 1;
}

} // namespace

bool RegisterChildTask(const char* name, ChildTask task) {
    Tasks()[name] = task;
    return true;
}

std::vector<std::string> ChildCommand(const char* name, const std::string& path) {
    return {SelfPath(), std::string(kChildFlag) + name, path};
}

FreshRun RunFresh(const std::vector<std::string>& argv) {
    std::string resultPath = BenchFolder() + "/fresh-run.txt";
    std::filesystem::remove(resultPath);
    std::vector<std::string> words = {SelfPath(), kMeasureFlag, resultPath};
    words.insert(words.end(), argv.begin(), argv.end());
    std::vector<char*> args;
    for (std::string& word : words)
        args.push_back(word.data());
    args.push_back(nullptr);

    // posix_spawn starts the copy of this program without copying the benchmark's memory.
    pid_t pid = 0;
    int status = 0;
    if (::posix_spawn(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0 ||
        ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw Error("the fresh process failed: " + argv.front());
    }
    FreshRun run;
    long kilobytes = 0;
    std::string result = ReadWholeFile(resultPath);
    if (std::sscanf(result.c_str(), "%lf %ld", &run.seconds, &kilobytes) != 2)
        throw Error("no measurement from " + argv.front());
    run.peakBytes = static_cast<double>(kilobytes) * 1024;
    return run;
}

std::optional<int> RunProcessMode(int argc, char** argv) {
    if (argc >= 4 && std::strcmp(argv[1], kMeasureFlag) == 0) return Measure(argv[2], argv + 3);
    if (argc >= 3 && std::strncmp(argv[1], kChildFlag, std::strlen(kChildFlag)) == 0) {
        auto task = Tasks().find(argv[1] + std::strlen(kChildFlag));
        if (task == Tasks().end()) return 2;
        try {
            return task->second(argv[2]);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s\n", e.what());
            return 1;
        }
    }
    return std::nullopt;
}

} // namespace kv::bench
