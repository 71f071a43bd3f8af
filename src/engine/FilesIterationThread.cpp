#include "engine/FilesIterationThread.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "base/Logger.h"
#include "engine/DriveTree.h"
#include "engine/PendingFiles.h"
#include "engine/ProgressReadouts.h"
#include "engine/WorkerHost.h"
#include "l10n/TextConstants.h"
#include "platform/FileSystem.h"
#include "platform/FolderWalk.h"
#include "platform/Paths.h"
#include "platform/SystemError.h"
#include "platform/TextFormat.h"

namespace tellvane {
namespace {

// A path named on its own: its folder is named with it, the name itself is never followed.
size_t OwnFolderLength(const std::string& path) { return ExtractFilePath(ExcludeTrailingPathDelimiter(path)).size(); }

}  // namespace

TFilesIterationThread::TFilesIterationThread(TOperation& operation, TItemsSet itemsForOperation, IWorkerHost& host)
    : Operation(operation), ItemsForOperation(std::move(itemsForOperation)), host_(host) {}

TFilesIterationThread::~TFilesIterationThread() = default;

std::string TFilesIterationThread::CurrentFileName() const {
    std::lock_guard<std::mutex> guard(nameLock_);
    return currentFileName_;
}

double TFilesIterationThread::CalcEstimatedTime(int64_t partSize, double timeOnPart) const {
    long double speed = static_cast<long double>(partSize) / static_cast<long double>(timeOnPart);
    // A chunk smaller than the pass count reports no bytes.
    if (speed == 0) speed = 0.000001L;
    const int64_t remaining = allFilesSize_.load() - allFilesDoneSize_.load();
    // Halves go to the even neighbour: the default rounding mode of nearbyint.
    const long double seconds = std::nearbyint(static_cast<long double>(remaining) / speed);
    return static_cast<double>(seconds / 86400.0L);
}

void TFilesIterationThread::ReportProgress(int64_t doneSize, int64_t totalSize, int64_t partSize,
                                           double timeOnPart) {
    allFilesDoneSize_.fetch_add(partSize);
    currentFileDoneSize_.store(doneSize);
    currentFileTotalSize_.store(totalSize);
    // A chunk faster than the clock's resolution gives no speed: keep the previous estimate.
    if (timeOnPart > 0) estimatedTime_.store(CalcEstimatedTime(partSize, timeOnPart));
    elapsedTime_.store(Now() - startTime_);
}

bool TFilesIterationThread::ReplacePassword(const std::string& fileName, TSecretString& newPassword) {
    const std::string shortName = ExtractFileName(fileName);
    bool isNewPasswordSet = false;
    TSecretString typed;
    host_.RunOnUiThread([&] {
        const std::string label = Format(GetConstantValue("Enter_valid_pass"), {shortName});
        isNewPasswordSet = host_.AskFilePassword(label, typed);
    });
    if (!isNewPasswordSet) return false;
    newPassword = typed;
    // Later files of the run are tried with the new password first.
    if (auto* decrypt = dynamic_cast<TDecrypt*>(&Operation)) decrypt->Password = newPassword;
    return true;
}

bool TFilesIterationThread::ConfirmReplace(const std::string& finalPath) {
    if (replaceRule_ != TReplaceRule::rrAsk) return replaceRule_ == TReplaceRule::rrAll;
    TReplaceAnswer answer = TReplaceAnswer::raNo;
    const std::string question = Format(GetConstantValue("Replace_existing_file"), {finalPath});
    host_.RunOnUiThread([&] { answer = host_.AskReplace(question); });
    if (answer == TReplaceAnswer::raYesToAll) replaceRule_ = TReplaceRule::rrAll;
    if (answer == TReplaceAnswer::raNoToAll) replaceRule_ = TReplaceRule::rrNone;
    return answer == TReplaceAnswer::raYes || answer == TReplaceAnswer::raYesToAll;
}

void TFilesIterationThread::AddNotCompleted(const std::string& fileName, const std::string& reason) {
    notCompleted_.Add(fileName, reason);
}

std::vector<TNotCompletedFile> TFilesIterationThread::NotCompletedFiles() const { return notCompleted_.Files(); }

int64_t TFilesIterationThread::CompletedCount() const {
    // Only entries of the list count: a folder that could not be listed never joined it.
    const auto total = static_cast<int64_t>(filesToOperate_.size());
    return std::max<int64_t>(0, total - static_cast<int64_t>(notCompleted_.CountAmong(filesToOperate_)));
}

void TFilesIterationThread::AddEntry(const std::string& entry, size_t rootLength) {
    filesToOperate_.push_back(entry);
    rootLengths_.push_back(rootLength);
    // The progress window counts the files found while the list is being built.
    filesCount_.store(static_cast<int64_t>(filesToOperate_.size()));
}

void TFilesIterationThread::AddPendingFiles() {
    const auto& pending = PendingFiles();
    filesToOperate_.insert(filesToOperate_.end(), pending.begin(), pending.end());
    for (const auto& entry : pending) rootLengths_.push_back(OwnFolderLength(entry));
    const bool expandFolders =
        ItemsForOperation.count(TItemType::itFile) != 0 && ItemsForOperation.count(TItemType::itFolder) == 0;
    if (!expandFolders) return;
    // Last to first, so that the files appended for one folder are not visited again.
    for (size_t i = filesToOperate_.size(); i-- > 0;) {
        const std::string entry = filesToOperate_[i];
        // A link named directly stays a link: the operation skips it (or, shredding, removes it).
        if (GetEntryKind(ExcludeTrailingPathDelimiter(entry)) == TEntryKind::Directory) {
            // The folder named is the root its walk stays below.
            AddFolderFiles(entry, IncludeTrailingPathDelimiter(entry).size());
            filesToOperate_.erase(filesToOperate_.begin() + static_cast<std::ptrdiff_t>(i));
            rootLengths_.erase(rootLengths_.begin() + static_cast<std::ptrdiff_t>(i));
            filesCount_.store(static_cast<int64_t>(filesToOperate_.size()));
        }
    }
}

void TFilesIterationThread::AddFolderFiles(const std::string& folder, size_t rootLength) {
    if (HaltRequested()) return;
    const std::string base = IncludeTrailingPathDelimiter(folder);
    std::vector<DirEntry> entries;
    try {
        const TNamedRoot named(base, rootLength);
        entries = ListDirectory(base);
    } catch (const EFileError& e) {
        // One folder that cannot be listed costs only its own files.
        const std::string name = ExcludeTrailingPathDelimiter(folder);
        const std::string reason = e.Code != 0 ? FormatSystemError(e.Code) : std::string(e.what());
        ReportNotCompleted(name, Format(GetConstantValue("Folder_not_listed"), {name, reason}));
        return;
    }
    for (const DirEntry& e : entries) {
        // A link is never entered, whatever it points to: it is listed as itself, and the
        // operation decides (encryption skips it, shredding removes the link alone).
        if (e.isDirectory && !e.isSymlink)
            AddFolderFiles(base + e.name + "/", rootLength);
        else
            AddEntry(base + e.name, rootLength);
    }
}

void TFilesIterationThread::AddTreeNodeFiles(const TTreeNode& node, size_t rootLength) {
    if (node.IsPlaceholder || HaltRequested()) return;
    if (node.StateIndex == nsChecked) {
        const std::string path = TDriveTree::GetFullPathByTree(&node);
        const TNamedRoot named(path, rootLength);
        if (node.ImageIndex >= niDocument && ItemsForOperation.count(TItemType::itFile)) {
            AddEntry(path, rootLength);
        } else if (ItemsForOperation.count(TItemType::itFolder)) {
            AddEntry(ExcludeTrailingPathDelimiter(path), rootLength);
        } else if (node.Parent && IsSymlink(path)) {
            AddEntry(path, rootLength);  // a link to a folder, as in a walk
        } else if (node.HasOnlyDummyChild()) {
            AddFolderFiles(IncludeTrailingPathDelimiter(path), rootLength);
        } else {
            for (const auto& child : node.Children) AddTreeNodeFiles(*child, rootLength);
        }
    }
    if (node.StateIndex == nsPartlyChecked)
        for (const auto& child : node.Children) AddTreeNodeFiles(*child, rootLength);
}

void TFilesIterationThread::PrepareFilesToOperate() {
    AddPendingFiles();
    if (const TDriveTree* tree = host_.DriveTree()) {
        for (const auto& drive : tree->DrivesInTree) {
            if (HaltRequested()) break;
            // The tree never enters a link, so everything under a drive is reached from its mount
            // point, which is where the tree's paths begin.
            if (ItemsForOperation.count(TItemType::itFolder) && drive->StateIndex == nsChecked)
                AddEntry(drive->Text, OwnFolderLength(drive->Text));
            else
                AddTreeNodeFiles(*drive, drive->Text.size());
        }
    }
    int64_t total = 1;
    for (size_t i = 0; i < filesToOperate_.size(); ++i) {
        const TNamedRoot named(filesToOperate_[i], rootLengths_[i]);
        total += GetFileSize(filesToOperate_[i]);
    }
    allFilesSize_.store(total);
    filesCount_.store(static_cast<int64_t>(filesToOperate_.size()));
}

void TFilesIterationThread::ShowCompletion() {
    const std::string header = Operation.GetCompleteHeader();
    std::string text = CompletionCountText(CompletedCount(), Operation.GetCompleteText());
    const auto notDone = static_cast<int64_t>(notCompleted_.CountNotDone());
    if (notDone > 0) text += "\n" + NotDoneCountText(notDone);
    host_.RunOnUiThread([&] { host_.ShowCompletion(header, text); });
}

void TFilesIterationThread::ShowSummary() {
    const std::vector<TNotCompletedFile> entries = notCompleted_.Files();
    if (entries.empty()) return;
    host_.RunOnUiThread([&] { host_.ShowNotCompletedSummary(entries); });
}

void TFilesIterationThread::ReleaseFiles() {
    if (MarkFinished()) host_.RunOnUiThread([&] { host_.CloseProgressWindow(); });
}

namespace {

// While it lives, the operation may leave the last step of its files to Settle; a later Work
// outside a run (a test's, say) finishes its file at once again.
class TBatchScope {
public:
    explicit TBatchScope(TOperation& operation) : operation_(operation) { operation_.SettleInBatches = true; }
    ~TBatchScope() { operation_.SettleInBatches = false; }
    TBatchScope(const TBatchScope&) = delete;
    TBatchScope& operator=(const TBatchScope&) = delete;

private:
    TOperation& operation_;
};

// The text the user is told for a file the file layer gave up on.
std::string SkipReason(const std::string& fileName, const EFileError& e) {
    if (const auto* special = dynamic_cast<const ENotRegularFile*>(&e)) {
        const char* key = special->Kind == TEntryKind::Symlink ? "Link_skipped" : "Not_regular_file_skipped";
        return Format(GetConstantValue(key), {fileName});
    }
    // The stream layer's text names no file; in a list of many it must.
    if (std::string_view(e.what()) == "Stream read error")
        return Format(GetConstantValue("Stream_read_error_in"), {fileName});
    return e.what();
}

}  // namespace

void TFilesIterationThread::WorkOn(size_t index) {
    const std::string& fileName = filesToOperate_[index];
    const TNamedRoot named(fileName, rootLengths_[index]);
    // Every failure of the file layer concerns this entry alone (operations touch nothing else but
    // its output beside it): the entry is reported and the run goes on with the next one.
    try {
        // The walk is done; nothing of this entry has been reached yet.
        if (const int err = FileCallHookAnswer("open", fileName)) throw EFileSkipped(CannotOpenMessage(fileName, err), err);
        Operation.Work(fileName);
    } catch (const EFileError& e) {
        const auto* skipped = dynamic_cast<const EFileSkipped*>(&e);
        const bool atOnce = skipped && skipped->Notice == TSkipNotice::AtOnce;
        ReportNotCompleted(fileName, SkipReason(fileName, e), atOnce);
    }
}

void TFilesIterationThread::SettleAfterRunError() {
    try {
        Operation.Settle(true);
    } catch (const std::exception& e) {
        Log(e.what(), "TFilesIterationThread");
    }
}

void TFilesIterationThread::ListNotReached(size_t from) {
    for (size_t i = from; i < filesToOperate_.size(); ++i)
        AddNotCompleted(filesToOperate_[i], Format(GetConstantValue("Not_reached"), {filesToOperate_[i]}));
}

void TFilesIterationThread::Execute() {
    const TReportScope reports(notCompleted_, host_);
    try {
        // Returns only after the handler that started the run has finished on the UI thread.
        host_.RunOnUiThread([] {});
        {
            const TFolderCache cache;
            PrepareFilesToOperate();
        }
        if (!HaltRequested()) Operation.BeforeRun(filesToOperate_);
        // Files of one folder follow each other: that folder is walked to once, not once per file.
        const TFolderCache cache;
        const TBatchScope batches(Operation);
        startTime_ = Now();
        for (; next_ < filesToOperate_.size(); ++next_) {
            if (HaltRequested()) break;
            {
                std::lock_guard<std::mutex> guard(nameLock_);
                currentFileName_ = filesToOperate_[next_];
            }
            currentFileNumber_.store(static_cast<int>(next_ + 1));
            WorkOn(next_);
            Operation.Settle(false);
            // A file the halt interrupted was not finished either.
            if (HaltRequested()) break;
        }
        // What the finished files left for a batch is done, on Cancel too: their outputs are whole.
        Operation.Settle(true);
        // A run cancelled during its last file did not complete either.
        const bool halted = HaltRequested();
        if (halted) ListNotReached(next_);
        // Cancel marked the run finished; a halt without it is the program's end, with no one to
        // read a summary.
        if (!halted || IsFinished()) ShowSummary();
        if (!halted) ShowCompletion();
        ReleaseFiles();
    } catch (const std::exception& e) {
        Log(e.what(), "TFilesIterationThread");
        const std::string message = e.what();
        SettleAfterRunError();
        ListNotReached(next_);
        ReleaseFiles();
        ShowSummary();
        // A failed run must not look like one that never started.
        host_.RunOnUiThread([&] { host_.ShowRunError(message); });
    }
}

}  // namespace tellvane
