#include "ui/UiThreadDispatcher.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>

#include <condition_variable>
#include <exception>

namespace tellvane {

struct TUiThreadDispatcher::TCall {
    const std::function<void()>* step = nullptr;
    std::mutex lock;
    std::condition_variable ran;
    bool done = false;
    std::exception_ptr error;  // the step's error belongs to the worker, not to the message loop
};

namespace {

QEvent::Type StepEventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

}  // namespace

bool TUiThreadDispatcher::TTarget::event(QEvent* e) {
    if (e->type() != StepEventType()) return QObject::event(e);
    for (;;) {
        std::shared_ptr<TCall> call;
        {
            std::lock_guard guard(lock);
            if (pending.empty()) break;
            call = std::move(pending.front());
            pending.pop_front();
        }
        std::exception_ptr error;
        try {
            (*call->step)();
        } catch (...) {
            error = std::current_exception();
        }
        std::lock_guard guard(call->lock);
        call->error = error;
        call->done = true;
        call->ran.notify_one();
    }
    return true;
}

void TUiThreadDispatcher::Run(const std::function<void()>& step) {
    if (QThread::currentThread() == target_.thread()) {
        step();
        return;
    }
    auto call = std::make_shared<TCall>();
    call->step = &step;
    {
        std::lock_guard guard(target_.lock);
        target_.pending.push_back(call);
    }
    QCoreApplication::postEvent(&target_, new QEvent(StepEventType()));
    std::unique_lock guard(call->lock);
    call->ran.wait(guard, [&] { return call->done; });
    if (call->error) std::rethrow_exception(call->error);
}

TCallServer EventLoopCallServer() {
    return {[] { QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents); },
            [] { QMetaObject::invokeMethod(QCoreApplication::instance(), [] {}, Qt::QueuedConnection); }};
}

}  // namespace tellvane
