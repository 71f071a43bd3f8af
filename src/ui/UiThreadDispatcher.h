#pragma once
// Runs a worker's step on the user-interface thread and returns once it has run there.
#include <QObject>

#include <functional>

#include "engine/FilesIterationThread.h"

namespace tellvane {

class TUiThreadDispatcher {
public:
    // Serves the thread that creates it: the user-interface thread.
    TUiThreadDispatcher() = default;

    // From another thread: a blocking queued call, so the worker waits for the step; an error of
    // the step is raised again in the caller. On the user-interface thread: runs STEP at once.
    void Run(const std::function<void()>& step);

private:
    QObject target_;
};

// Serves the workers' calls through the message loop while the user-interface thread awaits their
// runs: waits for events, and a run's end posts one.
TCallServer EventLoopCallServer();

}  // namespace tellvane
