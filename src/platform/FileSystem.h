#pragma once
// File-system facilities: enumeration with attributes, existence, sizes, folders, deletion,
// atomic whole-file replacement, and the file errors the user sees.
#include <sys/types.h>

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tellvane {

struct TParentFolder;  // platform/FolderWalk.h

// A failure of the file layer; the message is the user's text, e.g. "Cannot open file "x". Error 2: ...".
class EFileError : public std::runtime_error {
public:
    explicit EFileError(const std::string& message, int code = 0) : std::runtime_error(message), Code(code) {}
    int Code;  // the errno value behind it, when known; else 0
};

// How the user learns that a file was skipped: in the run's summary at its end, or also at once
// (a box the user answers before the run goes on).
enum class TSkipNotice { InSummary, AtOnce };

// A failure that concerns one entry only: the run reports it, leaves the entry as it was and goes
// on with the next one. Every kind of skipped file is one of these.
class EFileSkipped : public EFileError {
public:
    explicit EFileSkipped(const std::string& message, int code = 0) : EFileError(message, code) {}
    EFileSkipped(const std::string& message, TSkipNotice notice) : EFileError(message), Notice(notice) {}
    TSkipNotice Notice = TSkipNotice::InSummary;
};

// What a path names, seen without following a link and without opening it.
enum class TEntryKind { Missing, Regular, Directory, Symlink, Special };

// Thrown where content must be read or written but the path is not a regular file: a link
// (dangling or not), a folder, a pipe, a socket or a device. Never opened for content.
class ENotRegularFile : public EFileSkipped {
public:
    ENotRegularFile(const std::string& path, TEntryKind kind);
    const std::string Path;
    const TEntryKind Kind;
};

struct DirEntry {
    std::string name;        // name only
    bool isDirectory = false;
    bool isSymlink = false;  // the entry itself is a symbolic link (never followed)
    bool readOnly = false;   // a file without any write permission bit
    int64_t size = 0;        // bytes of a regular file, 0 otherwise
};

// Every entry of FOLDER except "." and "..", in the order the system gives them.
// Throws EFileError (with the errno value as Code) when the folder cannot be read.
std::vector<DirEntry> ListDirectory(const std::string& folder);

bool FileExists(const std::string& path);       // a regular file (a link is not followed)
bool DirectoryExists(const std::string& path);  // a folder (a link to a folder counts)
bool PathExists(const std::string& path);       // anything, links included
bool IsSymlink(const std::string& path);
TEntryKind GetEntryKind(const std::string& path);
// Opens PATH for content with ACCESSFLAGS (O_RDONLY or O_RDWR) without blocking and without
// following a link: the type is checked before opening and again on the descriptor itself, so a
// pipe swapped in meanwhile is never waited on. Throws ENotRegularFile for anything but a regular
// file, EFileError "Cannot open file "%s". %s" when it cannot be opened. The descriptor blocks
// as usual afterwards.
// PATH is reached below the part the user named without following a link (platform/FolderWalk.h);
// a link met on the way counts as a link named PATH.
int OpenRegularFile(const std::string& path, int accessFlags);
// The same for the name PARENT holds (PATH names it in messages).
int OpenRegularFileIn(const TParentFolder& parent, const std::string& path, int accessFlags);
// Size of a file in bytes (a link counts 0, as it is never followed), or -1 when it cannot be read.
int64_t GetFileSize(const std::string& path);
// Creates FOLDER and every missing parent with MODE; true when it exists afterwards.
bool ForceDirectories(const std::string& folder, unsigned mode = 0755);
// Removes a file (or a link) through its parent's descriptor; false on failure.
bool DeleteFile(const std::string& path);
// Writes DATA to PATH through a temporary file beside it, flushed and renamed over PATH, with MODE.
// Throws EFileError with "Cannot create file "%s". %s" on failure; PATH is left as it was then.
void AtomicWriteFile(const std::string& path, const std::string& data, unsigned mode = 0600);
// Whole content of a file; throws EFileError "Cannot open file "%s". %s".
std::string ReadWholeFile(const std::string& path);

// Which file a path names and how it looked: enough to tell whether it is still the very file that
// was read, unchanged.
struct TFileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    int64_t size = 0;
    timespec modified{};
    nlink_t links = 1;
    mode_t mode = 0;
    uid_t owner = 0;
    gid_t group = 0;
};
// The identity of what PATH names (a final link is not followed); nullopt when it cannot be read.
std::optional<TFileIdentity> PathIdentity(const std::string& path);
// The identity of the open file FD; nullopt when it cannot be read.
std::optional<TFileIdentity> DescriptorIdentity(int fd);
// Same device, inode, size and modification time.
bool SameFileUnchanged(const TFileIdentity& a, const TFileIdentity& b);

// Removes PATH through its parent's descriptor only while the name still holds the file READ
// (same device and inode; with UNCHANGEDTOO also the same size and modification time). Returns 0,
// ESTALE when the name holds something else (or a link stands in the way), or an errno value.
// NOW receives what the name held.
int DeleteFileIfSame(const std::string& path, const TFileIdentity& read, bool unchangedToo, TFileIdentity* now = nullptr);
int DeleteFileIfSameIn(const TParentFolder& parent, const TFileIdentity& read, bool unchangedToo,
                       TFileIdentity* now = nullptr);

// Flushes FOLDER's entries (a rename or a new name in it) to the device; false on failure.
bool SyncFolder(const std::string& folder);

// A seam for tests: asked before each call that orders an output before its source's deletion
// ("fsync" of a file, "rename", "fsyncdir", "unlink"), and before a file or item below a named
// folder is opened ("open"), with the path it takes; an answer other than 0
// makes the call fail with that errno. The program never installs one.
using TFileCallHook = std::function<int(const std::string& call, const std::string& path)>;
void SetFileCallHook(TFileCallHook hook);
// 0 without a hook, else the hook's answer.
int FileCallHookAnswer(const std::string& call, const std::string& path);

// True when PATH lies on a copy-on-write file system (btrfs, ZFS, bcachefs), where overwriting a
// file in place writes new blocks and leaves the old ones on the device.
bool OnCopyOnWriteFileSystem(const std::string& path);
// A seam for tests: answers in place of statfs's file-system type (nullopt: cannot tell).
using TFileSystemTypeHook = std::function<std::optional<long>(const std::string& path)>;
void SetFileSystemTypeHook(TFileSystemTypeHook hook);

// Opens the item at PATH itself with O_PATH | O_NOFOLLOW: a symbolic link opens as the link, never
// as its target. The descriptor, or -1 with errno set.
int OpenItemNoFollow(const std::string& path);
// The same for the name PARENT holds (PARENT's own folder when the name is empty).
int OpenItemIn(const TParentFolder& parent);
// Sets the permission bits of the file open as FD, an O_PATH descriptor included: the change
// reaches the inode FD names, whatever its path has become since. A link is refused (ELOOP).
// Returns 0 or an errno value.
int ChangeModeOfOpened(int fd, unsigned mode);

// "Cannot open file "PATH". Error N: text" for errno value ERR.
std::string CannotOpenMessage(const std::string& path, int err);
// "Cannot create file "PATH". Error N: text" for errno value ERR.
std::string CannotCreateMessage(const std::string& path, int err);
// "Cannot write file "PATH". Error N: text" for errno value ERR.
std::string CannotWriteMessage(const std::string& path, int err);

}  // namespace tellvane
