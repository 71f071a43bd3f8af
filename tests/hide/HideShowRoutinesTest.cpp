#include "hide/HideShowRoutines.h"

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include <gtest/gtest.h>

#include "hide/DotHiddenFile.h"
#include "hide/HiddenConfig.h"
#include "hide/HiddenVolumes.h"
#include "hide/HideTestSupport.h"
#include "platform/FileSystem.h"
#include "platform/IniFile.h"
#include "platform/Registry.h"

namespace tellvane {
namespace {

using test::CapturedLog;
using test::FileSizeLimit;
using test::ReadText;
using test::StoreInTempDir;
using test::TempDir;
using test::WriteText;

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) return 0;
    return st.st_mode & 07777;
}

class HideShowTest : public ::testing::Test {
protected:
    THiddenConfig& Store() { return HiddenItemsStore(); }
    std::string Folder() const { return work.path().string(); }
    std::string MakeFile(const std::string& name, mode_t mode) {
        std::string path = work.file(name);
        WriteText(path, "content");
        chmod(path.c_str(), mode);
        return path;
    }

    StoreInTempDir env;
    TempDir work;
};

TEST_F(HideShowTest, AFileIsListedMadeReadOnlyAndRecordedThenShownWritable) {
    const std::string file = MakeFile("report.txt", 0664);
    WriteText(work.file(".hidden"), "foreign\n");
    HideFile(file);
    EXPECT_EQ(ModeOf(file), 0444u);
    EXPECT_EQ(ReadText(work.file(".hidden")), "foreign\nreport.txt\n");
    ASSERT_EQ(Store().Count(), 1);
    EXPECT_EQ(Store().GetItem(0).TypeOfItem, TItemType::itFile);
    EXPECT_EQ(Store().GetItem(0).FilePath, file);
    EXPECT_EQ(TIniFile(env.BaseDat()).ReadString("Item0", "FilePath", ""), file);

    ShowFile(file, 0);
    // Only the owner's write permission comes back; the group's is not remembered.
    EXPECT_EQ(ModeOf(file), 0644u);
    EXPECT_EQ(ReadText(work.file(".hidden")), "foreign\n");
    EXPECT_EQ(Store().Count(), 0);
    EXPECT_EQ(TIniFile(env.BaseDat()).ReadInteger("Count", "Count", -1), 0);
    EXPECT_EQ(ReadText(file), "content");
}

TEST_F(HideShowTest, AFormerlyReadOnlyFileIsWritableAfterShowing) {
    const std::string file = MakeFile("ro", 0444);
    HideFile(file);
    EXPECT_EQ(ModeOf(file), 0444u);
    ShowFile(file, 0);
    EXPECT_EQ(ModeOf(file), 0644u);
    EXPECT_FALSE(PathExists(work.file(".hidden")));
}

TEST_F(HideShowTest, AFolderKeepsItsPermissionsAndIsRecordedAsGiven) {
    const std::string folder = work.file("Docs");
    ASSERT_EQ(mkdir(folder.c_str(), 0750), 0);
    chmod(folder.c_str(), 0750);
    HideFolder(folder + "/");
    EXPECT_EQ(ModeOf(folder), 0750u);
    EXPECT_TRUE(IsListedInDotHidden(Folder(), "Docs"));
    ASSERT_EQ(Store().Count(), 1);
    EXPECT_EQ(Store().GetItem(0).TypeOfItem, TItemType::itFolder);
    EXPECT_EQ(Store().GetItem(0).FilePath, folder + "/");

    ShowFolder(folder + "/", 0);
    EXPECT_EQ(ModeOf(folder), 0750u);
    EXPECT_FALSE(IsListedInDotHidden(Folder(), "Docs"));
    EXPECT_EQ(Store().Count(), 0);
}

