#pragma once
// The worker of one run: turns the selection into a list of paths, calls the operation's Work
// for each, serves the operation's callbacks and reports its progress.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/OperationCallbacks.h"
#include "engine/Operations.h"
#include "platform/Clock.h"

namespace tellvane {

class TDriveTree;
struct TTreeNode;
class IWorkerHost;

// A file a run did not complete, and why (the text the user was told).
struct TNotCompletedFile {
    std::string fileName;
    std::string reason;
};

class TFilesIterationThread : public std::enable_shared_from_this<TFilesIterationThread> {
public:
    TFilesIterationThread(TOperation& operation, TItemsSet itemsForOperation, IWorkerHost& host);
    ~TFilesIterationThread();
    TFilesIterationThread(const TFilesIterationThread&) = delete;
    TFilesIterationThread& operator=(const TFilesIterationThread&) = delete;

    // Callbacks bound to the operation (worker thread).
    bool HaltRequested() const { return terminated_.load(std::memory_order_relaxed); }
    void ReportProgress(int64_t doneSize, int64_t totalSize, int64_t partSize, double timeOnPart);
    bool ReplacePassword(const std::string& fileName, std::string& newPassword);
    // Whether an output may replace the existing FINALPATH: asks the user unless a "to all" answer
    // of this run already settled it.
    bool ConfirmReplace(const std::string& finalPath);

    // Sets the terminate flag (any thread).
    void Terminate() { terminated_.store(true); }
    // Closes the progress window once per run; true when this call closed it.
    bool MarkFinished() { return !finished_.exchange(true); }
    bool IsFinished() const { return finished_.load(); }

    // The time estimate for a chunk of PARTSIZE bytes that took TIMEONPART seconds, in days.
    double CalcEstimatedTime(int64_t partSize, double timeOnPart) const;

    // Read-outs (any thread; each a whole value).
    TDateTime ElapsedTime() const { return elapsedTime_.load(); }
    TDateTime EstimatedTime() const { return estimatedTime_.load(); }
    std::string CurrentFileName() const;
    int CurrentFileNumber() const { return currentFileNumber_.load(); }
    int64_t FilesCount() const { return filesCount_.load(); }
    int64_t AllFilesDoneSize() const { return allFilesDoneSize_.load(); }
    int64_t AllFilesSize() const { return allFilesSize_.load(); }
    int64_t CurrentFileDoneSize() const { return currentFileDoneSize_.load(); }
    int64_t CurrentFileTotalSize() const { return currentFileTotalSize_.load(); }

    // Records that FILENAME was not completed (worker thread); it is left out of the completion count.
    void AddNotCompleted(const std::string& fileName, const std::string& reason);
    // The files not completed so far, in the order they were reported (any thread).
    std::vector<TNotCompletedFile> NotCompletedFiles() const;
    // Files completed: the run's list less the files reported as not completed.
    int64_t CompletedCount() const;

    // The run's list after preparation (worker thread, or after the run for tests).
    const std::vector<std::string>& FilesToOperate() const { return filesToOperate_; }

    // Builds the list from the pending paths and the tree (worker thread).
    void PrepareFilesToOperate();
    // The thread function.
    void Execute();

    TOperation& Operation;
    const TItemsSet ItemsForOperation;

private:
    // ROOTLENGTH: how much of ENTRY the user named; below it every folder is entered without
    // following a link (platform/FolderWalk.h).
    void AddEntry(const std::string& entry, size_t rootLength);
    void AddPendingFiles();
    void AddTreeNodeFiles(const TTreeNode& node, size_t rootLength);
    // Lists FOLDER's files, links and special files, and those of its subfolders; a folder that
    // cannot be listed is reported and left out.
    void AddFolderFiles(const std::string& folder, size_t rootLength);
    // Work on one entry; an entry that concerns only itself (not a regular file, say) is
    // reported and the run goes on.
    void WorkOn(size_t index);
    void ShowCompletion();
    void ReleaseFiles();

    IWorkerHost& host_;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> finished_{false};
    std::vector<std::string> filesToOperate_;
    std::vector<size_t> rootLengths_;  // of each entry of filesToOperate_
    std::atomic<int64_t> filesCount_{0};
    mutable std::mutex nameLock_;
    std::string currentFileName_;
    std::atomic<int> currentFileNumber_{0};
    std::atomic<int64_t> allFilesDoneSize_{0};
    std::atomic<int64_t> allFilesSize_{1};
    std::atomic<int64_t> currentFileDoneSize_{0};
    std::atomic<int64_t> currentFileTotalSize_{1};
    enum class TReplaceRule { rrAsk, rrAll, rrNone } replaceRule_ = TReplaceRule::rrAsk;
    mutable std::mutex notCompletedLock_;
    std::vector<TNotCompletedFile> notCompleted_;
    TDateTime startTime_ = 0;
    std::atomic<double> elapsedTime_{0};
    std::atomic<double> estimatedTime_{0};
};

// Starts a run of OPERATION on a new worker thread, which becomes the active one. OPERATION must
// outlive the run. Uses the host set by SetWorkerHost. The engine owns the run's thread and joins
// it: here for runs that have ended since, and in StopAndAwaitWorkers.
std::shared_ptr<TFilesIterationThread> StartOperation(TOperation& operation, TItemsSet itemsForOperation);
// The worker of the current run, or null.
std::shared_ptr<TFilesIterationThread> ActiveIterationThread();
// The progress window's Cancel (user-interface thread).
void CancelOperation();
// Number of runs whose worker has not ended.
int RunningWorkerCount();

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

// A plain message shown by the user-interface thread while the calling worker waits.
void ShowMessageFromWorker(const std::string& text);
// Logs TEXT and shows it: a warning about a file that was nevertheless done.
void WarnFromWorker(const std::string& text);
// Reports from inside an operation that FILENAME was not completed: logs REASON, tells the user
// unless TELLUSER is false (a prompt the user declined needs no message), and keeps the file out of
// the calling worker's completion count. The run goes on with the next file.
void ReportNotCompleted(const std::string& fileName, const std::string& reason, bool tellUser = true);

// The paths handed over for a command-line run.
void CreatePendingFiles();
void FreePendingFiles();
std::vector<std::string>& PendingFiles();
// Reads DataFolder + "todo" (UTF-8 or UTF-16 with a byte-order mark, otherwise the ANSI code
// page), puts its lines before the current contents of PendingFiles. Throws EFileError when the
// file cannot be read; PendingFiles is then unchanged.
void LoadPendingFiles();
// Decodes the text of a "todo" file into its lines.
std::vector<std::string> DecodePendingLines(const std::string& bytes, uint32_t ansiCodePage);

// Set by the command-line activation when an operation switch was found.
extern std::atomic<bool> StartedFromCmdLine;

// The completion page's count line: "%d files were %s" for more than one entry, else "%d file was %s".
std::string CompletionCountText(int64_t count, const std::string& participle);

}  // namespace tellvane
