#pragma once
// Sources whose outputs are written but not yet on the device, deleted in batches: one flush of
// each file system makes a whole batch of outputs durable, where a flush of every output and of
// its folder made a run over many small files three times slower than one that keeps its sources.
#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <future>
#include <map>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/FolderWalk.h"

namespace tellvane {

class TDurableDeletions {
public:
    // A batch is due when it holds this many sources, or when its first has waited this long.
    static constexpr size_t MaxFiles = 64;
    static constexpr double MaxSeconds = 1.0;
    // Deletes one source, in PARENT, the folder reached for the flush that made its output durable;
    // reports its own failures by throwing EFileError.
    using TRemove =
        std::function<void(const TParentFolder& parent, const std::string& fileName, const TFileIdentity& read)>;

    // FILENAME's output has been renamed into place; READ is the source as it was read. The
    // calling thread's named root is kept with it, for the walk to its folder.
    void Add(const std::string& fileName, const TFileIdentity& read);
    bool Idle() const { return pending_.empty() && !deleting_.valid(); }
    // When the batch is due, or with ALL: reaches the folder of every source of the batch, flushes
    // each file system that holds one (syncfs: data, names and renames alike), then calls REMOVE
    // for each source in the folder reached, on a thread of its own that reports to the calling
    // thread's run; with ALL, returns when every source is dealt with. A source whose file system
    // could not be flushed, or whose folder cannot be reached any more, is kept and reported.
    void Settle(bool all, const TRemove& remove);

private:
    struct TPending {
        std::string fileName;
        size_t rootLength;
        TFileIdentity read;
        TParentFolder parent;  // held from the flush to the deletion
        dev_t device = 0;
        int err = 0;  // why its folder could not be reached for the flush
    };
    bool Due() const;
    // The error of each file system's flush, or 0, after reaching the folders of BATCH.
    static std::map<dev_t, int> Flush(std::vector<TPending>& batch);

    std::vector<TPending> pending_;
    double firstAdded_ = 0;
    std::future<void> deleting_;  // the last flushed batch's deletions; waited for before the next
};

}  // namespace tellvane
