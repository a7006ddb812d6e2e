#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

namespace kv::bench {

// The floors that every file operation is measured against: the least that any program must do
// to get the same bytes from the file or onto the disk.

// Reads the whole file into memory with one plain read; returns the byte count.
std::size_t ReadFloor(const std::string& path);

// Creates the file, writes the bytes, flushes them to the disk (as a save that must survive a
// power cut has to) and closes it.
void WriteFloor(const std::string& path, std::string_view bytes);

// Times `floor` and `operation` once each per iteration, interleaved so that both see the same
// machine load and the same page cache. The benchmark's time is the operation's alone (manual
// time); the counters give the floor's time, the ratio of the two, the time per dialog and the
// size. Whatever `operation` returns is destroyed after its clock stops.
template <class Floor, class Operation>
void MeasureAgainstFloor(benchmark::State& state, std::size_t bytes, int dialogs, Floor&& floor,
                         Operation&& operation) {
    using Clock = std::chrono::steady_clock;
    double floorSeconds = 0;
    double operationSeconds = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        floor();
        auto t1 = Clock::now();
        Clock::time_point t2;
        {
            auto result = operation();
            t2 = Clock::now();
            benchmark::DoNotOptimize(result);
        }
        double seconds = std::chrono::duration<double>(t2 - t1).count();
        state.SetIterationTime(seconds);
        floorSeconds += std::chrono::duration<double>(t1 - t0).count();
        operationSeconds += seconds;
    }
    auto iterations = static_cast<double>(state.iterations());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
    state.counters["bytes"] = static_cast<double>(bytes);
    state.counters["dialogs"] = dialogs;
    state.counters["floor_ms"] = floorSeconds / iterations * 1e3;
    state.counters["floor_ratio"] = floorSeconds > 0 ? operationSeconds / floorSeconds : 0;
    state.counters["us_per_dialog"] = operationSeconds / iterations / dialogs * 1e6;
}

// Times `operation` once per iteration, for what has no floor to stand beside: the benchmark's
// time is the operation's (manual time), and the counters give the size and the time per dialog.
// Whatever `operation` returns is destroyed after its clock stops.
template <class Operation>
void MeasureEach(benchmark::State& state, int dialogs, Operation&& operation) {
    using Clock = std::chrono::steady_clock;
    double operationSeconds = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        Clock::time_point stop;
        {
            auto result = operation();
            stop = Clock::now();
            benchmark::DoNotOptimize(result);
        }
        const double seconds = std::chrono::duration<double>(stop - start).count();
        state.SetIterationTime(seconds);
        operationSeconds += seconds;
    }
    state.counters["dialogs"] = dialogs;
    state.counters["us_per_dialog"] =
        operationSeconds / static_cast<double>(state.iterations()) / dialogs * 1e6;
}

} // namespace kv::bench
