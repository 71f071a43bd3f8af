#include "engine/RunRegistry.h"

#include <algorithm>
#include <condition_variable>
#include <iterator>
#include <list>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "engine/FilesIterationThread.h"
#include "engine/WorkerHost.h"

namespace tellvane {

namespace {

// One run: its worker and the thread that runs it. The registry below owns it and joins the thread.
struct TRun {
    std::shared_ptr<TFilesIterationThread> worker;  // dropped when the run ends
    std::jthread thread;
    bool ended = false;  // the worker has left Execute; the thread only returns now
};

struct TRuns {
    std::mutex lock;
    std::condition_variable ended;
    std::shared_ptr<TFilesIterationThread> active;
    std::function<void()> wake;  // set while a thread awaits the runs serving their calls
    std::function<void()> onEnded;  // SetRunEndedListener's
    std::list<TRun> runs;        // last, so that a thread joined here still finds the rest

    // A run never awaited (the process ends without its shutdown) is stopped and joined here.
    ~TRuns() {
        std::lock_guard<std::mutex> guard(lock);
        TerminateAll();
    }

    void TerminateAll() {
        for (auto& run : runs)
            if (!run.ended) run.worker->Terminate();
    }

    // Takes the runs whose worker has ended out of the list; the caller joins them by dropping them.
    std::list<TRun> TakeEnded() {
        std::list<TRun> done;
        for (auto it = runs.begin(); it != runs.end();) {
            auto next = std::next(it);
            if (it->ended) done.splice(done.end(), runs, it);
            it = next;
        }
        return done;
    }
    int Running() const {
        return static_cast<int>(std::count_if(runs.begin(), runs.end(), [](const TRun& r) { return !r.ended; }));
    }
};

TRuns& Runs() {
    static TRuns r;
    return r;
}

}  // namespace

std::shared_ptr<TFilesIterationThread> StartOperation(TOperation& operation, TItemsSet itemsForOperation) {
    IWorkerHost* host = GetWorkerHost();
    if (!host) throw std::logic_error("StartOperation without a worker host");
    auto worker = std::make_shared<TFilesIterationThread>(operation, std::move(itemsForOperation), *host);
    TFilesIterationThread* raw = worker.get();
    operation.OnHalt = [raw] { return raw->HaltRequested(); };
    operation.OnProgress = [raw](int64_t d, int64_t t, int64_t p, double s) { raw->ReportProgress(d, t, p, s); };
    operation.OnInvalidPassword = [raw](const std::string& f, TSecretString& pw) { return raw->ReplacePassword(f, pw); };
    operation.OnReplaceFile = [raw](const std::string& f) { return raw->ConfirmReplace(f); };
    std::list<TRun> done;
    {
        std::lock_guard<std::mutex> guard(Runs().lock);
        done = Runs().TakeEnded();
        Runs().active = worker;
        TRun& run = Runs().runs.emplace_back();
        run.worker = worker;
        run.thread = std::jthread([&run, worker]() mutable {
            worker->Execute();
            std::lock_guard<std::mutex> guard(Runs().lock);
            if (Runs().active == worker) Runs().active.reset();
            // The worker goes with its run's last reference, as the wizard watches it.
            run.worker.reset();
            worker.reset();
            run.ended = true;
            Runs().ended.notify_all();
            // Under the lock: the awaiting thread drops WAKE under it before its server goes.
            if (Runs().wake) Runs().wake();
            if (Runs().onEnded) Runs().onEnded();
        });
    }
    return worker;
}

std::shared_ptr<TFilesIterationThread> ActiveIterationThread() {
    std::lock_guard<std::mutex> guard(Runs().lock);
    return Runs().active;
}

void CancelOperation() {
    auto worker = ActiveIterationThread();
    if (!worker) return;
    if (worker->MarkFinished())
        if (IWorkerHost* host = GetWorkerHost()) host->CloseProgressWindow();
    worker->Terminate();
}

int RunningWorkerCount() {
    std::lock_guard<std::mutex> guard(Runs().lock);
    return Runs().Running();
}

void SetRunEndedListener(std::function<void()> onEnded) {
    std::lock_guard<std::mutex> guard(Runs().lock);
    Runs().onEnded = std::move(onEnded);
}

void StopAndAwaitWorkers(const TCallServer& server) {
    std::unique_lock<std::mutex> guard(Runs().lock);
    Runs().TerminateAll();
    if (server.serve) {
        // The workers may wait for this thread: serve their calls until the last run has ended,
        // woken by each run's end.
        Runs().wake = server.wake;
        while (Runs().Running() > 0) {
            guard.unlock();
            server.serve();
            guard.lock();
        }
        Runs().wake = nullptr;
    } else {
        Runs().ended.wait(guard, [] { return Runs().Running() == 0; });
    }
    std::list<TRun> done = Runs().TakeEnded();
    guard.unlock();
    // DONE's threads are joined as it goes.
}

}  // namespace tellvane
