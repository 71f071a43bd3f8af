#pragma once
// The runs of the program: each run's worker and the thread that runs it. The registry owns the
// threads and joins them, when the next run starts and at shutdown.
#include <functional>
#include <memory>

#include "engine/Operations.h"

namespace tellvane {

class TFilesIterationThread;

// Starts a run of OPERATION on a new worker thread, which becomes the active one. OPERATION must
// outlive the run. Uses the host set by SetWorkerHost. Runs that have ended since are joined here.
std::shared_ptr<TFilesIterationThread> StartOperation(TOperation& operation, TItemsSet itemsForOperation);
// The worker of the current run, or null.
std::shared_ptr<TFilesIterationThread> ActiveIterationThread();
// The progress window's Cancel (user-interface thread).
void CancelOperation();
// Number of runs whose worker has not ended.
int RunningWorkerCount();
// While set, ONENDED is called each time a run's worker ends, under the registry's lock (it must
// not call into the registry); an empty function clears it. For a thread that serves the runs'
// calls and is to see their end at once rather than at its next look.
void SetRunEndedListener(std::function<void()> onEnded);

// How the thread that awaits the runs serves their calls onto it meanwhile: SERVE handles what has
// come and otherwise waits for more; WAKE, called by a worker when its run ends, makes a waiting
// SERVE return. Without SERVE the awaiting thread serves nothing.
struct TCallServer {
    std::function<void()> serve;
    std::function<void()> wake;
};
// Asks every run to stop, waits until all have ended (serving their calls through SERVER) and
// joins their threads.
void StopAndAwaitWorkers(const TCallServer& server = {});

}  // namespace tellvane
