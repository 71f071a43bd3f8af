#include "engine/DurableDeletions.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <map>

#include "engine/NotCompletedReports.h"
#include "l10n/TextConstants.h"
#include "platform/Clock.h"
#include "platform/FolderWalk.h"
#include "platform/Paths.h"
#include "platform/SystemError.h"
#include "platform/TextFormat.h"

namespace tellvane {

void TDurableDeletions::Add(const std::string& fileName, const TFileIdentity& read) {
    if (pending_.empty()) firstAdded_ = CounterSeconds();
    pending_.push_back({.fileName = fileName, .rootLength = NamedRootLength(fileName), .read = read, .parent = {}});
}

bool TDurableDeletions::Due() const {
    return pending_.size() >= MaxFiles || (!pending_.empty() && CounterSeconds() - firstAdded_ >= MaxSeconds);
}

void TDurableDeletions::Settle(bool all, const TRemove& remove) {
    if (deleting_.valid() && (all || deleting_.wait_for(std::chrono::seconds(0)) == std::future_status::ready))
        deleting_.get();
    if (pending_.empty() || (!all && !Due())) return;
    std::vector<TPending> batch;
    batch.swap(pending_);
    const std::map<dev_t, int> outcome = Flush(batch);
    std::vector<TPending> flushed;
    for (TPending& item : batch) {
        const int err = item.err != 0 ? item.err : outcome.at(item.device);
        if (err == 0) {
            flushed.push_back(std::move(item));
            continue;
        }
        // A folder on the way that became a link or vanished: the name leads elsewhere now.
        const bool moved = err == ELOOP || err == ENOTDIR || err == ENOENT;
        ReportNotCompleted(item.fileName, moved ? Format(GetConstantValue("File_changed_kept"), {item.fileName})
                                                : Format(GetConstantValue("Cannot_delete_file"),
                                                         {item.fileName, FormatSystemError(err)}));
    }
    if (deleting_.valid()) deleting_.get();  // batches are deleted in the order they came
    // An unlink waits on the device, a wipe longer: the run's next files go on meanwhile. Each
    // source is reached through the folder descriptor the flush held, so this thread walks nothing.
    deleting_ = std::async(std::launch::async,
                           [flushed = std::move(flushed), remove, scope = TReportScope::Current()] {
                               const TReportScope reports(scope);
                               for (const TPending& item : flushed) {
                                   try {
                                       remove(item.parent, item.fileName, item.read);
                                   } catch (const EFileError& e) {
                                       ReportNotCompleted(item.fileName, e.what());
                                   }
                               }
                           });
    if (all) deleting_.get();
}

std::map<dev_t, int> TDurableDeletions::Flush(std::vector<TPending>& batch) {
    // The folders are reached from their named roots and their sources are deleted in them later:
    // in the folders whose outputs the flush covered. Every output of the batch was renamed into
    // place before this, so one flush of a file system covers all of them that lie on it.
    std::map<dev_t, int> outcome;
    for (TPending& item : batch) {
        const TNamedRoot named(item.fileName, item.rootLength);
        TParentFolder& parent = item.parent;
        struct stat st {};
        if (!OpenParentFolder(item.fileName, parent) || fstat(parent.fd(), &st) != 0) {
            item.err = errno;
            continue;
        }
        item.device = st.st_dev;
        if (outcome.count(st.st_dev)) continue;
        const std::string folder = ExtractFilePath(item.fileName);
        int err = FileCallHookAnswer("syncfs", folder.empty() ? std::string(".") : folder);
        if (err == 0 && syncfs(parent.fd()) != 0) err = errno;
        outcome[st.st_dev] = err;
    }
    return outcome;
}

}  // namespace tellvane
