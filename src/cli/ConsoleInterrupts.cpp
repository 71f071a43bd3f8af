#include "cli/ConsoleInterrupts.h"

namespace tellvane::cli {
namespace {

volatile std::sig_atomic_t g_interrupted = 0;

void OnInterrupt(int signal) { g_interrupted = signal; }

}  // namespace

InterruptGuard::InterruptGuard() {
    g_interrupted = 0;
    struct sigaction sa {};
    sa.sa_handler = OnInterrupt;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0;  // no restart: a pending terminal read returns at once
    for (size_t i = 0; i < std::size(Signals); ++i) sigaction(Signals[i], &sa, &previous_[i]);
}

InterruptGuard::~InterruptGuard() {
    for (size_t i = 0; i < std::size(Signals); ++i) sigaction(Signals[i], &previous_[i], nullptr);
}

int InterruptSignal() { return g_interrupted; }

}  // namespace tellvane::cli
