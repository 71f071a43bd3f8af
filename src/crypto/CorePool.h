#pragma once
// Threads that share one piece of work at a time among the processor's cores: the caller takes a
// share itself and waits for the rest. A process with one core has no pool and no extra thread.
#include <cstddef>
#include <functional>
#include <memory>

namespace tellvane {

class TCorePool {
public:
    // WIDTH participants: the caller and WIDTH - 1 threads of the pool's own.
    explicit TCorePool(unsigned width);
    ~TCorePool();
    TCorePool(const TCorePool&) = delete;
    TCorePool& operator=(const TCorePool&) = delete;

    unsigned Width() const { return width_; }
    // Runs TASK(0) .. TASK(COUNT - 1) on the caller's thread and the pool's, each thread taking
    // the next task left; returns when all have returned and rethrows the first exception. A
    // second caller while one runs does all its tasks itself rather than wait.
    void Run(size_t count, const std::function<void(size_t)>& task);

private:
    struct TState;
    unsigned width_;
    std::unique_ptr<TState> state_;
};

// Cores this process may run on (its affinity mask), at least 1.
unsigned AvailableCores();
// The cores the program uses: AvailableCores() capped at 8, or what SetCoreCount chose.
unsigned CoreCount();
// COUNT cores from now on (0: back to the processor's); for measurements and tests.
void SetCoreCount(unsigned count);
// The process's pool of CoreCount() participants; null with one core.
TCorePool* SharedCorePool();

}  // namespace tellvane
