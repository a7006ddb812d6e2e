#include "bench_report.h"

#include "fresh_process.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace kv::bench {
namespace {

constexpr int kGrowthFrom = 1000;
constexpr double kMaxGrowth = 1.5;

struct Goal {
    const char* title;        // what the row measures
    const char* floor;        // what it is measured against; empty for a plain time limit
    double maxRatio = 0;      // to the floor, at `dialogs`
    double maxSeconds = 0;    // for the rows without a floor; 0 for none
    int dialogs = 10000;      // the size the targets are for; growth is from 1,000 to it
    double maxPeakToFile = 0; // peak resident set to the file's size; 0 for none
    double maxPeakBytes = 0;  // peak resident set; 0 for none
    bool reference = false; // a part of other rows, shown for comparison: no targets
    bool growth = true;     // has a growth target
};

const std::vector<std::pair<std::string, Goal>>& Goals() {
    static const std::vector<std::pair<std::string, Goal>> goals = {
        {"Load", {"Load .tlk (with link rebuild)", "read the file", 10}},
        {"Save", {"Save .tlk", "write and flush as many bytes", 5}},
        {"ImportIni", {"Import INI project", "read the file", 10}},
        {"Compile", {"Compile into a 10 MB script", "write and flush as many bytes", 5}},
        {"ConvertFresh",
         {"`korvanthiel-cli convert` .tlk to .tlk, fresh process",
          "read the file, write and flush as many bytes", 10, 0, 10000, 3, 0, false, false}},
        {"Check", {"Check the project (script facts kept)", "", 0, 0.05}},
        {"FindWord", {"Find a word in every text", "", 0, 0.1}},
        {"FindLetter", {"Find one letter in every text (the first keystroke)", "", 0, 0.1}},
        {"ReplaceEverywhere", {"Replace a word everywhere (make, apply, undo)", "", 0, 0.5}},
        {"ImportFresh", {"INI import, fresh process", "", 0, 0, 100000, 0, 400e6, false, false}},
        {"MapLayered", {"Lay out the dialog map (layered, dot)", "", 0, 1.0, 100, 0, 0, false, false}},
        {"MapSpring", {"Lay out the dialog map (spring, sfdp)", "", 0, 1.0, 1000}},
        {"BlankRecords",
         {"Blank dialog records alone (bytes: their memory)", "read the .tlk file", 0, 0, 10000, 0,
          0, true, false}},
        {"IniKeyLines",
         {"INI key lines alone: found and split, nothing stored", "read the file", 0, 0, 10000, 0, 0,
          true, false}},
        {"OpenWindow", {"Open in the main window (load, outline)", "", 0, 3.0, 100000}},
        {"OpenWindowFresh",
         {"Open in the main window, fresh process", "", 0, 3.0, 100000, 0, 1e9, false, false}},
    };
    return goals;
}

const Goal* FindGoal(const std::string& name) {
    for (const auto& [key, goal] : Goals()) {
        if (key == name) return &goal;
    }
    return nullptr;
}

struct Row {
    std::string name;
    int dialogs = 0;
    double bytes = 0;
    double seconds = 0;
    double floorSeconds = 0;
    double ratio = 0;
    double microsPerDialog = 0;
    double peakBytes = 0;
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
            row.peakBytes = Counter(run, "peak_bytes");
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

std::string Megabytes(double bytes) {
    return Format("%.1f MB", bytes / 1e6);
}

// Every target a row has at its goal's size, each with its verdict.
std::string Targets(const Goal& g, const Row& row) {
    if (row.dialogs != g.dialogs || g.reference) return "";
    std::vector<std::string> parts;
    if (g.floor[0] != '\0' && g.maxRatio > 0)
        parts.push_back("≤ " + Format("%.0f", g.maxRatio) +
                        "× floor: " + Verdict(row.ratio <= g.maxRatio));
    if (g.floor[0] == '\0' && g.maxSeconds > 0)
        parts.push_back("< " + Limit(g.maxSeconds) + ": " + Verdict(row.seconds < g.maxSeconds));
    if (g.maxPeakToFile > 0) {
        parts.push_back("peak ≤ " + Format("%.0f", g.maxPeakToFile) +
                        "× file: " + Verdict(row.peakBytes <= g.maxPeakToFile * row.bytes));
    }
    if (g.maxPeakBytes > 0) {
        parts.push_back("peak ≤ " + Format("%.0f MB", g.maxPeakBytes / 1e6) + ": " +
                        Verdict(row.peakBytes <= g.maxPeakBytes));
    }
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : "; ") + part;
    return text;
}

void WriteMarkdown(std::ostream& out, const std::vector<Row>& rows) {
    out << "| Operation | Dialogs | Bytes | Peak memory | Time | MB/s | Floor | Floor time "
           "| Ratio | Target |\n"
        << "|---|---:|---:|---:|---:|---:|---|---:|---:|---|\n";
    for (const Row& row : rows) {
        const Goal* goal = FindGoal(row.name);
        if (!goal) continue;
        const Goal& g = *goal;
        bool hasFloor = g.floor[0] != '\0';
        out << "| " << g.title << " | " << Grouped(row.dialogs) << " | "
            << (row.bytes > 0 ? Megabytes(row.bytes) : "") << " | "
            << (row.peakBytes > 0 ? Megabytes(row.peakBytes) : "") << " | "
            << Milliseconds(row.seconds) << " | "
            << (row.bytes > 0 ? Format("%.0f", row.bytes / row.seconds / 1e6) : "") << " | "
            << g.floor << " | " << (hasFloor ? Milliseconds(row.floorSeconds) : "") << " | "
            << (hasFloor ? Format("%.2f×", row.ratio) : "") << " | " << Targets(g, row) << " |\n";
    }

    // Growth from 1,000 dialogs to the size of each row's targets; a target at 1,000 dialogs or
    // fewer has no growth to show.
    std::ostringstream growthRows;
    for (const auto& [name, goal] : Goals()) {
        if (goal.reference || !goal.growth || goal.dialogs <= kGrowthFrom) continue;
        const Row* small = nullptr;
        const Row* large = nullptr;
        for (const Row& row : rows) {
            if (row.name != name) continue;
            if (row.dialogs == kGrowthFrom) small = &row;
            if (row.dialogs == goal.dialogs) large = &row;
        }
        if (!small || !large || small->microsPerDialog <= 0) continue;
        double growth = large->microsPerDialog / small->microsPerDialog;
        growthRows << "| " << goal.title << " | " << Grouped(kGrowthFrom) << " to "
                   << Grouped(goal.dialogs) << " | " << Format("%.1f", small->microsPerDialog)
                   << " | " << Format("%.1f", large->microsPerDialog) << " | "
                   << Format("%.2f×", growth) << " | " << Verdict(growth <= kMaxGrowth) << " |\n";
    }
    if (growthRows.tellp() > 0) {
        out << "\n| Operation | Growth over | µs per dialog, smaller | larger | Growth | Target ≤ "
            << Format("%.1f", kMaxGrowth) << "× |\n|---|---|---:|---:|---:|---|\n"
            << growthRows.str();
    }
}

} // namespace

void AtThreeSizes(benchmark::internal::Benchmark* b) {
    b->ArgName("dialogs")->Arg(100)->Arg(1000)->Arg(10000)->UseManualTime()->Unit(
        benchmark::kMillisecond);
}

int RunBenchmarks(int argc, char** argv) {
    // A fresh process that a benchmark started to measure one piece of work.
    if (std::optional<int> status = RunProcessMode(argc, argv)) return *status;
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
