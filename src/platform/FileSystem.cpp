#include "platform/FileSystem.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <mutex>

#include "platform/FileDescriptor.h"
#include "platform/FolderWalk.h"
#include "platform/Paths.h"
#include "platform/SecureWipe.h"
#include "platform/SystemError.h"
#include "platform/TextFormat.h"

namespace tellvane {
namespace {

struct DirCloser {
    void operator()(DIR* d) const { closedir(d); }
};

TFileCallHook& CallHook() {
    static TFileCallHook hook;
    return hook;
}

// A run deletes on a thread of its own beside the worker: a hook is asked by one thread at a time
// (and may reach the file layer again from inside).
std::recursive_mutex& CallHookLock() {
    static std::recursive_mutex lock;
    return lock;
}

TFileSystemTypeHook& TypeHook() {
    static TFileSystemTypeHook hook;
    return hook;
}

TFileIdentity IdentityOf(const struct stat& st) {
    TFileIdentity id;
    id.device = st.st_dev;
    id.inode = st.st_ino;
    id.size = static_cast<int64_t>(st.st_size);
    id.modified = st.st_mtim;
    id.links = st.st_nlink;
    id.mode = st.st_mode;
    id.owner = st.st_uid;
    id.group = st.st_gid;
    return id;
}

// statfs magic numbers of the copy-on-write file systems.
constexpr long BtrfsMagic = 0x9123683E;
constexpr long ZfsMagic = 0x2FC12FC1;
constexpr long BcachefsMagic = 0xCA451A4E;

}  // namespace

int OpenItemNoFollow(const std::string& path) {
    if (const int err = FileCallHookAnswer("open", path)) {
        errno = err;
        return -1;
    }
    TParentFolder parent;
    if (!OpenParentFolder(path, parent)) return -1;
    return OpenItemIn(parent);
}

int OpenItemIn(const TParentFolder& parent) {
    if (parent.name.empty()) return fcntl(parent.fd(), F_DUPFD_CLOEXEC, 0);
    return openat(parent.fd(), parent.name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
}

int ChangeModeOfOpened(int fd, unsigned mode) {
    struct stat st {};
    if (fstat(fd, &st) != 0) return errno;
    if (S_ISLNK(st.st_mode)) return ELOOP;
    if (fchmod(fd, mode) == 0) return 0;
    if (errno != EBADF) return errno;
    // fchmod refuses an O_PATH descriptor; its /proc entry leads to the very same inode.
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    return fchmodat(AT_FDCWD, self.c_str(), mode, 0) == 0 ? 0 : errno;
}

std::string CannotOpenMessage(const std::string& path, int err) {
    return Format("Cannot open file \"%s\". %s", {path, FormatSystemError(err)});
}

std::string CannotCreateMessage(const std::string& path, int err) {
    return Format("Cannot create file \"%s\". %s", {path, FormatSystemError(err)});
}

std::string CannotWriteMessage(const std::string& path, int err) {
    return Format("Cannot write file \"%s\". %s", {path, FormatSystemError(err)});
}

namespace {

TEntryKind KindOfMode(mode_t mode) {
    if (S_ISREG(mode)) return TEntryKind::Regular;
    if (S_ISDIR(mode)) return TEntryKind::Directory;
    if (S_ISLNK(mode)) return TEntryKind::Symlink;
    return TEntryKind::Special;
}

}  // namespace

ENotRegularFile::ENotRegularFile(const std::string& path, TEntryKind kind)
    : EFileSkipped(path + (kind == TEntryKind::Symlink ? " is a symbolic link" : " is not a regular file")),
      Path(path),
      Kind(kind) {}

namespace {

// lstat of PATH through its parent's descriptor; errno ELOOP when a link stands where a folder
// was expected below the named part.
bool StatBelowRoot(const std::string& path, struct stat& st) {
    TParentFolder parent;
    if (!OpenParentFolder(path, parent)) return false;
    if (parent.name.empty()) return fstat(parent.fd(), &st) == 0;
    return fstatat(parent.fd(), parent.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

}  // namespace

TEntryKind GetEntryKind(const std::string& path) {
    struct stat st {};
    if (StatBelowRoot(path, st)) return KindOfMode(st.st_mode);
    // What stands in the path's way is a link, which is what the caller must not follow.
    return errno == ELOOP ? TEntryKind::Symlink : TEntryKind::Missing;
}

int OpenRegularFile(const std::string& path, int accessFlags) {
    if (const int err = FileCallHookAnswer("open", path)) throw EFileError(CannotOpenMessage(path, err), err);
    TParentFolder parent;
    if (!OpenParentFolder(path, parent)) {
        if (errno == ELOOP) throw ENotRegularFile(path, TEntryKind::Symlink);
        throw EFileError(CannotOpenMessage(path, errno), errno);
    }
    return OpenRegularFileIn(parent, path, accessFlags);
}

int OpenRegularFileIn(const TParentFolder& parent, const std::string& path, int accessFlags) {
    // Opening a device may act on it, so the type is settled before any open.
    struct stat st {};
    if (parent.name.empty()) throw ENotRegularFile(path, TEntryKind::Directory);
    const char* name = parent.name.c_str();
    if (fstatat(parent.fd(), name, &st, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISREG(st.st_mode))
        throw ENotRegularFile(path, KindOfMode(st.st_mode));
    TFileDescriptor fd(openat(parent.fd(), name, accessFlags | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd.valid()) {
        if (errno == ELOOP) throw ENotRegularFile(path, TEntryKind::Symlink);
        throw EFileError(CannotOpenMessage(path, errno), errno);
    }
    if (fstat(fd.get(), &st) != 0) throw EFileError(CannotOpenMessage(path, errno));
    if (!S_ISREG(st.st_mode)) throw ENotRegularFile(path, KindOfMode(st.st_mode));
    const int flags = fcntl(fd.get(), F_GETFL);
    if (flags < 0 || fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
        throw EFileError(CannotOpenMessage(path, errno));
    return fd.release();
}

std::vector<DirEntry> ListDirectory(const std::string& folder) {
    int fd = OpenFolderBelowRoot(folder);
    // A folder we may search but not read opens only for lookup: it cannot be listed.
    if (fd >= 0 && (fcntl(fd, F_GETFL) & O_PATH) != 0) {
        close(fd);
        fd = -1;
        errno = EACCES;
    }
    std::unique_ptr<DIR, DirCloser> dir(fd < 0 ? nullptr : fdopendir(fd));
    if (!dir) {
        const int err = errno;
        if (fd >= 0) close(fd);
        throw EFileError(CannotOpenMessage(folder, err), err);
    }
    std::vector<DirEntry> entries;
    while (dirent* d = readdir(dir.get())) {
        std::string name = d->d_name;
        if (name == "." || name == "..") continue;
        DirEntry e;
        e.name = name;
        struct stat st {};
        if (fstatat(dirfd(dir.get()), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
            e.isSymlink = S_ISLNK(st.st_mode);
            if (e.isSymlink) {
                struct stat target {};
                // A link to a folder is listed as a folder but never entered by the walks.
                e.isDirectory = fstatat(dirfd(dir.get()), name.c_str(), &target, 0) == 0 && S_ISDIR(target.st_mode);
            } else {
                e.isDirectory = S_ISDIR(st.st_mode);
                if (S_ISREG(st.st_mode)) {
                    e.size = st.st_size;
                    e.readOnly = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
                }
            }
        }
        entries.push_back(std::move(e));
    }
    return entries;
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return StatBelowRoot(path, st) && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PathExists(const std::string& path) {
    struct stat st {};
    return StatBelowRoot(path, st);
}

bool IsSymlink(const std::string& path) {
    struct stat st {};
    return StatBelowRoot(path, st) && S_ISLNK(st.st_mode);
}

int64_t GetFileSize(const std::string& path) {
    struct stat st {};
    if (!StatBelowRoot(path, st)) return -1;
    return S_ISREG(st.st_mode) ? static_cast<int64_t>(st.st_size) : 0;
}

bool ForceDirectories(const std::string& folder, unsigned mode) {
    std::string path = ExcludeTrailingPathDelimiter(folder);
    if (path.empty()) return false;
    if (DirectoryExists(path)) return true;
    std::string parent = ExcludeTrailingPathDelimiter(ExtractFilePath(path));
    if (!parent.empty() && parent != path && !DirectoryExists(parent)) ForceDirectories(parent, mode);
    if (mkdir(path.c_str(), mode) == 0) return true;
    return DirectoryExists(path);
}

bool DeleteFile(const std::string& path) {
    if (const int err = FileCallHookAnswer("unlink", path)) {
        errno = err;
        return false;
    }
    TParentFolder parent;
    if (!OpenParentFolder(path, parent)) return false;
    if (parent.name.empty()) {
        errno = EISDIR;
        return false;
    }
    return unlinkat(parent.fd(), parent.name.c_str(), 0) == 0;
}

int DeleteFileIfSame(const std::string& path, const TFileIdentity& read, bool unchangedToo, TFileIdentity* now) {
    if (const int err = FileCallHookAnswer("unlink", path)) return err;
    TParentFolder parent;
    if (!OpenParentFolder(path, parent)) return errno == ELOOP ? ESTALE : errno;
    if (parent.name.empty()) return EISDIR;
    return DeleteFileIfSameIn(parent, read, unchangedToo, now);
}

int DeleteFileIfSameIn(const TParentFolder& parent, const TFileIdentity& read, bool unchangedToo, TFileIdentity* now) {
    struct stat st {};
    if (fstatat(parent.fd(), parent.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return ESTALE;
    const TFileIdentity current = IdentityOf(st);
    if (now) *now = current;
    const bool same = unchangedToo ? SameFileUnchanged(current, read)
                                   : current.device == read.device && current.inode == read.inode;
    if (!same) return ESTALE;
    return unlinkat(parent.fd(), parent.name.c_str(), 0) == 0 ? 0 : errno;
}

std::optional<TFileIdentity> PathIdentity(const std::string& path) {
    struct stat st {};
    if (!StatBelowRoot(path, st)) return std::nullopt;
    return IdentityOf(st);
}

std::optional<TFileIdentity> DescriptorIdentity(int fd) {
    struct stat st {};
    if (fstat(fd, &st) != 0) return std::nullopt;
    return IdentityOf(st);
}

bool SameFileUnchanged(const TFileIdentity& a, const TFileIdentity& b) {
    return a.device == b.device && a.inode == b.inode && a.size == b.size &&
           a.modified.tv_sec == b.modified.tv_sec && a.modified.tv_nsec == b.modified.tv_nsec;
}

bool SyncFolder(const std::string& folder) {
    const std::string path = folder.empty() ? std::string(".") : folder;
    if (const int err = FileCallHookAnswer("fsyncdir", path)) {
        errno = err;
        return false;
    }
    TFileDescriptor fd(OpenFolderBelowRoot(path));
    return fd.get() >= 0 && fsync(fd.get()) == 0;
}

void SetFileCallHook(TFileCallHook hook) {
    const std::lock_guard<std::recursive_mutex> guard(CallHookLock());
    CallHook() = std::move(hook);
}

int FileCallHookAnswer(const std::string& call, const std::string& path) {
    const std::lock_guard<std::recursive_mutex> guard(CallHookLock());
    return CallHook() ? CallHook()(call, path) : 0;
}

bool OnCopyOnWriteFileSystem(const std::string& path) {
    std::optional<long> type;
    if (TypeHook()) {
        type = TypeHook()(path);
    } else {
        struct statfs fs {};
        if (statfs(path.c_str(), &fs) == 0) type = static_cast<long>(static_cast<unsigned long>(fs.f_type) & 0xFFFFFFFFul);
    }
    return type && (*type == BtrfsMagic || *type == ZfsMagic || *type == BcachefsMagic);
}

void SetFileSystemTypeHook(TFileSystemTypeHook hook) { TypeHook() = std::move(hook); }

void AtomicWriteFile(const std::string& path, const std::string& data, unsigned mode) {
    std::string temp = path + ".tmp-XXXXXX";
    TFileDescriptor fd(mkstemp(temp.data()));
    if (fd.get() < 0) throw EFileError(CannotCreateMessage(path, errno));
    auto fail = [&](int err) {
        unlink(temp.c_str());
        throw EFileError(CannotCreateMessage(path, err));
    };
    if (fchmod(fd.get(), mode) != 0) fail(errno);
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = write(fd.get(), data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            fail(errno);
        }
        done += static_cast<size_t>(n);
    }
    if (fsync(fd.get()) != 0) fail(errno);
    if (close(fd.release()) != 0) fail(errno);
    if (rename(temp.c_str(), path.c_str()) != 0) fail(errno);
}

std::string ReadWholeFile(const std::string& path) {
    TFileDescriptor fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) throw EFileError(CannotOpenMessage(path, errno));
    // Read straight into the result, and wipe every buffer it outgrows: key files and base.dat
    // (the main password) come through here, and no copy of them may stay in freed memory.
    struct stat st {};
    const bool sized = fstat(fd.get(), &st) == 0 && S_ISREG(st.st_mode);
    std::string data(sized ? static_cast<size_t>(st.st_size) + 1 : 65536, '\0');
    size_t size = 0;
    for (;;) {
        if (size == data.size()) {
            std::string grown(data.size() * 2, '\0');
            std::memcpy(grown.data(), data.data(), size);
            WipeString(data);
            data.swap(grown);
        }
        ssize_t n = read(fd.get(), data.data() + size, data.size() - size);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int err = errno;
            WipeString(data);
            throw EFileError(CannotOpenMessage(path, err));
        }
        if (n == 0) break;
        size += static_cast<size_t>(n);
    }
    WipeBytes(data.data() + size, data.size() - size);
    data.resize(size);  // shrinking keeps the buffer
    return data;
}

}  // namespace tellvane
