#include "hide/HideShowRoutines.h"

#include <cerrno>
#include <sys/stat.h>

#include "app/Logger.h"
#include "hide/DotHiddenFile.h"
#include "hide/HiddenConfig.h"
#include "hide/HiddenVolumes.h"
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

// Sets the write bits of a regular file; folders, links and devices keep their permissions.
int SetWriteBits(const std::string& itemPath, const struct stat& st, bool writable) {
    if (!S_ISREG(st.st_mode)) return 0;
    mode_t mode = st.st_mode & 07777;
    mode_t wanted = writable ? (mode | S_IWUSR) : (mode & ~AllWriteBits);
    if (wanted == mode) return 0;
    return chmod(itemPath.c_str(), wanted) == 0 ? 0 : errno;
}

int HideItem(const std::string& path) {
    std::string itemPath, folder, name;
    if (!SplitItemPath(path, itemPath, folder, name)) return EINVAL;
    struct stat st {};
    if (lstat(itemPath.c_str(), &st) != 0) return errno;
    if (int err = ListInDotHidden(folder, name)) return err;
    return SetWriteBits(itemPath, st, false);
}

int UnhideItem(const std::string& path) {
    std::string itemPath, folder, name;
    if (!SplitItemPath(path, itemPath, folder, name)) return EINVAL;
    // The name goes from ".hidden" even when the item itself is gone, so that a later item of the
    // same name is not hidden by a stale entry.
    if (int err = UnlistFromDotHidden(folder, name)) return err;
    struct stat st {};
    if (lstat(itemPath.c_str(), &st) != 0) return errno;
    return SetWriteBits(itemPath, st, true);
}

void LogFailure(int err, const char* source) { Log("SetFileAttributes failed " + FormatSystemError(err), source); }

void HideAndRecord(const std::string& path, TItemType type) {
    THiddenConfig& store = HiddenItemsStore();
    // Nothing is hidden that the store could not give back unchanged.
    THiddenConfig::CheckStorablePath(path);
    CoreHide(path);
    store.AddItem(type, path);
}

void ShowAndDrop(const std::string& path, int index) {
    THiddenConfig& store = HiddenItemsStore();
    store.GetItem(index);  // a bad index raises before anything changes
    CoreUnhide(path);
    store.DeleteItem(index);
}

}  // namespace

void CoreHide(const std::string& path) {
    if (int err = HideItem(path)) LogFailure(err, "CoreHide");
}

void CoreUnhide(const std::string& path) {
    if (int err = UnhideItem(path)) LogFailure(err, "CoreUnhide");
}

void HideFile(const std::string& path) { HideAndRecord(path, TItemType::itFile); }

void HideFolder(const std::string& path) { HideAndRecord(path, TItemType::itFolder); }

void HideDrive(const std::string& path) {
    THiddenConfig& store = HiddenItemsStore();
    THiddenConfig::CheckStorablePath(path);
    const std::string mountPoint = VolumeMountPoint(path);
    WriteHiddenVolumes(WithVolume(ReadHiddenVolumes(), mountPoint));
    CoreHide(mountPoint);
    store.AddItem(TItemType::itDrive, path);
}

void ShowFile(const std::string& path, int index) { ShowAndDrop(path, index); }

void ShowFolder(const std::string& path, int index) { ShowAndDrop(path, index); }

void ShowDrive(const std::string& path, int index) {
    THiddenConfig& store = HiddenItemsStore();
    store.GetItem(index);
    const std::string mountPoint = VolumeMountPoint(path);
    WriteHiddenVolumes(WithoutVolume(ReadHiddenVolumes(), mountPoint));
    CoreUnhide(mountPoint);
    store.DeleteItem(index);
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
