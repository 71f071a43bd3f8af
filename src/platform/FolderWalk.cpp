#include "platform/FolderWalk.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/Paths.h"

namespace tellvane {
namespace {

struct TRootState {
    bool active = false;
    std::string root;  // the named part, ending in "/" ("" for the current folder)
};

struct TCacheState {
    int users = 0;
    std::string key;
    TFolderRef folder;
};

thread_local TRootState t_root;
thread_local TCacheState t_cache;

// The named part of FOLDER (which ends in "/", or is ""): the current root when FOLDER lies at or
// below it, else FOLDER itself.
size_t NamedLengthOfFolder(const std::string& folder) {
    // The current folder as root ("") holds relative paths only.
    const bool relativeRoot = t_root.root.empty() && !folder.empty() && folder[0] == '/';
    if (t_root.active && !relativeRoot && folder.size() >= t_root.root.size() &&
        folder.compare(0, t_root.root.size(), t_root.root) == 0)
        return t_root.root.size();
    return folder.size();
}

// FOLDER (ending in "/", or "") opened: the first NAMED characters as given, each name below them
// without following a link. The last folder is opened for reading (listing, fsync); the ones
// between only for lookup, so a folder we may search but not read can still be passed.
int WalkFolder(const std::string& folder, size_t named) {
    const std::string start = named == 0 ? std::string(".") : folder.substr(0, named);
    const bool last = named >= folder.size();
    TFileDescriptor fd(open(start.c_str(), (last ? O_RDONLY : O_PATH) | O_DIRECTORY | O_CLOEXEC));
    // A folder we may search but not read still serves the *at calls on the names in it.
    if (!fd.valid() && last && errno == EACCES) fd = TFileDescriptor(open(start.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!fd.valid()) return -1;
    size_t pos = named;
    while (pos < folder.size()) {
        size_t end = folder.find('/', pos);
        if (end == std::string::npos) end = folder.size();
        const std::string name = folder.substr(pos, end - pos);
        pos = end + 1;
        if (name.empty() || name == ".") continue;
        if (name == "..") {
            errno = EINVAL;  // would climb out of the named folder
            return -1;
        }
        const bool final = pos >= folder.size();
        const int flags = O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
        TFileDescriptor next(openat(fd.get(), name.c_str(), (final ? O_RDONLY : O_PATH) | flags));
        if (!next.valid() && final && errno == EACCES) next = TFileDescriptor(openat(fd.get(), name.c_str(), O_PATH | flags));
        if (!next.valid()) {
            const int err = errno;
            struct stat st {};
            // O_DIRECTORY answers ENOTDIR before O_NOFOLLOW's ELOOP: tell a link apart.
            errno = err == ENOTDIR && fstatat(fd.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode)
                        ? ELOOP
                        : err;
            return -1;
        }
        fd = TFileDescriptor(next.release());
    }
    return fd.release();
}

std::string FolderOf(const std::string& folder) {
    return folder.empty() || folder.back() == '/' ? folder : folder + "/";
}

}  // namespace

TNamedRoot::TNamedRoot(const std::string& path, size_t rootLength)
    : previous_(t_root.root), hadPrevious_(t_root.active) {
    t_root.active = true;
    t_root.root = FolderOf(path.substr(0, rootLength));
}

TNamedRoot::~TNamedRoot() {
    t_root.active = hadPrevious_;
    t_root.root = previous_;
}

TFolderCache::TFolderCache() { ++t_cache.users; }

TFolderCache::~TFolderCache() {
    if (--t_cache.users == 0) {
        t_cache.key.clear();
        t_cache.folder.reset();
    }
}

size_t NamedRootLength(const std::string& path) {
    const std::string item = ExcludeTrailingPathDelimiter(path);
    if (t_root.active && item.size() + 1 == t_root.root.size() && t_root.root.compare(0, item.size(), item) == 0)
        return item.size() + 1;  // the named folder itself
    return NamedLengthOfFolder(ExtractFilePath(item));
}

int OpenFolderBelowRoot(const std::string& path) {
    const std::string folder = FolderOf(path);
    return WalkFolder(folder, NamedLengthOfFolder(folder));
}

bool OpenParentFolder(const std::string& path, TParentFolder& parent) {
    std::string item = ExcludeTrailingPathDelimiter(path);
    if (item.empty() && !path.empty()) item = "/";
    if (item == "/") {
        parent.name.clear();
        const int fd = open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) return false;
        parent.folder = std::make_shared<const TFileDescriptor>(fd);
        return true;
    }
    const std::string folder = ExtractFilePath(item);
    parent.name = ExtractFileName(item);
    const size_t named = NamedLengthOfFolder(folder);
    std::string key;
    if (t_cache.users > 0) {
        key = folder.substr(0, named);
        key.push_back('\0');
        key += folder;
        if (t_cache.folder && key == t_cache.key) {
            parent.folder = t_cache.folder;
            return true;
        }
    }
    const int fd = WalkFolder(folder, named);
    if (fd < 0) return false;
    parent.folder = std::make_shared<const TFileDescriptor>(fd);
    if (t_cache.users > 0) {
        t_cache.key = std::move(key);
        t_cache.folder = parent.folder;
    }
    return true;
}

std::string CanonicalNamedPath(const std::string& path) {
    const size_t named = NamedRootLength(path);
    const std::string given = named == 0 ? std::string(".") : path.substr(0, named);
    char* resolved = realpath(given.c_str(), nullptr);
    if (resolved == nullptr) return path;
    std::string result = IncludeTrailingPathDelimiter(resolved);
    free(resolved);
    return result + path.substr(named);
}

}  // namespace tellvane
