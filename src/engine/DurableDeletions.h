#pragma once
// Sources whose outputs are written but not yet on the device, deleted in batches: one flush of
// each file system makes a whole batch of outputs durable, where a flush of every output and of
// its folder made a run over many small files three times slower than one that keeps its sources.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace tellvane {

class TDurableDeletions {
public:
    // A batch is due when it holds this many sources, or when its first has waited this long.
    static constexpr size_t MaxFiles = 64;
    static constexpr double MaxSeconds = 1.0;

    // FILENAME's output has been renamed into place; READ is the source as it was read. The
    // calling thread's named root is kept with it, for the deletion's walk.
    void Add(const std::string& fileName, const TFileIdentity& read);
    bool Due() const;
    bool Empty() const { return pending_.empty(); }
    // Flushes the file system of every pending source's folder (syncfs: data, names and renames
    // alike), then calls REMOVE for each source in the order added. A source whose file system could
    // not be flushed, or whose folder cannot be reached any more, is kept and reported. REMOVE
    // reports its own failures by throwing EFileError; the batch goes on.
    void Settle(const std::function<void(const std::string& fileName, const TFileIdentity& read)>& remove);

private:
    struct TPending {
        std::string fileName;
        size_t rootLength;
        TFileIdentity read;
    };
    std::vector<TPending> pending_;
    double firstAdded_ = 0;
};

}  // namespace tellvane
