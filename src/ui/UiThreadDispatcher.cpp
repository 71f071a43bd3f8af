#include "ui/UiThreadDispatcher.h"

#include <QCoreApplication>
#include <QThread>

#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>

namespace tellvane {

void TUiThreadDispatcher::Run(const std::function<void()>& step) {
    if (QThread::currentThread() == target_.thread()) {
        step();
        return;
    }
    // A queued call and a wait of our own rather than a blocking queued call: the hand-over is
    // then a mutex that thread checkers see, so they do not take the step's writes for a race.
    struct TCall {
        std::mutex lock;
        std::condition_variable ran;
        bool done = false;
        std::exception_ptr error;  // the step's error belongs to the worker, not to the message loop
    };
    auto call = std::make_shared<TCall>();
    QMetaObject::invokeMethod(
        &target_,
        [call, &step] {
            std::exception_ptr error;
            try {
                step();
            } catch (...) {
                error = std::current_exception();
            }
            std::lock_guard guard(call->lock);
            call->error = error;
            call->done = true;
            call->ran.notify_one();
        },
        Qt::QueuedConnection);
    std::unique_lock guard(call->lock);
    call->ran.wait(guard, [&] { return call->done; });
    if (call->error) std::rethrow_exception(call->error);
}

TCallServer EventLoopCallServer() {
    return {[] { QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents); },
            [] { QMetaObject::invokeMethod(QCoreApplication::instance(), [] {}, Qt::QueuedConnection); }};
}

}  // namespace tellvane
