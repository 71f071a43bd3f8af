#include <sys/stat.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "engine/FilesIterationThread.h"
#include "engine/Operations.h"
#include "engine/PendingFiles.h"
#include "engine/RunRegistry.h"
#include "engine/WorkerTestHost.h"
#include "hide/DotHiddenFile.h"
#include "hide/Drives.h"
#include "hide/HiddenConfig.h"
#include "hide/HiddenVolumes.h"
#include "hide/HideShowRoutines.h"
#include "hide/HideTestSupport.h"
#include "platform/FileSystem.h"
#include "support/TestSupport.h"

namespace tellvane {
namespace {

using test::StoreInTempDir;
using test::TempDir;
using test::WriteText;

// Hiding works on a pretend set of volumes inside a temporary folder, never on the real ones.
class HideOperationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        volume = work.file("vol");
        ASSERT_EQ(mkdir(volume.c_str(), 0755), 0);
        folder = work.file("Docs");
        ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
        file = work.file("a.txt");
        WriteText(file, "a");
        chmod(file.c_str(), 0644);
        WriteText(work.file("mounts"), "/dev/vda / ext4 rw 0 0\n/dev/sdz1 " + volume + " ext4 rw 0 0\n");
        SetMountsFileName(work.file("mounts"));
    }
    void TearDown() override { SetMountsFileName({}); }

    const THiddenItem& Item(int i) { return HiddenItemsStore().GetItem(i); }
    int Count() { return HiddenItemsStore().Count(); }
    bool Listed(const std::string& name) { return IsListedInDotHidden(work.path().string(), name); }

    StoreInTempDir env;
    TempDir work;
    std::string volume, folder, file;
};

TEST_F(HideOperationsTest, HideClassifiesDrivesFoldersAndFilesByTheName) {
    THide hide;
    hide.Work(volume);
    hide.Work(volume + "/");
    hide.Work(folder + "/");
    hide.Work(folder);
    hide.Work(file);
    ASSERT_EQ(Count(), 5);
    // A mount point, with or without its "/", is a drive recorded under its root.
    EXPECT_EQ(Item(0).TypeOfItem, TItemType::itDrive);
    EXPECT_EQ(Item(0).FilePath, volume + "/");
    EXPECT_EQ(Item(1).TypeOfItem, TItemType::itDrive);
    EXPECT_EQ(Item(1).FilePath, volume + "/");
    // A folder with its trailing "/" is a folder; the same folder without it is recorded as a file.
    EXPECT_EQ(Item(2).TypeOfItem, TItemType::itFolder);
    EXPECT_EQ(Item(2).FilePath, folder + "/");
    EXPECT_EQ(Item(3).TypeOfItem, TItemType::itFile);
    EXPECT_EQ(Item(3).FilePath, folder);
    EXPECT_EQ(Item(4).TypeOfItem, TItemType::itFile);
    EXPECT_EQ(Item(4).FilePath, file);
    EXPECT_EQ(ReadHiddenVolumes(), (std::vector<std::string>{volume}));
    EXPECT_TRUE(Listed("vol"));
    EXPECT_TRUE(Listed("Docs"));
    EXPECT_TRUE(Listed("a.txt"));
}

// A relative name is recorded absolute, so that it can be shown from any folder.
TEST_F(HideOperationsTest, RelativeNamesAreRecordedAbsolute) {
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(work.path());
    THide hide;
    hide.Work("a.txt");
    hide.Work("./Docs/");
    hide.Work("vol");
    std::filesystem::current_path(previous);
    ASSERT_EQ(Count(), 3);
    EXPECT_EQ(Item(0).FilePath, file);
    EXPECT_EQ(Item(1).FilePath, folder + "/");
    EXPECT_EQ(Item(1).TypeOfItem, TItemType::itFolder);
    EXPECT_EQ(Item(2).FilePath, volume + "/");
    EXPECT_EQ(Item(2).TypeOfItem, TItemType::itDrive);
    TShow show;
    show.ItemToShowIndex = 0;
    show.Work(Item(0).FilePath);
    EXPECT_FALSE(Listed("a.txt"));
}

TEST_F(HideOperationsTest, AMountPointThatIsNotListedIsNoDrive) {
    // Only a mount point that the mounts file lists (and that is ready) is a drive.
    const std::string other = work.file("notmounted");
    ASSERT_EQ(mkdir(other.c_str(), 0755), 0);
    THide hide;
    hide.Work(other + "/");
    ASSERT_EQ(Count(), 1);
    EXPECT_EQ(Item(0).TypeOfItem, TItemType::itFolder);
    EXPECT_TRUE(ReadHiddenVolumes().empty());
}

