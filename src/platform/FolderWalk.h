#pragma once
// Reaching a path below the folder the user named without resolving its path again: the named
// prefix is opened as given (a link in it is the user's choice), every folder below it one name
// at a time with O_NOFOLLOW, and only the final name is handled, relative to its parent's
// descriptor. A folder swapped for a link after the walk listed it then fails with ELOOP or
// ENOTDIR instead of leading elsewhere.
#include <cstddef>
#include <memory>
#include <string>

#include "platform/FileDescriptor.h"

namespace tellvane {

// A folder held open; shared so that a cached parent serves several calls without reopening.
using TFolderRef = std::shared_ptr<const TFileDescriptor>;

// The parent folder of a path and the final name in it.
struct TParentFolder {
    TFolderRef folder;
    std::string name;
    int fd() const { return folder->get(); }
};

// For the calling thread, while it lives: the paths handled are below the first ROOTLENGTH
// characters of PATH, the part the user named. Nested scopes replace the outer one until they end.
// Without a scope a path's own folder counts as named (a file given on the command line).
class TNamedRoot {
public:
    TNamedRoot(const std::string& path, size_t rootLength);
    ~TNamedRoot();
    TNamedRoot(const TNamedRoot&) = delete;
    TNamedRoot& operator=(const TNamedRoot&) = delete;

private:
    std::string previous_;
    bool hadPrevious_;
};

// For the calling thread, while it lives: the last parent folder opened is kept and served again
// to a path of the same named root and the same folder, so that a run over many small files
// walks each folder once. The descriptor is of the folder the walk reached, so a swap of its path
// after it was opened cannot redirect it.
class TFolderCache {
public:
    TFolderCache();
    ~TFolderCache();
    TFolderCache(const TFolderCache&) = delete;
    TFolderCache& operator=(const TFolderCache&) = delete;
};

// Length of the named part of PATH for the calling thread: the current named root when PATH is
// below it, else PATH's own folder (with its "/").
size_t NamedRootLength(const std::string& path);

// Opens the parent folder of PATH (a trailing "/" ignored) as described above. Returns a folder
// with an empty name for "/" itself. Returns false with errno set on failure: ELOOP or ENOTDIR
// when a link (or a file) stands where a folder was expected below the named part.
bool OpenParentFolder(const std::string& path, TParentFolder& parent);
// Opens the folder PATH itself the same way, for listing or as a parent. -1 with errno on failure.
int OpenFolderBelowRoot(const std::string& path);

// PATH with its named part replaced by the canonical path of that part (links resolved), so the
// whole result names the same item without a link in it; PATH unchanged when it cannot be resolved.
std::string CanonicalNamedPath(const std::string& path);

}  // namespace tellvane