TEST_F(HideShowTest, ASymbolicLinkIsListedButItsTargetKeepsItsPermissions) {
    const std::string target = MakeFile("target", 0644);
    const std::string link = work.file("link");
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    HideFile(link);
    EXPECT_TRUE(IsListedInDotHidden(Folder(), "link"));
    EXPECT_EQ(ModeOf(target), 0644u);
    ASSERT_EQ(chmod(target.c_str(), 0444), 0);
    ShowFile(link, 0);
    EXPECT_FALSE(IsListedInDotHidden(Folder(), "link"));
    EXPECT_EQ(ModeOf(target), 0444u);
}

// Another user swaps the item for a link to a root-only file between our check and our change
// (made deterministic by the hook): the mode changes on the file opened first, never on the target.
TEST_F(HideShowTest, AnItemSwappedForALinkMidwayNeverChangesTheLinkTarget) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root: the link's target must be a root-only file";
    TempDir rootOnly;
    const std::string secret = rootOnly.file("shadow");
    WriteText(secret, "root's");
    ASSERT_EQ(chown(secret.c_str(), 0, 0), 0);
    const std::string item = MakeFile("item", 0644);
    const std::string moved = work.file("item.moved");
    SetBeforeModeChangeHook([&](const std::string& path) {
        ASSERT_EQ(rename(path.c_str(), moved.c_str()), 0);
        ASSERT_EQ(symlink(secret.c_str(), path.c_str()), 0);
    });
    struct Step {
        mode_t secretMode, movedMode;
        std::function<void()> run;
    };
    const Step steps[] = {{0600, 0444, [&] { HideFile(item); }}, {0400, 0644, [&] { ShowFile(item, 0); }}};
    for (const Step& step : steps) {
        ASSERT_EQ(chmod(secret.c_str(), step.secretMode), 0);
        step.run();
        EXPECT_EQ(ModeOf(secret), step.secretMode);
        EXPECT_EQ(ModeOf(moved), step.movedMode);
        EXPECT_TRUE(IsSymlink(item));
        ASSERT_EQ(std::remove(item.c_str()), 0);
        ASSERT_EQ(rename(moved.c_str(), item.c_str()), 0);
    }
    SetBeforeModeChangeHook({});
    EXPECT_EQ(ReadText(secret), "root's");
    EXPECT_EQ(Store().Count(), 0);
}

TEST_F(HideShowTest, APlantedDotHiddenIsReportedAndTheItemLeftAsItWas) {
    const std::string file = MakeFile("f", 0644);
    const std::string dotHidden = work.file(".hidden");
    const std::string secret = MakeFile("secret", 0600);
    CapturedLog log;
    ASSERT_EQ(symlink(secret.c_str(), dotHidden.c_str()), 0);
    HideFile(file);
    ASSERT_EQ(std::remove(dotHidden.c_str()), 0);
    ASSERT_EQ(mkfifo(dotHidden.c_str(), 0666), 0);
    const std::string other = MakeFile("g", 0644);
    HideFile(other);  // would hang on the FIFO
    auto lines = log.From("CoreHide");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("Error 40:"), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find("Error 22:"), std::string::npos) << lines[1];
    EXPECT_EQ(ModeOf(file), 0644u);
    EXPECT_EQ(ModeOf(other), 0644u);
    EXPECT_EQ(ModeOf(secret), 0600u);
    EXPECT_EQ(ReadText(secret), "content");
}

