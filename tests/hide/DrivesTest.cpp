#include "hide/Drives.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace tellvane {
namespace {

using test::TempDir;
using test::WriteText;

std::vector<std::string> MountPoints(const std::vector<TDrive>& drives) {
    std::vector<std::string> out;
    for (const auto& d : drives) out.push_back(d.MountPoint);
    return out;
}

const TDriveReadyTest AllReady = [](const std::string&) { return true; };

// A /proc/self/mounts of a desktop with the usual pseudo file systems around the real volumes.
const char* const DesktopMounts =
    "sysfs /sys sysfs rw,nosuid,nodev,noexec,relatime 0 0\n"
    "proc /proc proc rw,nosuid,nodev,noexec,relatime 0 0\n"
    "udev /dev devtmpfs rw,nosuid,relatime,size=8000000k 0 0\n"
    "devpts /dev/pts devpts rw,nosuid,noexec,relatime 0 0\n"
    "tmpfs /run tmpfs rw,nosuid,nodev,noexec,relatime 0 0\n"
    "/dev/nvme0n1p2 /boot ext4 rw,relatime 0 0\n"
    "/dev/nvme0n1p3 / ext4 rw,relatime,errors=remount-ro 0 0\n"
    "securityfs /sys/kernel/security securityfs rw 0 0\n"
    "cgroup2 /sys/fs/cgroup cgroup2 rw 0 0\n"
    "/dev/loop3 /snap/core20/1234 squashfs ro,nodev,relatime 0 0\n"
    "gvfsd-fuse /run/user/1000/gvfs fuse.gvfsd-fuse rw 0 0\n"
    "/dev/sdb1 /media/anna/USB\\040STICK vfat rw,nosuid,nodev 0 0\n"
    "/dev/sr0 /media/anna/CDROM iso9660 ro 0 0\n"
    "server:/export /mnt/nfs nfs4 rw 0 0\n"
    "//nas/share /mnt/smb cifs rw 0 0\n"
    "tmpfs /mnt/ram tmpfs rw 0 0\n"
    "tmpfs /tmp tmpfs rw 0 0\n"
    "/dev/sdc /media/anna/dvd udf ro 0 0\n"
    "/dev/mmcblk0p1 /media/anna/SD exfat rw 0 0\n"
    "anna@host:/home /home/anna/remote fuse.sshfs rw 0 0\n";

class DrivesTest : public ::testing::Test {
protected:
    void SetUp() override {
        // sdb is removable, nvme0n1 fixed, mmcblk0 removable; sdc has no entry at all.
        for (auto [disk, flag] : {std::pair{"sdb", "1\n"}, {"nvme0n1", "0\n"}, {"mmcblk0", "1\n"}}) {
            std::string folder = sys.file(disk);
            mkdir(folder.c_str(), 0755);
            WriteText(folder + "/removable", flag);
        }
    }
    TempDir sys;
};

TEST_F(DrivesTest, RootComesFirstThenRealStorageInMountOrder) {
    auto drives = ParseDrives(DesktopMounts, AllReady, sys.path().string());
    EXPECT_EQ(MountPoints(drives),
              (std::vector<std::string>{"/", "/boot", "/media/anna/USB STICK", "/media/anna/CDROM", "/mnt/nfs",
                                        "/mnt/smb", "/mnt/ram", "/media/anna/dvd", "/media/anna/SD",
                                        "/home/anna/remote"}));
    EXPECT_EQ(drives[0].Device, "/dev/nvme0n1p3");
    EXPECT_EQ(drives[0].FileSystem, "ext4");
    EXPECT_EQ(drives[0].Root(), "/");
    EXPECT_EQ(drives[2].Root(), "/media/anna/USB STICK/");
}

TEST_F(DrivesTest, ImagesFollowTheKindOfDrive) {
    auto drives = ParseDrives(DesktopMounts, AllReady, sys.path().string());
    auto image = [&](const std::string& mountPoint) {
        const TDrive* d = FindDriveByName(drives, mountPoint);
        return d ? d->ImageIndex : -1;
    };
    EXPECT_EQ(image("/"), DiskDriveImage);
    EXPECT_EQ(image("/boot"), DiskDriveImage);                      // partition of a fixed disk
    EXPECT_EQ(image("/media/anna/USB STICK"), RemovableDriveImage);  // sdb1 -> sdb
    EXPECT_EQ(image("/media/anna/SD"), RemovableDriveImage);         // mmcblk0p1 -> mmcblk0
    EXPECT_EQ(image("/media/anna/CDROM"), OpticalDriveImage);       // sr0
    EXPECT_EQ(image("/media/anna/dvd"), OpticalDriveImage);         // udf
    EXPECT_EQ(image("/mnt/nfs"), DiskDriveImage);
    EXPECT_EQ(image("/mnt/ram"), DiskDriveImage);
}

TEST_F(DrivesTest, DrivesThatAreNotReadyAreLeftOut) {
    auto drives = ParseDrives(DesktopMounts, [](const std::string& mp) { return mp.find("/mnt/") != 0; },
                              sys.path().string());
    for (const auto& d : drives) EXPECT_NE(d.MountPoint.rfind("/mnt/", 0), 0u) << d.MountPoint;
    EXPECT_EQ(drives.size(), 7u);

    TempDir dir;
    EXPECT_TRUE(IsDriveReady(dir.path().string()));
    EXPECT_FALSE(IsDriveReady(dir.file("absent")));
    WriteText(dir.file("file"), "x");
    // A file mounted over a file (containers do it for /etc/hosts) is no drive.
    EXPECT_FALSE(IsDriveReady(dir.file("file")));
}

TEST_F(DrivesTest, AMountPointMountedTwiceIsListedOnceWithTheLaterMount) {
    auto drives = ParseDrives("/dev/sda1 /data ext4 rw 0 0\n/dev/sdb1 / ext4 rw 0 0\n/dev/sr0 /data iso9660 ro 0 0\n",
                              AllReady, sys.path().string());
    ASSERT_EQ(MountPoints(drives), (std::vector<std::string>{"/", "/data"}));
    EXPECT_EQ(drives[1].Device, "/dev/sr0");
    EXPECT_EQ(drives[1].ImageIndex, OpticalDriveImage);
}

TEST_F(DrivesTest, MalformedLinesAreSkipped) {
    auto drives = ParseDrives("\n   \nonly-two-fields /x\n/dev/sda1 relative ext4 rw 0 0\n"
                              "/dev/sda2\t/tabs\text4 rw 0 0\r\n/dev/sda3 /odd\\ ext4 rw 0 0",
                              AllReady, sys.path().string());
    EXPECT_EQ(MountPoints(drives), (std::vector<std::string>{"/tabs", "/odd\\"}));
}

TEST_F(DrivesTest, FindDriveByNameTakesTheMountPointWithOrWithoutItsSlash) {
    auto drives = ParseDrives(DesktopMounts, AllReady, sys.path().string());
    ASSERT_NE(FindDriveByName(drives, "/media/anna/SD"), nullptr);
    EXPECT_EQ(FindDriveByName(drives, "/media/anna/SD/")->MountPoint, "/media/anna/SD");
    EXPECT_EQ(FindDriveByName(drives, "/media/anna/SD//"), nullptr);
    EXPECT_EQ(FindDriveByName(drives, "/media/anna/sd"), nullptr);
    EXPECT_EQ(FindDriveByName(drives, "/media/anna"), nullptr);
    EXPECT_EQ(FindDriveByName(drives, "/tmp"), nullptr);  // tmpfs outside the media folders
    EXPECT_NE(FindDriveByName(drives, "/"), nullptr);
}

TEST_F(DrivesTest, ListDrivesReadsTheMountsFileAndChecksReadiness) {
    TempDir dir;
    const std::string vol = dir.file("vol");
    mkdir(vol.c_str(), 0755);
    WriteText(dir.file("mounts"), "/dev/root / ext4 rw 0 0\n/dev/sdb1 " + vol + " vfat rw 0 0\n/dev/sdb2 " +
                                      dir.file("gone") + " vfat rw 0 0\n");
    SetMountsFileName(dir.file("mounts"));
    SetSysBlockFolder(sys.path().string());
    auto drives = ListDrives();
    SetMountsFileName({});
    SetSysBlockFolder({});
    ASSERT_EQ(MountPoints(drives), (std::vector<std::string>{"/", vol}));
    EXPECT_EQ(drives[1].ImageIndex, RemovableDriveImage);

    SetMountsFileName(dir.file("no such file"));
    EXPECT_TRUE(ListDrives().empty());
    SetMountsFileName({});
    // The real system always has its root.
    auto real = ListDrives();
    ASSERT_FALSE(real.empty());
    EXPECT_EQ(real[0].MountPoint, "/");
}

}  // namespace
}  // namespace tellvane
