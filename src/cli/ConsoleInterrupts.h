#pragma once
// Ctrl-C, a shutdown's or timeout's SIGTERM and a closed terminal's SIGHUP cancel the console's
// run instead of killing the process: killed, it would leave its temporary output (the plaintext
// written so far) behind.
#include <csignal>
#include <iterator>

namespace tellvane::cli {

// Catches those signals for as long as it lives; the previous handlers come back after it.
class InterruptGuard {
public:
    static constexpr int Signals[] = {SIGINT, SIGTERM, SIGHUP};
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

private:
    struct sigaction previous_[std::size(Signals)] {};
};

// The number of the signal that asked the run to stop since the last guard began; 0 while none has.
int InterruptSignal();

}  // namespace tellvane::cli
