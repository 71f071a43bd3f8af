#pragma once
// Runs a worker's step on the user-interface thread and returns once it has run there.
#include <QObject>

#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "engine/RunRegistry.h"

namespace tellvane {

class TUiThreadDispatcher {
public:
    // Serves the thread that creates it: the user-interface thread.
    TUiThreadDispatcher() = default;

    // From another thread: the step is queued for the message loop and the worker waits for it;
    // an error of the step is raised again in the caller. On the user-interface thread: runs STEP
    // at once.
    void Run(const std::function<void()>& step);

private:
    struct TCall;

    // Steps travel in a queue of our own, under a mutex, and the posted event carries nothing:
    // a thread checker then sees every hand-over, which it cannot inside Qt's own locks.
    class TTarget : public QObject {
    public:
        bool event(QEvent* e) override;
        std::mutex lock;
        std::deque<std::shared_ptr<TCall>> pending;
    };
    TTarget target_;
};

// Serves the workers' calls through the message loop while the user-interface thread awaits their
// runs: waits for events, and a run's end posts one.
TCallServer EventLoopCallServer();

}  // namespace tellvane
