// Directory listing, atomic replacement, the data folder and the registry stand-in.
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "platform/AppFolders.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/StorageDevice.h"
#include <sys/sysmacros.h>
#include "support/TestSupport.h"

namespace tellvane {
namespace {

using test::TempDir;

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

TEST(FileSystem, ListingGivesEveryEntryWithItsAttributes) {
    TempDir dir;
    test::WriteText(dir.file("a.txt"), "12345");
    test::WriteText(dir.file(".hidden-one"), "");
    std::filesystem::create_directory(dir.path() / "sub");
    std::filesystem::create_directory_symlink(dir.path() / "sub", dir.path() / "link");
    chmod(dir.file("a.txt").c_str(), 0444);
    auto entries = ListDirectory(dir.path().string());
    ASSERT_EQ(entries.size(), 4u);
    for (const auto& e : entries) {
        if (e.name == "a.txt") {
            EXPECT_EQ(e.size, 5);
            EXPECT_TRUE(e.readOnly);
            EXPECT_FALSE(e.isDirectory);
        } else if (e.name == "link") {
            EXPECT_TRUE(e.isSymlink);
            EXPECT_TRUE(e.isDirectory);
        } else if (e.name == "sub") {
            EXPECT_TRUE(e.isDirectory);
            EXPECT_FALSE(e.isSymlink);
        } else {
            EXPECT_EQ(e.name, ".hidden-one");
        }
    }
    EXPECT_THROW(ListDirectory(dir.file("none")), EFileError);
    EXPECT_EQ(GetFileSize(dir.file("none")), -1);
}

TEST(FileSystem, AtomicWriteReplacesWholeWithOwnerOnlyMode) {
    TempDir dir;
    const std::string path = dir.file("base.dat");
    test::WriteText(path, "old");
    chmod(path.c_str(), 0644);
    AtomicWriteFile(path, "new content");
    EXPECT_EQ(test::ReadText(path), "new content");
    EXPECT_EQ(ModeOf(path), 0600u);
    // Nothing but the file itself is left behind.
    EXPECT_EQ(ListDirectory(dir.path().string()).size(), 1u);
}

TEST(FileSystem, AtomicWriteIntoMissingFolderFailsCleanly) {
    TempDir dir;
    try {
        AtomicWriteFile(dir.file("no/such/file"), "x");
        FAIL();
    } catch (const EFileError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot create file \"" + dir.file("no/such/file") + "\". Error", 0), 0u);
    }
}

// sysfs as the kernel lays it out: /sys/dev/block/MAJ:MIN links to the device's folder, a
// partition lies inside its disk's folder and only the disk has a queue.
TEST(StorageDevice, RotationalFlagOfTheDiskOrOfThePartitionsDisk) {
    TempDir sys;
    namespace fs = std::filesystem;
    const std::pair<const char*, const char*> disks[] = {{"ssd", "0\n"}, {"hdd", "1\n"}};
    for (const auto& [disk, flag] : disks) {
        fs::create_directories(sys.path() / "devices" / disk / "queue");
        fs::create_directories(sys.path() / "devices" / disk / (std::string(disk) + "1"));
        test::WriteText((sys.path() / "devices" / disk / "queue/rotational").string(), flag);
        test::WriteText((sys.path() / "devices" / disk / (std::string(disk) + "1") / "partition").string(), "1\n");
    }
    fs::create_directories(sys.path() / "devices/odd");  // no queue at all
    fs::create_directories(sys.path() / "dev/block");
    const std::pair<const char*, const char*> links[] = {
        {"8:0", "../../devices/ssd"}, {"8:1", "../../devices/ssd/ssd1"}, {"8:16", "../../devices/hdd"},
        {"8:17", "../../devices/hdd/hdd1"}, {"9:0", "../../devices/odd"}};
    for (const auto& [name, target] : links) fs::create_directory_symlink(target, sys.path() / "dev/block" / name);
    const std::string root = (sys.path() / "dev/block").string() + "/";
    const std::pair<dev_t, bool> cases[] = {{makedev(8, 0), true},  {makedev(8, 1), true}, {makedev(8, 16), false},
                                            {makedev(8, 17), false}, {makedev(9, 0), false}, {makedev(0, 42), false}};
    for (const auto& [device, flash] : cases)
        EXPECT_EQ(NonRotationalDevice(device, root), flash) << major(device) << ":" << minor(device);
    EXPECT_FALSE(OnNonRotationalDevice(sys.file("missing")));
}