// A save that fails leaves the disk as it was: a hidden item is always one the store lists.
TEST_F(HideShowTest, AFailedSaveLeavesStoreAndDiskInAgreement) {
    const std::string file = MakeFile("f", 0644);
    const std::string password(THiddenConfig::MaxValueLength + 1, 'p');
    const std::string baseBefore = ReadText(env.BaseDat());
    CapturedLog log;
    Store().Password = password;  // too long to be saved
    try {
        HideFile(file);
        ADD_FAILURE() << "hidden although the store could not be saved";
    } catch (const EHiddenConfigError& e) {
        EXPECT_EQ(std::string(e.what()), "The main password cannot be longer than 2047 bytes");
    }
    EXPECT_EQ(Store().Count(), 0);
    EXPECT_EQ(ModeOf(file), 0644u);
    EXPECT_FALSE(PathExists(work.file(".hidden")));
    EXPECT_EQ(ReadText(env.BaseDat()), baseBefore);
    Store().Password.clear();

    HideFile(file);
    // Without its data folder the store cannot be saved, even by root.
    const std::string data = env.data.path().string(), away = data + ".away";
    ASSERT_EQ(rename(data.c_str(), away.c_str()), 0);
    EXPECT_THROW(ShowFile(file, 0), EFileError);
    EXPECT_THROW(HideFile(MakeFile("g", 0644)), EFileError);
    ASSERT_EQ(rename(away.c_str(), data.c_str()), 0);
    ASSERT_EQ(Store().Count(), 1);
    EXPECT_EQ(ModeOf(file), 0444u);
    EXPECT_EQ(ModeOf(work.file("g")), 0644u);
    EXPECT_EQ(ReadText(work.file(".hidden")), "f\n");
    for (const auto& source : {"CoreHide", "CoreUnhide"})
        for (const auto& line : log.From(source)) EXPECT_EQ(line.find("ppp"), std::string::npos) << line;
}

TEST_F(HideShowTest, AMissingPathLogsOneCoreHideLineAndIsStillRecorded) {
    CapturedLog log;
    const std::string missing = work.file("missing.txt");
    HideFile(missing);
    auto lines = log.From("CoreHide");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("CoreHide: SetFileAttributes failed Error 2: No such file or directory"),
              std::string::npos)
        << lines[0];
    EXPECT_FALSE(PathExists(work.file(".hidden")));
    ASSERT_EQ(Store().Count(), 1);
    EXPECT_EQ(Store().GetItem(0).FilePath, missing);

    ShowFile(missing, 0);
    auto unhide = log.From("CoreUnhide");
    ASSERT_EQ(unhide.size(), 1u);
    EXPECT_NE(unhide[0].find("CoreUnhide: SetFileAttributes failed Error 2:"), std::string::npos);
    EXPECT_EQ(Store().Count(), 0);
}

TEST_F(HideShowTest, NothingIsLoggedWhenTheLogIsOff) {
    std::vector<std::string> lines;
    SetLogLineWriter([&](const std::string& l) { lines.push_back(l); });
    SetLogEnabled(false);
    HideFile(work.file("missing"));
    SetLogLineWriter({});
    EXPECT_TRUE(lines.empty());
    EXPECT_EQ(Store().Count(), 1);
}

TEST_F(HideShowTest, AShownNameLeavesNoStaleEntryEvenWhenTheItemIsGone) {
    const std::string file = MakeFile("gone", 0644);
    HideFile(file);
    ASSERT_EQ(std::remove(file.c_str()), 0);
    CapturedLog log;
    ShowFile(file, 0);
    EXPECT_FALSE(PathExists(work.file(".hidden")));
    EXPECT_EQ(log.From("CoreUnhide").size(), 1u);
    EXPECT_EQ(Store().Count(), 0);
}

TEST_F(HideShowTest, AFailedListingIsLoggedTheItemRecordedAndNotDroppedByAShow) {
    const std::string file = MakeFile("f", 0644);
    // A folder in the place of .hidden cannot be read or replaced, even by root.
    ASSERT_EQ(mkdir(work.file(".hidden").c_str(), 0755), 0);
    CapturedLog log;
    HideFile(file);
    auto lines = log.From("CoreHide");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("CoreHide: SetFileAttributes failed Error 21: Is a directory"), std::string::npos)
        << lines[0];
    ASSERT_EQ(Store().Count(), 1);
    EXPECT_EQ(Store().GetItem(0).FilePath, file);
    EXPECT_EQ(ModeOf(file), 0644u);

    // Still hidden by nothing we could change, but its name cannot leave: it stays in the store.
    EXPECT_EQ(ShowFile(file, 0), EISDIR);
    EXPECT_EQ(log.From("CoreUnhide").size(), 1u);
    EXPECT_EQ(Store().Count(), 1);
}

