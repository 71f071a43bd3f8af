#include "engine/DurableDeletions.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>

#include "engine/NotCompletedReports.h"
#include "l10n/TextConstants.h"
#include "platform/Clock.h"
#include "platform/FolderWalk.h"
#include "platform/Paths.h"
#include "platform/SystemError.h"
#include "platform/TextFormat.h"

namespace tellvane {

namespace {

// Flushes the file system that holds FOLDER; 0 or the error.
int SyncFileSystemOf(const TParentFolder& parent, const std::string& fileName) {
    const std::string folder = ExtractFilePath(fileName);
    if (const int err = FileCallHookAnswer("syncfs", folder.empty() ? std::string(".") : folder)) return err;
    return syncfs(parent.fd()) == 0 ? 0 : errno;
}

}  // namespace

void TDurableDeletions::Add(const std::string& fileName, const TFileIdentity& read) {
    if (pending_.empty()) firstAdded_ = CounterSeconds();
    pending_.push_back({fileName, NamedRootLength(fileName), read});
}

bool TDurableDeletions::Due() const {
    return pending_.size() >= MaxFiles || (!pending_.empty() && CounterSeconds() - firstAdded_ >= MaxSeconds);
}

void TDurableDeletions::Settle(const std::function<void(const std::string&, const TFileIdentity&)>& remove) {
    std::vector<TPending> batch;
    batch.swap(pending_);
    // Every output of the batch was renamed into place before the first flush below, so one
    // flush of a file system covers all of them that lie on it.
    std::map<dev_t, int> flushed;
    for (const TPending& item : batch) {
        const TNamedRoot named(item.fileName, item.rootLength);
        TParentFolder parent;
        int err = 0;
        struct stat st {};
        if (!OpenParentFolder(item.fileName, parent)) {
            err = errno;
        } else if (fstat(parent.fd(), &st) != 0) {
            err = errno;
        } else {
            auto it = flushed.find(st.st_dev);
            if (it == flushed.end()) it = flushed.emplace(st.st_dev, SyncFileSystemOf(parent, item.fileName)).first;
            err = it->second;
        }
        if (err != 0) {
            // A folder on the way that became a link or vanished: the name leads elsewhere now.
            const bool moved = err == ELOOP || err == ENOTDIR || err == ENOENT;
            ReportNotCompleted(item.fileName, moved ? Format(GetConstantValue("File_changed_kept"), {item.fileName})
                                                    : Format(GetConstantValue("Cannot_delete_file"),
                                                             {item.fileName, FormatSystemError(err)}));
            continue;
        }
        try {
            remove(item.fileName, item.read);
        } catch (const EFileError& e) {
            ReportNotCompleted(item.fileName, e.what());
        }
    }
}

}  // namespace tellvane
