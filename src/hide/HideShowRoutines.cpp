#include "hide/HideShowRoutines.h"

#include <cerrno>
#include <sys/stat.h>

#include <functional>
#include <vector>

#include "base/Logger.h"
#include "hide/DotHiddenFile.h"
#include "hide/HiddenConfig.h"
#include "hide/HiddenVolumes.h"
#include "platform/FileDescriptor.h"
#include "platform/FileSystem.h"
#include "platform/FolderWalk.h"
#include "platform/Paths.h"
#include "platform/SystemError.h"

namespace tellvane {
namespace {

constexpr mode_t AllWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;

// Splits PATH (a trailing "/" ignored) into its folder and its name; false for the root or "".
bool SplitItemPath(const std::string& path, std::string& itemPath, std::string& folder, std::string& name) {
    itemPath = ExcludeTrailingPathDelimiter(path);
    if (itemPath.empty() || itemPath == "/") return false;
    folder = ExtractFilePath(itemPath);
    name = ExtractFileName(itemPath);
    return true;
}

std::function<void(const std::string&)>& BeforeModeChangeHook() {
    static std::function<void(const std::string&)> hook;
    return hook;
}

// Sets the write bits of the regular file open as ITEM; folders, links and devices keep their
// permissions. The change goes through the descriptor, so a path swapped since ITEM was opened
// (for a link to someone else's file) is never changed.
int SetWriteBits(int item, const struct stat& st, bool writable) {
    if (!S_ISREG(st.st_mode)) return 0;
    mode_t mode = st.st_mode & 07777;
    mode_t wanted = writable ? (mode | S_IWUSR) : (mode & ~AllWriteBits);
    if (wanted == mode) return 0;
    return ChangeModeOfOpened(item, wanted);
}

// The status of ITEM, opened once without following a link; errno when it could not be opened.
int StatusOfOpened(const TFileDescriptor& item, struct stat& st) {
    if (!item.valid()) return errno;
    return fstat(item.get(), &st) == 0 ? 0 : errno;
}

// The item as its parent folder's descriptor holds it, opened without following a link.
TFileDescriptor OpenItem(const TParentFolder& parent) { return TFileDescriptor(OpenItemIn(parent)); }

// ITEMPATH's folder, reached without following a link below the named part.
bool OpenItemFolder(const std::string& itemPath, TParentFolder& parent) {
    if (const int err = FileCallHookAnswer("open", itemPath)) {
        errno = err;
        return false;
    }
    return OpenParentFolder(itemPath, parent);
}

int HideItem(const std::string& path) {
    std::string itemPath, folder, name;
    if (!SplitItemPath(path, itemPath, folder, name)) return EINVAL;
    TParentFolder parent;
    if (!OpenItemFolder(itemPath, parent)) return errno;
    TFileDescriptor item = OpenItem(parent);
    struct stat st {};
    if (int err = StatusOfOpened(item, st)) return err;
    if (int err = ListInDotHiddenAt(parent.fd(), name)) return err;
    if (BeforeModeChangeHook()) BeforeModeChangeHook()(itemPath);
    return SetWriteBits(item.get(), st, false);
}

// KEEP: the failure leaves the name in ".hidden" (the item is still hidden), not only its mode.
int UnhideItem(const std::string& path, bool& keep) {
    keep = true;
    std::string itemPath, folder, name;
    if (!SplitItemPath(path, itemPath, folder, name)) return EINVAL;
    TParentFolder parent;
    if (!OpenItemFolder(itemPath, parent)) {
        // A folder that is gone hides nothing any more; anything else in the way leaves it hidden.
        keep = errno != ENOENT;
        return errno;
    }
    // The name goes from ".hidden" even when the item itself is gone, so that a later item of the
    // same name is not hidden by a stale entry.
    if (int err = UnlistFromDotHiddenAt(parent.fd(), name)) return err;
    keep = false;
    TFileDescriptor item = OpenItem(parent);
    struct stat st {};
    if (int err = StatusOfOpened(item, st)) return err;
    if (BeforeModeChangeHook()) BeforeModeChangeHook()(itemPath);
    return SetWriteBits(item.get(), st, true);
}

void LogFailure(int err, const char* source) { Log("SetFileAttributes failed " + FormatSystemError(err), source); }

// The item is recorded before the disk changes: a failed save leaves it as it was, and an item
// hidden on disk is always in the store, so that it can be shown again.
int HideAndRecord(const std::string& path, TItemType type) {
    HiddenItemsStore().AddItem(type, path);  // refuses a path it could not give back unchanged
    return CoreHide(path);
}

// Shown first, then dropped; when the drop cannot be saved the item is hidden again, so that it
// stays hidden and listed rather than hidden where nobody can find it. An item still hidden
// stays listed too.
int ShowAndDrop(const std::string& path, int index) {
    THiddenConfig& store = HiddenItemsStore();
    store.GetItem(index);  // a bad index raises before anything changes
    if (int err = CoreUnhide(path)) return err;
    try {
        store.DeleteItem(index);
    } catch (...) {
        CoreHide(path);
        throw;
    }
    return 0;
}

// Puts the list of hidden volumes back after a failed save; the save's error is the one reported.
void RestoreHiddenVolumes(const std::vector<std::string>& volumes) {
    try {
        WriteHiddenVolumes(volumes);
    } catch (const std::exception& e) {
        Log(e.what(), "CoreHide");
    }
}

}  // namespace

int CoreHide(const std::string& path) {
    const int err = HideItem(path);
    if (err) LogFailure(err, "CoreHide");
    return err;
}

int CoreUnhide(const std::string& path) {
    bool keep = false;
    const int err = UnhideItem(path, keep);
    if (err) LogFailure(err, "CoreUnhide");
    return keep ? err : 0;
}

int HideFile(const std::string& path) { return HideAndRecord(path, TItemType::itFile); }

int HideFolder(const std::string& path) { return HideAndRecord(path, TItemType::itFolder); }

int HideDrive(const std::string& path) {
    THiddenConfig& store = HiddenItemsStore();
    THiddenConfig::CheckStorablePath(path);
    const std::string mountPoint = VolumeMountPoint(path);
    const std::vector<std::string> volumes = ReadHiddenVolumes();
    WriteHiddenVolumes(WithVolume(volumes, mountPoint));
    try {
        store.AddItem(TItemType::itDrive, path);
    } catch (...) {
        RestoreHiddenVolumes(volumes);
        throw;
    }
    return CoreHide(mountPoint);
}

int ShowFile(const std::string& path, int index) { return ShowAndDrop(path, index); }

int ShowFolder(const std::string& path, int index) { return ShowAndDrop(path, index); }

int ShowDrive(const std::string& path, int index) {
    THiddenConfig& store = HiddenItemsStore();
    store.GetItem(index);
    const std::string mountPoint = VolumeMountPoint(path);
    const std::vector<std::string> volumes = ReadHiddenVolumes();
    WriteHiddenVolumes(WithoutVolume(volumes, mountPoint));
    if (int err = CoreUnhide(mountPoint)) {
        RestoreHiddenVolumes(volumes);
        return err;
    }
    try {
        store.DeleteItem(index);
    } catch (...) {
        CoreHide(mountPoint);
        RestoreHiddenVolumes(volumes);
        throw;
    }
    return 0;
}

void SetBeforeModeChangeHook(std::function<void(const std::string& itemPath)> hook) {
    BeforeModeChangeHook() = std::move(hook);
}

uint32_t DriveBit(const std::string& path) {
    if (path.empty()) return 0;
    char c = path[0];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c < 'A' || c > 'Z') return 0;
    return uint32_t{1} << (c - 'A');
}

uint32_t NoDrivesAfterHide(uint32_t noDrives, const std::string& path) { return noDrives | DriveBit(path); }

uint32_t NoDrivesAfterShow(uint32_t noDrives, const std::string& path) { return noDrives & ~DriveBit(path); }

}  // namespace tellvane
