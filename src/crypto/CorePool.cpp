#include "crypto/CorePool.h"

#include <sched.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace tellvane {

namespace {
// Beyond this the memory bus, not the cipher, is the limit.
constexpr unsigned MaxCores = 8;
}  // namespace

struct TCorePool::TState {
    std::mutex runLock;  // one Run at a time
    std::mutex m;
    std::condition_variable wake, done;
    const std::function<void(size_t)>* task = nullptr;
    size_t count = 0;
    size_t helpers = 0;  // threads that take part in this run
    size_t pending = 0;  // of those, the ones not yet back
    std::atomic<size_t> next{0};  // the next task to take
    uint64_t generation = 0;
    bool stop = false;
    std::exception_ptr error;
    std::vector<std::thread> threads;

    // Takes tasks until none is left: a thread the system holds back leaves its tasks to the
    // others instead of making them wait. The first exception is kept; the other tasks still run.
    std::exception_ptr TakeTasks(const std::function<void(size_t)>& f) {
        std::exception_ptr first;
        for (size_t i; (i = next.fetch_add(1)) < count;) {
            try {
                f(i);
            } catch (...) {
                if (!first) first = std::current_exception();
            }
        }
        return first;
    }
};

TCorePool::TCorePool(unsigned width) : width_(std::max(width, 1u)), state_(std::make_unique<TState>()) {
    for (unsigned i = 1; i < width_; ++i) {
        state_->threads.emplace_back([s = state_.get(), i] {
            uint64_t seen = 0;
            for (;;) {
                const std::function<void(size_t)>* task = nullptr;
                {
                    std::unique_lock lock(s->m);
                    s->wake.wait(lock, [&] { return s->stop || s->generation != seen; });
                    if (s->stop) return;
                    seen = s->generation;
                    if (i > s->helpers) continue;
                    task = s->task;
                }
                std::exception_ptr error = s->TakeTasks(*task);
                std::lock_guard lock(s->m);
                if (error && !s->error) s->error = error;
                if (--s->pending == 0) s->done.notify_one();
            }
        });
    }
}

TCorePool::~TCorePool() {
    {
        std::lock_guard lock(state_->m);
        state_->stop = true;
    }
    state_->wake.notify_all();
    for (auto& t : state_->threads) t.join();
}

void TCorePool::Run(size_t count, const std::function<void(size_t)>& task) {
    std::unique_lock runLock(state_->runLock, std::try_to_lock);
    if (count <= 1 || !runLock.owns_lock()) {
        for (size_t i = 0; i < count; ++i) task(i);
        return;
    }
    TState& s = *state_;
    {
        std::lock_guard lock(s.m);
        s.task = &task;
        s.count = count;
        s.next = 0;
        s.helpers = std::min<size_t>(count, width_) - 1;
        s.pending = s.helpers;
        s.error = nullptr;
        ++s.generation;
    }
    s.wake.notify_all();
    std::exception_ptr error = s.TakeTasks(task);
    std::unique_lock lock(s.m);
    s.done.wait(lock, [&] { return s.pending == 0; });
    if (!error) error = s.error;
    s.task = nullptr;
    if (error) std::rethrow_exception(error);
}

unsigned AvailableCores() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) != 0) return 1;
    return std::max(1, CPU_COUNT(&set));
}

namespace {

struct TSharedPool {
    std::mutex m;
    unsigned chosen = 0;
    std::unique_ptr<TCorePool> pool;
    bool made = false;
};

TSharedPool& Shared() {
    static TSharedPool shared;
    return shared;
}

unsigned CountLocked(const TSharedPool& s) { return s.chosen != 0 ? s.chosen : std::min(AvailableCores(), MaxCores); }

}  // namespace

unsigned CoreCount() {
    TSharedPool& s = Shared();
    std::lock_guard lock(s.m);
    return CountLocked(s);
}

void SetCoreCount(unsigned count) {
    TSharedPool& s = Shared();
    std::lock_guard lock(s.m);
    s.chosen = count;
    s.pool.reset();
    s.made = false;
}

TCorePool* SharedCorePool() {
    TSharedPool& s = Shared();
    std::lock_guard lock(s.m);
    if (!s.made) {
        const unsigned n = CountLocked(s);
        if (n > 1) s.pool = std::make_unique<TCorePool>(n);
        s.made = true;
    }
    return s.pool.get();
}

}  // namespace tellvane