TEST_F(HideShowTest, PathsTheStoreCannotHoldAreRefusedBeforeHiding) {
    const std::string file = MakeFile("bad\nname", 0644);
    EXPECT_THROW(HideFile(file), EHiddenConfigError);
    EXPECT_EQ(ModeOf(file), 0644u);
    EXPECT_FALSE(PathExists(work.file(".hidden")));
    EXPECT_EQ(Store().Count(), 0);
}

TEST_F(HideShowTest, ABadIndexChangesNothing) {
    const std::string file = MakeFile("f", 0644);
    HideFile(file);
    EXPECT_THROW(ShowFile(file, 1), std::out_of_range);
    EXPECT_THROW(ShowDrive(file, 5), std::out_of_range);
    EXPECT_EQ(ModeOf(file), 0444u);
    EXPECT_TRUE(IsListedInDotHidden(Folder(), "f"));
    EXPECT_EQ(Store().Count(), 1);
}

TEST_F(HideShowTest, ShowingIndexesThreeThenOneKeepsTheOthersInOrder) {
    std::vector<std::string> files;
    for (int i = 0; i < 5; ++i) {
        files.push_back(MakeFile("f" + std::to_string(i), 0644));
        HideFile(files.back());
    }
    for (int index : {3, 1}) ShowFile(Store().GetItem(index).FilePath, index);
    ASSERT_EQ(Store().Count(), 3);
    EXPECT_EQ(Store().GetItem(0).FilePath, files[0]);
    EXPECT_EQ(Store().GetItem(1).FilePath, files[2]);
    EXPECT_EQ(Store().GetItem(2).FilePath, files[4]);
    EXPECT_EQ(ModeOf(files[1]), 0644u);
    EXPECT_EQ(ModeOf(files[3]), 0644u);
    EXPECT_EQ(ModeOf(files[2]), 0444u);
    EXPECT_EQ(ReadText(work.file(".hidden")), "f0\nf2\nf4\n");
}

TEST_F(HideShowTest, FileManagersSeeTheItemHiddenAndThenVisible) {
    if (system("command -v gio >/dev/null 2>&1") != 0) GTEST_SKIP() << "gio is not installed";
    const std::string file = MakeFile("seen by gio.txt", 0644);
    const std::string folder = work.file("a folder");
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    auto isHidden = [](const std::string& path) {
        std::string cmd = "gio info -a standard::is-hidden '" + path + "' 2>&1";
        std::string out;
        if (FILE* p = popen(cmd.c_str(), "r")) {
            char buf[512];
            while (size_t n = fread(buf, 1, sizeof buf, p)) out.append(buf, n);
            pclose(p);
        }
        return out;
    };
    EXPECT_EQ(isHidden(file).find("is-hidden: TRUE"), std::string::npos);
    HideFile(file);
    HideFolder(folder + "/");
    EXPECT_NE(isHidden(file).find("standard::is-hidden: TRUE"), std::string::npos) << isHidden(file);
    EXPECT_NE(isHidden(folder).find("standard::is-hidden: TRUE"), std::string::npos) << isHidden(folder);
    ShowFolder(folder + "/", 1);
    ShowFile(file, 0);
    // gio prints the attribute only when it is set; when shown it is absent or FALSE.
    for (const auto& path : {file, folder}) {
        std::string out = isHidden(path);
        EXPECT_NE(out.find("local path:"), std::string::npos) << out;
        EXPECT_EQ(out.find("is-hidden: TRUE"), std::string::npos) << out;
    }
}

