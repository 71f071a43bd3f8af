#include "hide/Drives.h"

#include <cctype>
#include <cstdlib>
#include <sys/stat.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <mutex>
#include <set>

#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace tellvane {
namespace {

const char* const DefaultMountsFile = "/proc/self/mounts";
const char* const DefaultSysBlockFolder = "/sys/block/";

std::mutex g_sourcesLock;
std::string g_mountsFile = DefaultMountsFile;
std::string g_sysBlockFolder = DefaultSysBlockFolder;

const std::set<std::string> NetworkFileSystems = {
    "nfs", "nfs4", "cifs", "smb3", "smbfs", "ncpfs", "afs", "ceph", "glusterfs", "davfs",
    "fuse.sshfs", "fuse.rclone", "fuse.davfs2", "fuse.glusterfs", "9p"};

// File systems that look like storage but only back the system's own machinery.
const std::set<std::string> PseudoFileSystems = {
    "proc", "sysfs", "devtmpfs", "devpts", "cgroup", "cgroup2", "securityfs", "pstore", "debugfs",
    "tracefs", "configfs", "fusectl", "mqueue", "hugetlbfs", "bpf", "autofs", "binfmt_misc", "efivarfs",
    "rpc_pipefs", "nsfs", "selinuxfs", "ramfs", "overlay", "squashfs", "fuse.gvfsd-fuse", "fuse.portal"};

bool StartsWith(const std::string& s, const std::string& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

bool UnderMediaFolder(const std::string& mountPoint) {
    return StartsWith(mountPoint, "/media/") || StartsWith(mountPoint, "/mnt/") ||
           StartsWith(mountPoint, "/run/media/");
}

bool IsOctal(char c) { return c >= '0' && c <= '7'; }

// Fields of the mounts file write blank, tab, line break and backslash as "\ooo".
std::string Unescape(const std::string& field) {
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && IsOctal(field[i + 1]) && IsOctal(field[i + 2]) && IsOctal(field[i + 3])) {
            out += static_cast<char>(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) | (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

std::vector<std::string> SplitFields(const std::string& line) {
    std::vector<std::string> fields;
    size_t pos = 0;
    while (pos < line.size()) {
        size_t start = line.find_first_not_of(" \t", pos);
        if (start == std::string::npos) break;
        size_t end = line.find_first_of(" \t", start);
        if (end == std::string::npos) end = line.size();
        fields.push_back(line.substr(start, end - start));
        pos = end;
    }
    return fields;
}

bool IsStorage(const std::string& device, const std::string& fileSystem, const std::string& mountPoint) {
    if (mountPoint == "/") return true;
    if (PseudoFileSystems.count(fileSystem)) return false;
    if (NetworkFileSystems.count(fileSystem)) return true;
    if (fileSystem == "tmpfs") return UnderMediaFolder(mountPoint);
    return StartsWith(device, "/dev/");
}

std::string ReadFirstLine(const std::string& path) {
    try {
        std::string text = ReadWholeFile(path);
        return text.substr(0, text.find('\n'));
    } catch (const EFileError&) {
        return {};
    }
}

// The whole disk of a partition's kernel name: sdb1 -> sdb, nvme0n1p2 -> nvme0n1, mmcblk0p1 -> mmcblk0.
std::string DiskOfPartition(const std::string& name) {
    size_t end = name.size();
    while (end > 0 && std::isdigit(static_cast<unsigned char>(name[end - 1]))) --end;
    if (end == name.size() || end == 0) return name;
    if (name[end - 1] == 'p' && end >= 2 && std::isdigit(static_cast<unsigned char>(name[end - 2])))
        return name.substr(0, end - 1);
    return name.substr(0, end);
}

int ImageOf(const std::string& device, const std::string& fileSystem, const std::string& sysBlockFolder) {
    if (!StartsWith(device, "/dev/")) return DiskDriveImage;
    // /dev/disk/by-label/... and /dev/mapper/... are links to the kernel's device name.
    std::string resolved = device;
    if (char* real = realpath(device.c_str(), nullptr)) {
        resolved = real;
        std::free(real);
    }
    const std::string name = ExtractFileName(resolved);
    if (StartsWith(name, "sr") || fileSystem == "iso9660" || fileSystem == "udf") return OpticalDriveImage;
    const std::string folder = IncludeTrailingPathDelimiter(sysBlockFolder);
    for (const std::string& disk : {name, DiskOfPartition(name)}) {
        std::string flag = ReadFirstLine(folder + disk + "/removable");
        if (!flag.empty()) return flag == "1" ? RemovableDriveImage : DiskDriveImage;
    }
    return DiskDriveImage;
}

}  // namespace

std::string TDrive::Root() const { return IncludeTrailingPathDelimiter(MountPoint); }

bool IsDriveReady(const std::string& mountPoint) {
    struct stat st {};
    struct statvfs vfs {};
    return stat(mountPoint.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && statvfs(mountPoint.c_str(), &vfs) == 0;
}

std::vector<TDrive> ParseDrives(const std::string& mountsText, const TDriveReadyTest& isReady,
                                const std::string& sysBlockFolder) {
    std::vector<TDrive> mounts;
    size_t pos = 0;
    while (pos < mountsText.size()) {
        size_t end = mountsText.find('\n', pos);
        if (end == std::string::npos) end = mountsText.size();
        std::vector<std::string> fields = SplitFields(mountsText.substr(pos, end - pos));
        pos = end + 1;
        if (fields.size() < 3) continue;
        TDrive drive;
        drive.Device = Unescape(fields[0]);
        drive.MountPoint = Unescape(fields[1]);
        drive.FileSystem = fields[2];
        if (drive.MountPoint.empty() || drive.MountPoint[0] != '/') continue;
        if (drive.MountPoint.size() > 1 && drive.MountPoint.back() == '/')
            drive.MountPoint = ExcludeTrailingPathDelimiter(drive.MountPoint);
        // A later mount on the same point covers the earlier one: keep its place, take the new one.
        auto same = std::find_if(mounts.begin(), mounts.end(),
                                 [&](const TDrive& d) { return d.MountPoint == drive.MountPoint; });
        if (same != mounts.end())
            *same = drive;
        else
            mounts.push_back(drive);
    }
    std::stable_partition(mounts.begin(), mounts.end(), [](const TDrive& d) { return d.MountPoint == "/"; });

    std::vector<TDrive> drives;
    for (auto& d : mounts) {
        if (!IsStorage(d.Device, d.FileSystem, d.MountPoint)) continue;
        if (!isReady(d.MountPoint)) continue;
        d.ImageIndex = ImageOf(d.Device, d.FileSystem, sysBlockFolder);
        drives.push_back(std::move(d));
    }
    return drives;
}

std::vector<TDrive> ListDrives() {
    std::string mountsFile, sysBlockFolder;
    {
        std::lock_guard<std::mutex> lock(g_sourcesLock);
        mountsFile = g_mountsFile;
        sysBlockFolder = g_sysBlockFolder;
    }
    std::string text;
    try {
        text = ReadWholeFile(mountsFile);
    } catch (const EFileError&) {
        return {};
    }
    return ParseDrives(text, IsDriveReady, sysBlockFolder);
}

void SetMountsFileName(const std::string& fileName) {
    std::lock_guard<std::mutex> lock(g_sourcesLock);
    g_mountsFile = fileName.empty() ? DefaultMountsFile : fileName;
}

void SetSysBlockFolder(const std::string& folder) {
    std::lock_guard<std::mutex> lock(g_sourcesLock);
    g_sysBlockFolder = folder.empty() ? DefaultSysBlockFolder : folder;
}

const TDrive* FindDriveByName(const std::vector<TDrive>& drives, const std::string& name) {
    for (const auto& d : drives)
        if (name == d.MountPoint || name == d.Root()) return &d;
    return nullptr;
}

}  // namespace tellvane
