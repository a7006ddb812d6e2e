#include "bench_report.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace kv::bench {
namespace {

constexpr int kTargetDialogs = 10000;
constexpr int kGrowthFrom = 1000;
constexpr double kMaxGrowth = 1.5;

struct Goal {
    const char* title;     // what the row measures
    const char* floor;     // what it is measured against; empty for a plain time limit
    double maxRatio;       // to the floor, at kTargetDialogs
    double maxSeconds;     // for the rows without a floor
    bool reference = false; // a part of other rows, shown for comparison: no targets
    int atDialogs = kTargetDialogs; // the project size the target is for
};

const std::map<std::string, Goal>& Goals() {
    static const std::map<std::string, Goal> goals = {
        {"Load", {"Load .tlk (with link rebuild)", "read the file", 10, 0}},
        {"Save", {"Save .tlk", "write and flush as many bytes", 5, 0}},
        {"ImportIni", {"Import INI project", "read the file", 10, 0}},
        {"Compile", {"Compile into a 10 MB script", "write and flush as many bytes", 5, 0}},
        {"OpenWindow", {"Open in the main window (load, outline)", "", 0, 1.0}},
        {"Check", {"Check the project (script facts kept)", "", 0, 0.05}},
        {"MapLayered", {"Lay out the dialog map (layered, dot)", "", 0, 1.0, false, 100}},
        {"MapSpring", {"Lay out the dialog map (spring, sfdp)", "", 0, 1.0, false, 1000}},
        {"BlankRecords",
         {"Blank dialog records alone (bytes: their memory)", "read the .tlk file", 0, 0, true}},
    };
    return goals;
}

struct Row {
    std::string name;
    int dialogs = 0;
    double bytes = 0;
    double seconds = 0;
    double floorSeconds = 0;
    double ratio = 0;
    double microsPerDialog = 0;
};

double Counter(const benchmark::BenchmarkReporter::Run& run, const char* name) {
    auto it = run.counters.find(name);
    return it == run.counters.end() ? 0.0 : it->second.value;
}

class TableReporter : public benchmark::ConsoleReporter {
public:
    std::vector<Row> rows;
    std::vector<std::string> errors;

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) {
                errors.push_back(run.benchmark_name() + ": " + run.error_message);
                continue;
            }
            // With repetitions only the median stands in the table.
            bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (!single && !median) continue;
            Row row;
            row.name = run.run_name.function_name;
            row.dialogs = static_cast<int>(Counter(run, "dialogs"));
            row.bytes = Counter(run, "bytes");
            row.seconds = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            row.floorSeconds = Counter(run, "floor_ms") / 1e3;
            row.ratio = Counter(run, "floor_ratio");
            row.microsPerDialog = Counter(run, "us_per_dialog");
            rows.push_back(row);
        }
    }
};

std::string Format(const char* pattern, double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, pattern, value);
    return buffer;
}

std::string Milliseconds(double seconds) {
    return Format(seconds < 1e-3 ? "%.2f ms" : "%.1f ms", seconds * 1e3);
}

std::string Grouped(int n) {
    std::string digits = std::to_string(n);
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3)
        digits.insert(static_cast<std::size_t>(i), ",");
    return digits;
}

std::string Limit(double seconds) {
    return seconds < 1 ? Format("%.0f ms", seconds * 1e3) : Format("%.0f s", seconds);
}

std::string Verdict(bool met) { return met ? "met" : "**missed**"; }

void WriteMarkdown(std::ostream& out, const std::vector<Row>& rows) {
    out << "| Operation | Dialogs | Bytes | Time | MB/s | Floor | Floor time | Ratio | Target |\n"
        << "|---|---:|---:|---:|---:|---|---:|---:|---|\n";
    for (const Row& row : rows) {
        auto goal = Goals().find(row.name);
        if (goal == Goals().end()) continue;
        const Goal& g = goal->second;
        bool hasFloor = g.floor[0] != '\0';
        std::string target;
        if (row.dialogs == g.atDialogs && !g.reference) {
            target = hasFloor ? "≤ " + Format("%.0f", g.maxRatio) + "× floor: " +
                                    Verdict(row.ratio <= g.maxRatio)
                              : "< " + Limit(g.maxSeconds) + ": " +
                                    Verdict(row.seconds < g.maxSeconds);
        }
        out << "| " << g.title << " | " << Grouped(row.dialogs) << " | "
            << (row.bytes > 0 ? Format("%.1f MB", row.bytes / 1e6) : "") << " | "
            << Milliseconds(row.seconds) << " | "
            << (row.bytes > 0 ? Format("%.0f", row.bytes / row.seconds / 1e6) : "") << " | "
            << g.floor << " | "
            << (hasFloor ? Milliseconds(row.floorSeconds) : "") << " | "
            << (hasFloor ? Format("%.2f×", row.ratio) : "") << " | " << target << " |\n";
    }

    out << "\n| Operation | µs per dialog at 1,000 | at 10,000 | Growth | Target ≤ "
        << Format("%.1f", kMaxGrowth) << "× |\n|---|---:|---:|---:|---|\n";
    for (const auto& [name, goal] : Goals()) {
        if (goal.reference) continue;
        const Row* small = nullptr;
        const Row* large = nullptr;
        for (const Row& row : rows) {
            if (row.name != name) continue;
            if (row.dialogs == kGrowthFrom) small = &row;
            if (row.dialogs == kTargetDialogs) large = &row;
        }
        if (!small || !large || small->microsPerDialog <= 0) continue;
        double growth = large->microsPerDialog / small->microsPerDialog;
        out << "| " << goal.title << " | " << Format("%.1f", small->microsPerDialog) << " | "
            << Format("%.1f", large->microsPerDialog) << " | " << Format("%.2f×", growth)
            << " | " << Verdict(growth <= kMaxGrowth) << " |\n";
    }
}

} // namespace

int RunBenchmarks(int argc, char** argv) {
#ifdef __GLIBC__
    // Memory freed by one run stays with the process for the next, whichever way the allocator
    // would have gone: every figure is then for warm memory, as in an editor that has had a
    // project open. (A first open in a fresh process also pays the system for the pages.)
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
#endif
    std::string markdown;
    std::vector<char*> args;
    const char* flag = "--korv_markdown=";
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], flag, std::strlen(flag)) == 0) markdown = argv[i] + std::strlen(flag);
        else args.push_back(argv[i]);
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 2;

    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    for (const std::string& error : reporter.errors) std::cerr << "error: " << error << '\n';
    if (!markdown.empty()) {
        std::ofstream out(markdown);
        WriteMarkdown(out, reporter.rows);
        if (!out) {
            std::cerr << "cannot write " << markdown << '\n';
            return 1;
        }
    }
    return reporter.errors.empty() ? 0 : 1;
}

} // namespace kv::bench