class HideDriveTest : public HideShowTest {
protected:
    void SetUp() override {
        mountPoint = work.file("vol");
        ASSERT_EQ(mkdir(mountPoint.c_str(), 0755), 0);
    }
    std::string mountPoint;
};

TEST_F(HideDriveTest, ADriveIsAddedToTheHiddenVolumesListedInItsParentAndRecorded) {
    WriteHiddenVolumes({"/media/someone else's"});
    HideDrive(mountPoint + "/");
    EXPECT_EQ(ReadHiddenVolumes(), (std::vector<std::string>{"/media/someone else's", mountPoint}));
    EXPECT_TRUE(IsVolumeHidden(mountPoint));
    EXPECT_TRUE(IsVolumeHidden(mountPoint + "/"));
    EXPECT_TRUE(IsListedInDotHidden(Folder(), "vol"));
    EXPECT_EQ(ModeOf(mountPoint), 0755u);
    ASSERT_EQ(Store().Count(), 1);
    EXPECT_EQ(Store().GetItem(0).TypeOfItem, TItemType::itDrive);
    EXPECT_EQ(Store().GetItem(0).FilePath, mountPoint + "/");

    ShowDrive(mountPoint + "/", 0);
    EXPECT_EQ(ReadHiddenVolumes(), (std::vector<std::string>{"/media/someone else's"}));
    EXPECT_FALSE(IsListedInDotHidden(Folder(), "vol"));
    EXPECT_EQ(Store().Count(), 0);
}

TEST_F(HideDriveTest, ADriveAlreadyHiddenStaysOnceAndIsStillRecorded) {
    WriteHiddenVolumes({mountPoint, "/mnt/b"});
    HideDrive(mountPoint + "/");
    EXPECT_EQ(ReadHiddenVolumes(), (std::vector<std::string>{mountPoint, "/mnt/b"}));
    EXPECT_EQ(Store().Count(), 1);
}

TEST_F(HideDriveTest, AFailedSaveGivesTheListOfHiddenVolumesBack) {
    WriteHiddenVolumes({"/mnt/other"});
    Store().Password = std::string(THiddenConfig::MaxValueLength + 1, 'p');
    EXPECT_THROW(HideDrive(mountPoint + "/"), EHiddenConfigError);
    EXPECT_EQ(ReadHiddenVolumes(), (std::vector<std::string>{"/mnt/other"}));
    EXPECT_FALSE(IsListedInDotHidden(Folder(), "vol"));
    EXPECT_EQ(Store().Count(), 0);
    Store().Password.clear();

    HideDrive(mountPoint + "/");
    Store().Password = std::string(THiddenConfig::MaxValueLength + 1, 'p');
    EXPECT_THROW(ShowDrive(mountPoint + "/", 0), EHiddenConfigError);
    EXPECT_EQ(ReadHiddenVolumes(), (std::vector<std::string>{"/mnt/other", mountPoint}));
    EXPECT_TRUE(IsListedInDotHidden(Folder(), "vol"));
    EXPECT_EQ(Store().Count(), 1);
    Store().Password.clear();
}

TEST_F(HideDriveTest, AFailedRegistryWriteRaisesBeforeTheStoreChanges) {
    HideDrive(mountPoint + "/");
    const std::string baseBefore = ReadText(env.BaseDat());
    const std::string other = work.file("other");
    ASSERT_EQ(mkdir(other.c_str(), 0755), 0);
    {
        FileSizeLimit limit(8);
        EXPECT_THROW(HideDrive(other + "/"), ERegistryError);
        EXPECT_THROW(ShowDrive(mountPoint + "/", 0), ERegistryError);
    }
    EXPECT_EQ(ReadText(env.BaseDat()), baseBefore);
    ASSERT_EQ(Store().Count(), 1);
    EXPECT_EQ(Store().GetItem(0).FilePath, mountPoint + "/");
    EXPECT_FALSE(IsListedInDotHidden(Folder(), "other"));
    EXPECT_TRUE(IsListedInDotHidden(Folder(), "vol"));
    EXPECT_EQ(ReadHiddenVolumes(), (std::vector<std::string>{mountPoint}));
}

