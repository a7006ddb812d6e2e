// The file operations of a project at 100, 1,000 and 10,000 dialogs, each beside its floor: the
// plain read of the same file, or the plain durable write of the same number of bytes.
#include "floor_timing.h"
#include "fresh_process.h"
#include "generated_project.h"
#include "workspace.h"

#include "erm/splice.h"
#include "project/ini_import.h"
#include "project/ini_lines.h"
#include "project/tlk_file.h"
#include "text/file_io.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <memory>

namespace kv::bench {
namespace {

constexpr std::size_t kUserScriptBytes = 10u << 20; // the user's text above the marker

// Building a 10,000-dialog project takes a moment; every benchmark of a size shares one.
Project& CachedProject(int dialogs) {
    static std::map<int, std::unique_ptr<Project>> cache;
    auto& slot = cache[dialogs];
    if (!slot) slot = std::make_unique<Project>(MakeBenchProject(dialogs));
    return *slot;
}

std::string SizedName(const char* stem, int dialogs, const char* extension) {
    return std::string(stem) + std::to_string(dialogs) + extension;
}

// A load or an import: the file read into a new project, beside a plain read of the same file.
void ReadIntoProject(benchmark::State& state, const std::string& name, const std::string& bytes,
                     Project (*read)(const std::string&)) {
    int dialogs = static_cast<int>(state.range(0));
    std::string path = WriteBenchFile(name, bytes);
    MeasureAgainstFloor(
        state, bytes.size(), dialogs, [&] { return ReadFloor(path); },
        [&] {
            Project project = read(path);
            if (project.DialogCount() != dialogs) state.SkipWithError("dialogs were lost");
            return project;
        });
}

void Load(benchmark::State& state) {
    int dialogs = static_cast<int>(state.range(0));
    ReadIntoProject(state, SizedName("load", dialogs, ".tlk"),
                    SerializeProject(CachedProject(dialogs)), &LoadProject);
}

void Save(benchmark::State& state) {
    int dialogs = static_cast<int>(state.range(0));
    Project& project = CachedProject(dialogs);
    std::string bytes = SerializeProject(project);
    std::string path = WriteBenchFile(SizedName("save", dialogs, ".tlk"), "");
    std::string floorPath = path + ".floor";
    MeasureAgainstFloor(
        state, bytes.size(), dialogs, [&] { WriteFloor(floorPath, bytes); },
        [&] {
            SaveProject(project, path);
            return 0;
        });
    if (ReadWholeFile(path) != bytes) state.SkipWithError("the save wrote other bytes");
}

void ImportIni(benchmark::State& state) {
    int dialogs = static_cast<int>(state.range(0));
    ReadIntoProject(state, SizedName("import", dialogs, ".ini"),
                    MakeIniProject(CachedProject(dialogs)), &ImportIniFile);
}

void Compile(benchmark::State& state) {
    int dialogs = static_cast<int>(state.range(0));
    const Project& project = CachedProject(dialogs);
    std::string path =
        WriteBenchFile(SizedName("script", dialogs, ".erm"), MakeUserScript(kUserScriptBytes));
    const std::string stamp = "01.01.2024 12:00:00";
    // One compile first, so that every measured one finds the marker and replaces a region of
    // the same size, as a user's repeated compiles do.
    CompileResult first = CompileScript(project, path, stamp);
    std::string sameSize(first.bytes, 'x');
    std::string floorPath = path + ".floor";
    MeasureAgainstFloor(
        state, first.bytes, dialogs, [&] { WriteFloor(floorPath, sameSize); },
        [&] { return CompileScript(project, path, stamp); });
}

// Not a file operation: the dialog records alone, made blank and put in a list, as every load
// and import must. Beside the read of the project file, it shows how much of a load is the
// making of the records themselves, before any text or answer is put into them.
void BlankRecords(benchmark::State& state) {
    int dialogs = static_cast<int>(state.range(0));
    std::string path = WriteBenchFile(SizedName("records", dialogs, ".tlk"),
                                      SerializeProject(CachedProject(dialogs)));
    MeasureAgainstFloor(
        state, sizeof(TDialogItem) * static_cast<std::size_t>(dialogs), dialogs,
        [&] { return ReadFloor(path); },
        [&] {
            Project blank;
            for (int i = 0; i < dialogs; ++i) blank.AppendDialog();
            return blank;
        });
}

// Not a whole operation: the key lines of the INI project found and split into name and value,
// section by section, as the import does before it looks at any key; nothing is stored. Beside
// the read of the same file, it shows how much of the import the lines alone take.
void IniKeyLines(benchmark::State& state) {
    int dialogs = static_cast<int>(state.range(0));
    std::string path = WriteBenchFile(SizedName("lines", dialogs, ".ini"),
                                      MakeIniProject(CachedProject(dialogs)));
    MeasureAgainstFloor(
        state, static_cast<std::size_t>(std::filesystem::file_size(path)), dialogs,
        [&] { return ReadFloor(path); },
        [&] {
            const std::string text = ReadWholeFile(path);
            std::size_t keys = 0, bytes = 0;
            for (const IniSection& section : SplitIniSections(text)) {
                ForEachIniKey(section.lines, [&](const IniKey& key) {
                    ++keys;
                    bytes += key.value.size();
                });
            }
            if (keys == 0 || bytes == 0) state.SkipWithError("no key lines found");
            return keys + bytes;
        });
}

// The whole `korvanthiel-cli convert` of a project file, as a build script runs it: a fresh
// process that starts, reads, converts, writes, flushes and ends. Its floor is the least any
// program must do for the same: read the file and write and flush as many bytes.
void ConvertFresh(benchmark::State& state) {
    int dialogs = static_cast<int>(state.range(0));
    std::string bytes = SerializeProject(CachedProject(dialogs));
    std::string path = WriteBenchFile(SizedName("convert", dialogs, ".tlk"), bytes);
    std::string output = path + ".out.tlk";
    std::string floorPath = path + ".floor";
    FreshRun last;
    MeasureAgainstFloor(
        state, bytes.size(), dialogs,
        [&] {
            ReadFloor(path);
            WriteFloor(floorPath, bytes);
        },
        [&] {
            last = RunFresh({KORV_CLI, "convert", path, output});
            return 0;
        });
    state.counters["peak_bytes"] = last.peakBytes;
    if (ReadWholeFile(output) != bytes) state.SkipWithError("the conversion wrote other bytes");
}

int ImportTask(const std::string& path) {
    return ImportIniFile(path).DialogCount() > 0 ? 0 : 1;
}
const bool kImportTask = RegisterChildTask("import", &ImportTask);

// The INI import alone in a fresh process: its time and the memory it takes at its peak.
void ImportFresh(benchmark::State& state) {
    int dialogs = static_cast<int>(state.range(0));
    std::string bytes = MakeIniProject(CachedProject(dialogs));
    std::string path = WriteBenchFile(SizedName("fresh", dialogs, ".ini"), bytes);
    double peak = 0;
    double seconds = 0;
    for (auto _ : state) {
        FreshRun run = RunFresh(ChildCommand("import", path));
        state.SetIterationTime(run.seconds);
        seconds += run.seconds;
        peak = run.peakBytes;
    }
    state.counters["bytes"] = static_cast<double>(bytes.size());
    state.counters["dialogs"] = dialogs;
    state.counters["peak_bytes"] = peak;
    state.counters["us_per_dialog"] =
        seconds / static_cast<double>(state.iterations()) / dialogs * 1e6;
}

#define KORV_FILE_BENCHMARK(name)                                                                  \
    BENCHMARK(name)                                                                                \
        ->ArgName("dialogs")                                                                       \
        ->Arg(100)                                                                                 \
        ->Arg(1000)                                                                                \
        ->Arg(10000)                                                                               \
        ->UseManualTime()                                                                          \
        ->Unit(benchmark::kMillisecond)

KORV_FILE_BENCHMARK(Load);
KORV_FILE_BENCHMARK(Save);
KORV_FILE_BENCHMARK(ImportIni);
KORV_FILE_BENCHMARK(Compile);
KORV_FILE_BENCHMARK(BlankRecords);
KORV_FILE_BENCHMARK(IniKeyLines);

// A fresh process costs milliseconds to start; a few runs give a steady median.
BENCHMARK(ConvertFresh)
    ->ArgName("dialogs")
    ->Arg(10000)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ImportFresh)
    ->ArgName("dialogs")
    ->Arg(10000)
    ->Arg(100000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kv::bench
