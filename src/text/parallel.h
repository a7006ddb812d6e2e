#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <exception>
#include <functional>
#include <thread>
#include <vector>

// Work split over the machine's processors: a large project is read in parts side by side.
namespace kv {

// The processors there are to work on. Asked once: the library asks the system afresh each
// time, which on Linux opens and reads a file, and a large import asks a dozen times.
inline std::size_t Processors() {
    static const std::size_t count = std::max(1u, std::thread::hardware_concurrency());
    return count;
}

// How many parts a job of `units` is worth: a few per processor, so that a processor that runs
// slower (one busy with other programs) takes fewer of them, but none smaller than `leastUnits`,
// since a part costs a little to start and to put together with the others.
inline std::size_t PartsFor(std::size_t units, std::size_t leastUnits) {
    constexpr std::size_t kPartsPerProcessor = 4;
    const std::size_t most = Processors() < 2 ? 1 : Processors() * kPartsPerProcessor;
    return std::clamp<std::size_t>(units / std::max<std::size_t>(1, leastUnits), 1, most);
}

// The units [begin, end) of part `part` of `parts` even parts of `units` (the last parts take
// what does not divide evenly).
struct PartRange {
    std::size_t begin = 0;
    std::size_t end = 0;
};
inline PartRange RangeOfPart(std::size_t units, std::size_t parts, std::size_t part) {
    return {units * part / parts, units * (part + 1) / parts};
}

// Threads kept for the program's life, so that a job split in parts does not start threads of
// its own each time: a large import runs several such jobs, and starting a thread costs several
// times what waking one does. A job runs task() on up to `count` of them, while its caller works
// too; the destructor waits until every helper that took the task has ended it (and withdraws
// the task from those that have not taken it yet). The helpers serve one job at a time: a job
// started while they are busy (by a part of another job, or by another thread) starts none.
class HelperJob {
public:
    HelperJob(std::size_t count, const std::function<void()>& task);
    ~HelperJob();
    HelperJob(const HelperJob&) = delete;
    HelperJob& operator=(const HelperJob&) = delete;
    bool Started() const { return started_; }

private:
    bool started_ = false;
};

// Runs work(part) once for every part in [0, parts) and returns when all have ended. The calling
// thread and one more thread per further processor each take the next part not yet taken, until
// none is left. When parts throw, the exception of the first of them in part order is thrown, as
// if the parts had run one after another and the first to fail had stopped the job.
template <class Work> void RunParts(std::size_t parts, Work&& work) {
    std::vector<std::exception_ptr> errors(parts);
    std::atomic<std::size_t> next = 0;
    const std::function<void()> take = [&] {
        for (std::size_t part; (part = next.fetch_add(1)) < parts;) {
            try {
                work(part);
            } catch (...) {
                errors[part] = std::current_exception();
            }
        }
    };
    const std::size_t helpers = std::min(parts, Processors()) - (parts > 0 ? 1 : 0);
    {
        const HelperJob job(helpers, take);
        // Threads of its own when the kept ones are busy.
        std::vector<std::thread> threads;
        try {
            for (std::size_t i = 0; !job.Started() && i < helpers; ++i)
                threads.emplace_back(take);
        } catch (...) {
            // No thread to spare: the calling thread takes what is left.
        }
        take();
        for (std::thread& thread : threads)
            thread.join();
    }
    for (const std::exception_ptr& error : errors) {
        if (error) std::rethrow_exception(error);
    }
}

} // namespace kv
