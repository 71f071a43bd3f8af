#include "ui/UiThreadDispatcher.h"

#include <QThread>

#include <exception>

namespace tellvane {

void TUiThreadDispatcher::Run(const std::function<void()>& step) {
    if (QThread::currentThread() == target_.thread()) {
        step();
        return;
    }
    // The step's error belongs to the worker that asked for it, not to the message loop.
    std::exception_ptr error;
    QMetaObject::invokeMethod(
        &target_,
        [&] {
            try {
                step();
            } catch (...) {
                error = std::current_exception();
            }
        },
        Qt::BlockingQueuedConnection);
    if (error) std::rethrow_exception(error);
}

}  // namespace tellvane
