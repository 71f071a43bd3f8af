#pragma once
// The volumes a user can pick whole: the mounted volumes of /proc/self/mounts, the root first,
// then the real storage (block devices, network shares, tmpfs under /media, /mnt and /run/media)
// in mount order; pseudo file systems are left out, and so is a volume that is not ready (its
// mount point is not a folder that statvfs can read).
#include <functional>
#include <string>
#include <vector>

namespace tellvane {

// Tree images of a drive node.
inline constexpr int DiskDriveImage = 4;
inline constexpr int OpticalDriveImage = 5;
inline constexpr int RemovableDriveImage = 6;

struct TDrive {
    std::string MountPoint;  // as mounted: no trailing "/" except for the root "/"
    std::string Device;      // the mount's source
    std::string FileSystem;
    int ImageIndex = DiskDriveImage;

    // The drive's root: the mount point with a trailing "/".
    std::string Root() const;
};

using TDriveReadyTest = std::function<bool(const std::string& mountPoint)>;

// The default readiness test: MOUNTPOINT is a folder and statvfs succeeds on it.
bool IsDriveReady(const std::string& mountPoint);

// The drives of a mounts-file text (the format of /proc/self/mounts). SYSBLOCKFOLDER is where
// "<disk>/removable" is read (normally "/sys/block/").
std::vector<TDrive> ParseDrives(const std::string& mountsText, const TDriveReadyTest& isReady,
                                const std::string& sysBlockFolder);

// The drives of the mounts file (SetMountsFileName), with the default readiness test.
// An unreadable mounts file gives an empty list.
std::vector<TDrive> ListDrives();

// Tests point these elsewhere; an empty text restores "/proc/self/mounts" and "/sys/block/".
void SetMountsFileName(const std::string& fileName);
void SetSysBlockFolder(const std::string& folder);

// The drive whose mount point NAME names, with or without a trailing "/"; null when none does.
const TDrive* FindDriveByName(const std::vector<TDrive>& drives, const std::string& name);

}  // namespace tellvane
