#include "text/parallel.h"

#include <condition_variable>
#include <mutex>

namespace kv {

namespace {

struct Helpers {
    std::mutex mutex;
    std::condition_variable wake;  // a task waits to be taken
    std::condition_variable ended; // a helper has ended its task
    const std::function<void()>* task = nullptr;
    std::size_t waiting = 0; // helpers still wanted for the task
    std::size_t running = 0; // helpers that took it and have not ended it
    bool busy = false;       // a job holds the helpers
    std::size_t threads = 0;
};

// Never destroyed: its threads wait for work until the program ends, and a destructor would
// have to stop them first, at a time when other static objects may already be gone.
Helpers& TheHelpers() {
    static Helpers* helpers = new Helpers;
    return *helpers;
}

void Serve(Helpers& h) {
    std::unique_lock lock(h.mutex);
    for (;;) {
        h.wake.wait(lock, [&] { return h.waiting > 0; });
        --h.waiting;
        ++h.running;
        const std::function<void()>& task = *h.task;
        lock.unlock();
        task(); // RunParts' task throws nothing: every part's exception is kept
        lock.lock();
        if (--h.running == 0) h.ended.notify_all();
    }
}

} // namespace

HelperJob::HelperJob(std::size_t count, const std::function<void()>& task) {
    if (count == 0) return;
    Helpers& h = TheHelpers();
    std::unique_lock lock(h.mutex);
    if (h.busy) return;
    try {
        for (; h.threads < count; ++h.threads)
            std::thread(Serve, std::ref(h)).detach();
    } catch (...) {
        // As many as there are.
    }
    if (h.threads == 0) return;
    h.busy = true;
    h.task = &task;
    h.waiting = std::min(count, h.threads);
    started_ = true;
    lock.unlock();
    h.wake.notify_all();
}

HelperJob::~HelperJob() {
    if (!started_) return;
    Helpers& h = TheHelpers();
    std::unique_lock lock(h.mutex);
    h.waiting = 0; // a helper that has not woken yet has nothing left to do
    h.ended.wait(lock, [&] { return h.running == 0; });
    h.task = nullptr;
    h.busy = false;
}

} // namespace kv