TEST(AppFolders, DataFolderIsCreatedPrivateWithParents) {
    TempDir dir;
    const std::string saved = GetDataFolder();
    SetDataFolder(dir.file("x/y/Brevikon"));
    EXPECT_EQ(GetDataFolder(), dir.file("x/y/Brevikon") + "/");
    EXPECT_TRUE(DirectoryExists(GetDataFolder()));
    EXPECT_EQ(ModeOf(dir.file("x/y/Brevikon")), 0700u);
    setenv("XDG_CONFIG_HOME", dir.path().c_str(), 1);
    EXPECT_EQ(DefaultDataFolder(), dir.path().string() + "/Brevikon/");
    unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", "/home/ann", 1);
    EXPECT_EQ(DefaultDataFolder(), "/home/ann/.config/Brevikon/");
    SetDataFolder(saved.empty() ? dir.path().string() : saved);
    // The application folder is the executable's, with a trailing separator.
    EXPECT_EQ(GetAppFolder().back(), '/');
}

TEST(Registry, TypedValuesKeysAndSubtrees) {
    TempDir dir;
    TRegistry reg(dir.file("registry.ini"));
    const std::string root = "HKEY_CURRENT_USER";
    EXPECT_FALSE(reg.KeyExists(root, "Software\\Kalvessa\\Brevikon\\"));
    reg.CreateKey(root, "Software\\Kalvessa\\Brevikon\\");
    EXPECT_TRUE(reg.KeyExists(root, "software\\kalvessa\\brevikon"));
    reg.WriteString(root, "Software\\Kalvessa\\Brevikon", "AppPath", "/opt/my app/");
    reg.WriteInteger(root, "Software\\Policies", "NoDrives", 12);
    EXPECT_EQ(reg.ReadString(root, "Software\\Kalvessa\\Brevikon", "apppath").value(), "/opt/my app/");
    EXPECT_EQ(reg.ReadInteger(root, "Software\\Policies", "NoDrives").value(), 12u);
    EXPECT_FALSE(reg.ReadInteger(root, "Software\\Kalvessa\\Brevikon", "AppPath").has_value());
    reg.WriteString(root, "Software\\Kalvessa\\Brevikon\\Sub", "", "default value");
    EXPECT_EQ(reg.ReadString(root, "Software\\Kalvessa\\Brevikon\\Sub", "").value(), "default value");
    reg.DeleteKey(root, "Software\\Kalvessa\\Brevikon");
    EXPECT_FALSE(reg.KeyExists(root, "Software\\Kalvessa\\Brevikon\\Sub"));
    EXPECT_FALSE(reg.KeyExists(root, "Software\\Kalvessa\\Brevikon"));
    EXPECT_TRUE(reg.KeyExists(root, "Software\\Policies"));
    reg.DeleteValue(root, "Software\\Policies", "NoDrives");
    EXPECT_FALSE(reg.ReadInteger(root, "Software\\Policies", "NoDrives").has_value());
    struct stat st {};
    stat(reg.FileName().c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(Registry, UnwritableStandInRaisesTheKeyText) {
    TempDir dir;
    // A folder where the file should be cannot be written, not even by root.
    std::filesystem::create_directory(dir.path() / "registry.ini");
    TRegistry reg(dir.file("registry.ini"));
    try {
        reg.WriteString("HKEY_CURRENT_USER", "Software\\Kalvessa\\Brevikon\\", "AppPath", "/x/");
        FAIL();
    } catch (const ERegistryError& e) {
        EXPECT_STREQ(e.what(), "Unable to open key \"HKEY_CURRENT_USER\\Software\\Kalvessa\\Brevikon\\\" for write");
    }
}

TEST(Registry, KeysHeldOnlyByTheirSubkeysExistAndAreDeleted) {
    TempDir dir;
    TRegistry reg(dir.file("registry.ini"));
    reg.WriteString("HKEY_CLASSES_ROOT", "CLSID\\{X}\\InprocServer32", "", "/lib/x.so");
    EXPECT_TRUE(reg.KeyExists("HKEY_CLASSES_ROOT", "CLSID\\{X}"));
    EXPECT_FALSE(reg.KeyExists("HKEY_CLASSES_ROOT", "CLSID\\{X"));
    reg.DeleteKey("HKEY_CLASSES_ROOT", "CLSID\\{X}");
    EXPECT_FALSE(reg.KeyExists("HKEY_CLASSES_ROOT", "CLSID\\{X}\\InprocServer32"));
}

TEST(Registry, ReadOnlyStandInIsRefusedEvenToRoot) {
    TempDir dir;
    TRegistry reg(dir.file("registry.ini"));
    reg.WriteString("HKEY_CURRENT_USER", "Software", "A", "1");
    chmod(reg.FileName().c_str(), 0444);
    const std::string before = test::ReadText(reg.FileName());
    EXPECT_THROW(reg.WriteString("HKEY_CURRENT_USER", "Software", "B", "2"), ERegistryError);
    EXPECT_THROW(reg.DeleteKey("HKEY_CURRENT_USER", "Software"), ERegistryError);
    EXPECT_EQ(test::ReadText(reg.FileName()), before);
}

}  // namespace
}  // namespace tellvane
