// Opening a project through the real main window on the offscreen platform: the open command
// with its file dialog answered, the load, the outline rebuilt and the window's pending events
// handled, so that the user would see the finished outline.
#include "bench_report.h"
#include "fresh_process.h"
#include "generated_project.h"
#include "workspace.h"

#include "app/main_window.h"
#include "editor/modal_seam.h"
#include "editor/outline_tree.h"
#include "project/tlk_file.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <memory>

namespace kv::bench {
namespace {

// Answers the open dialog with one file and keeps any error shown.
class OpenOneFile : public ModalSeam {
public:
    explicit OpenOneFile(QString path) : path_(std::move(path)) {}
    QString error;

    void ShowMessage(const QString& text, const QString&, MessageIcon) override { error = text; }
    MessageAnswer AskYesNoCancel(const QString&, const QString&) override { return MessageAnswer::No; }
    bool AskYesNo(const QString&, const QString&) override { return false; }
    std::optional<QString> InputPrompt(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> OpenFile(const FileDialogRequest&) override { return path_; }
    std::optional<QString> SaveFile(const FileDialogRequest&) override { return std::nullopt; }
    void RunTextEditor(TForm2&) override {}

private:
    QString path_;
};

void OpenWindow(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    int dialogs = static_cast<int>(state.range(0));
    std::string bytes = SerializeProject(MakeBenchProject(dialogs));
    std::string path = WriteBenchFile("window" + std::to_string(dialogs) + ".tlk", bytes);

    TMain window(QString::fromStdString(BenchFolder() + "/korvanthiel.ini"));
    auto seam = std::make_unique<OpenOneFile>(QString::fromStdString(path));
    OpenOneFile& answers = *seam;
    window.SetModalSeam(std::move(seam));
    window.show();
    QApplication::processEvents();

    double seconds = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        window.N3Click(); // "Открыть...": dialog answered, load, outline rebuilt
        QApplication::processEvents();
        double taken = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(taken);
        seconds += taken;
        if (!answers.error.isEmpty()) state.SkipWithError(answers.error.toStdString().c_str());
        if (window.Tree->model()->rowCount() != dialogs) state.SkipWithError("the outline is incomplete");
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
    state.counters["bytes"] = static_cast<double>(bytes.size());
    state.counters["dialogs"] = dialogs;
    state.counters["us_per_dialog"] = seconds / static_cast<double>(state.iterations()) / dialogs * 1e6;
}

// The first open in a program just started: the window made and shown, the project opened
// and its outline finished, in a process of its own, so that its peak memory is the window's.
int OpenTask(const std::string& path) {
    // Settings beside the project, in the benchmark's own folder, which its owner removes.
    TMain window(QString::fromStdString(path + ".korvanthiel.ini"));
    auto seam = std::make_unique<OpenOneFile>(QString::fromStdString(path));
    OpenOneFile& answers = *seam;
    window.SetModalSeam(std::move(seam));
    window.show();
    QApplication::processEvents();
    window.N3Click();
    QApplication::processEvents();
    // The process ends here, as soon as the outline is finished: taking the window down again
    // is no part of opening it.
    std::_Exit(answers.error.isEmpty() && window.Tree->model()->rowCount() > 0 ? 0 : 1);
}
const bool kOpenTask = RegisterChildTask("open", &OpenTask);

void OpenWindowFresh(benchmark::State& state) {
    int dialogs = static_cast<int>(state.range(0));
    std::string bytes = SerializeProject(MakeBenchProject(dialogs));
    std::string path = WriteBenchFile("fresh" + std::to_string(dialogs) + ".tlk", bytes);
    double peak = 0;
    for (auto _ : state) {
        FreshRun run = RunFresh(ChildCommand("open", path));
        state.SetIterationTime(run.seconds);
        peak = run.peakBytes;
    }
    state.counters["bytes"] = static_cast<double>(bytes.size());
    state.counters["dialogs"] = dialogs;
    state.counters["peak_bytes"] = peak;
}

BENCHMARK(OpenWindow)
    ->ArgName("dialogs")
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(OpenWindowFresh)
    ->ArgName("dialogs")
    ->Arg(100000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kv::bench

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    return kv::bench::RunBenchmarks(argc, argv);
}