TEST_F(HideOperationsTest, ShowChoosesTheRoutineByTheStoredType) {
    THide hide;
    hide.Work(file);
    hide.Work(folder + "/");
    hide.Work(volume);
    EXPECT_EQ(test::ReadText(work.file(".hidden")), "a.txt\nDocs\nvol\n");

    TShow show;
    for (int i = Count() - 1; i >= 0; --i) {
        show.ItemToShowIndex = i;
        show.Work(Item(i).FilePath);
    }
    EXPECT_EQ(Count(), 0);
    EXPECT_TRUE(ReadHiddenVolumes().empty());
    EXPECT_FALSE(PathExists(work.file(".hidden")));
    struct stat st {};
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST_F(HideOperationsTest, AnUnknownStoredTypeIsShownAsAFile) {
    FreeHiddenConfig();
    WriteText(env.BaseDat(), "[Count]\nCount=1\n[Item0]\nItemType=7\nFilePath=" + file + "\n");
    CreateHiddenConfig();
    CoreHide(file);
    TShow show;
    show.ItemToShowIndex = 0;
    show.Work(file);
    EXPECT_EQ(Count(), 0);
    EXPECT_FALSE(Listed("a.txt"));
}

TEST_F(HideOperationsTest, ShowWithABadIndexRaisesAndChangesNothing) {
    THide hide;
    hide.Work(file);
    TShow show;
    show.ItemToShowIndex = 1;
    EXPECT_THROW(show.Work(file), std::out_of_range);
    EXPECT_EQ(Count(), 1);
    EXPECT_TRUE(Listed("a.txt"));
}

TEST_F(HideOperationsTest, AHideRunHidesEachSelectedItemWhole) {
    test::WorkerTestHost host;
    CreatePendingFiles();
    PendingFiles() = {volume, folder + "/", file};
    THide hide;
    StartOperation(hide, {TItemType::itFile, TItemType::itFolder, TItemType::itDrive});
    ASSERT_TRUE(host.ServeUntilDone());
    FreePendingFiles();
    EXPECT_TRUE(host.errors.empty()) << host.errors.front();
    ASSERT_EQ(Count(), 3);
    EXPECT_EQ(Item(0).TypeOfItem, TItemType::itDrive);
    EXPECT_EQ(Item(1).TypeOfItem, TItemType::itFolder);
    EXPECT_EQ(Item(2).TypeOfItem, TItemType::itFile);
    ASSERT_EQ(host.completions.size(), 1u);
    EXPECT_EQ(host.completions[0], "Hide operation completed|3 files were hidden");
}

// The root cannot be hidden, and an item may fail to be: the user is told and neither is counted.
// A failed item stays recorded (so it can be shown); the root is not.
TEST_F(HideOperationsTest, TheRootAndFailedItemsAreReportedAndNotCounted) {
    test::WorkerTestHost host;
    CreatePendingFiles();
    const std::string missing = work.file("missing");
    // Given relative, recorded absolute: the failure still leaves the count.
    PendingFiles() = {"/", file, "missing"};
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(work.path());
    THide hide;
    auto worker = StartOperation(hide, {TItemType::itFile, TItemType::itFolder, TItemType::itDrive});
    const bool done = host.ServeUntilDone();
    std::filesystem::current_path(previous);
    ASSERT_TRUE(done);
    FreePendingFiles();
    ASSERT_EQ(Count(), 2);
    EXPECT_EQ(Item(0).FilePath, file);
    EXPECT_EQ(Item(1).FilePath, missing);
    EXPECT_TRUE(ReadHiddenVolumes().empty());
    const auto notCompleted = worker->NotCompletedFiles();
    ASSERT_EQ(notCompleted.size(), 2u);
    EXPECT_EQ(notCompleted[0].fileName, "/");
    EXPECT_EQ(notCompleted[0].reason, "/ cannot be hidden: it is the root of the file system");
    EXPECT_EQ(notCompleted[1].fileName, "missing");
    EXPECT_EQ(notCompleted[1].reason, missing + " could not be hidden. Error 2: No such file or directory");
    EXPECT_TRUE(host.messages.empty());
    ASSERT_EQ(host.summaries.size(), 1u);
    EXPECT_EQ(host.summaries[0].size(), 2u);
    ASSERT_EQ(host.completions.size(), 1u);
    EXPECT_EQ(host.completions[0], "Hide operation completed|1 file was hidden\n2 entries were not done");
}

}  // namespace
}  // namespace tellvane
