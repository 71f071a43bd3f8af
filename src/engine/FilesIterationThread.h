#pragma once
// The worker of one run: turns the selection into a list of paths, calls the operation's Work
// for each, serves the operation's callbacks and reports its progress.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/OperationCallbacks.h"
#include "engine/NotCompletedReports.h"
#include "engine/Operations.h"
#include "platform/Clock.h"

namespace tellvane {

class TDriveTree;
struct TTreeNode;
class IWorkerHost;

class TFilesIterationThread : public std::enable_shared_from_this<TFilesIterationThread> {
public:
    TFilesIterationThread(TOperation& operation, TItemsSet itemsForOperation, IWorkerHost& host);
    ~TFilesIterationThread();
    TFilesIterationThread(const TFilesIterationThread&) = delete;
    TFilesIterationThread& operator=(const TFilesIterationThread&) = delete;

    // Callbacks bound to the operation (worker thread).
    bool HaltRequested() const { return terminated_.load(std::memory_order_relaxed); }
    void ReportProgress(int64_t doneSize, int64_t totalSize, int64_t partSize, double timeOnPart);
    bool ReplacePassword(const std::string& fileName, TSecretString& newPassword);
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
    // Work on entry INDEX; a failure that concerns only this entry is reported and the run goes on.
    void WorkOn(size_t index);
    // Lists the entries from FROM on as not done: the run ended before them.
    void ListNotReached(size_t from);
    // The outputs of the files done before a run error are whole: their sources still go.
    void SettleAfterRunError();
    // The entries not done, shown once at the run's end.
    void ShowSummary();
    void ShowCompletion();
    void ReleaseFiles();

    IWorkerHost& host_;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> finished_{false};
    std::vector<std::string> filesToOperate_;
    std::vector<size_t> rootLengths_;  // of each entry of filesToOperate_
    size_t next_ = 0;  // the entry being worked on, or the first not yet reached
    std::atomic<int64_t> filesCount_{0};
    mutable std::mutex nameLock_;
    std::string currentFileName_;
    std::atomic<int> currentFileNumber_{0};
    std::atomic<int64_t> allFilesDoneSize_{0};
    std::atomic<int64_t> allFilesSize_{1};
    std::atomic<int64_t> currentFileDoneSize_{0};
    std::atomic<int64_t> currentFileTotalSize_{1};
    enum class TReplaceRule { rrAsk, rrAll, rrNone } replaceRule_ = TReplaceRule::rrAsk;
    TNotCompletedList notCompleted_;
    TDateTime startTime_ = 0;
    std::atomic<double> elapsedTime_{0};
    std::atomic<double> estimatedTime_{0};
};

}  // namespace tellvane