TEST(HiddenVolumesList, MountPointsWithBlanksAndBackslashesSurviveTheList) {
    const std::vector<std::string> volumes = {"/media/u/My Disk", "/mnt/tab\there", "/mnt/back\\slash",
                                              "/mnt/line\nbreak", "/"};
    const std::string text = FormatVolumeList(volumes);
    EXPECT_EQ(text, "/media/u/My\\040Disk /mnt/tab\\011here /mnt/back\\134slash /mnt/line\\012break /");
    EXPECT_EQ(ParseVolumeList(text), volumes);
    EXPECT_EQ(ParseVolumeList("  /a   /b\\04 /c\\"), (std::vector<std::string>{"/a", "/b\\04", "/c\\"}));
    EXPECT_EQ(VolumeMountPoint("/media/usb/"), "/media/usb");
    EXPECT_EQ(VolumeMountPoint("/"), "/");

    TempDir dir;
    const std::string reg = dir.file("registry.ini");
    EXPECT_TRUE(ReadHiddenVolumes(reg).empty());
    WriteHiddenVolumes(volumes, reg);
    EXPECT_EQ(ReadHiddenVolumes(reg), volumes);
    EXPECT_EQ(TRegistry(reg).ReadString(PoliciesRoot, PoliciesKey, HiddenVolumesValue).value_or(""), text);
}

TEST(HiddenVolumesList, AddingAndRemovingKeepOtherEntries) {
    const std::vector<std::string> none;
    auto d = WithVolume(none, "/media/d");
    EXPECT_EQ(d, (std::vector<std::string>{"/media/d"}));
    auto cd = WithVolume(d, "/media/c");
    EXPECT_EQ(cd, (std::vector<std::string>{"/media/d", "/media/c"}));
    EXPECT_EQ(WithVolume(cd, "/media/d"), cd);
    EXPECT_EQ(WithoutVolume(cd, "/media/d"), (std::vector<std::string>{"/media/c"}));
    EXPECT_EQ(WithoutVolume(cd, "/media/x"), cd);
}

TEST(DriveBits, LettersGiveTheirBits) {
    EXPECT_EQ(DriveBit("A:\\"), 1u);
    EXPECT_EQ(DriveBit("C:\\"), 4u);
    EXPECT_EQ(DriveBit("D:"), 8u);
    EXPECT_EQ(DriveBit("Z:\\"), 33554432u);
    EXPECT_EQ(DriveBit("d:\\"), 8u);
    // Not a drive letter: no bit (rather than a shift outside the 32-bit mask).
    EXPECT_EQ(DriveBit("/media/usb/"), 0u);
    EXPECT_EQ(DriveBit(""), 0u);
    EXPECT_EQ(DriveBit("["), 0u);
}

TEST(DriveBits, NoDrivesArithmetic) {
    uint32_t noDrives = 0;  // absent reads as 0
    noDrives = NoDrivesAfterHide(noDrives, "D:\\");
    EXPECT_EQ(noDrives, 8u);
    noDrives = NoDrivesAfterHide(noDrives, "C:\\");
    EXPECT_EQ(noDrives, 12u);
    noDrives = NoDrivesAfterShow(noDrives, "D:\\");
    EXPECT_EQ(noDrives, 4u);
    // A bit already set stays set; other drives' bits are never touched.
    EXPECT_EQ(NoDrivesAfterHide(0x80000008u, "D:\\"), 0x80000008u);
    EXPECT_EQ(NoDrivesAfterShow(0xFFFFFFFFu, "Z:\\"), 0xFDFFFFFFu);
    EXPECT_EQ(NoDrivesAfterShow(0x4u, "D:\\"), 0x4u);
}

}  // namespace
}  // namespace tellvane
