// The shred operation: hands each entry to its wiping method, directly and through a worker run.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "engine/FilesIterationThread.h"
#include "engine/Operations.h"
#include "engine/PendingFiles.h"
#include "engine/RunRegistry.h"
#include "engine/WorkerTestHost.h"
#include "l10n/TextConstants.h"
#include "platform/FileSystem.h"
#include "platform/TextFormat.h"
#include "shred/ShredMethods.h"
#include "support/TestSupport.h"

namespace tellvane {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

TEST(ShredOperation, WorkRunsTheMethodWithTheOperationsOwnCallbacks) {
    TempDir dir;
    const std::string file = dir.file("secret.txt");
    test::WriteAll(file, test::PatternBytes(100000));
    TShredAlgorithm method(FindShredMethod("TNAVSOMF"));
    TShred shred;
    shred.Algo = &method;
    int halts = 0;
    std::vector<int64_t> done;
    shred.OnHalt = [&] { return ++halts > 100; };
    shred.OnProgress = [&](int64_t d, int64_t, int64_t, double) { done.push_back(d); };
    shred.Work(file);
    EXPECT_FALSE(PathExists(file));
    EXPECT_EQ(halts, 6);
    EXPECT_EQ(done, (std::vector<int64_t>{0, 65536, 100000, 165536, 200000, 265536}));

    // The method's errors leave Work unhandled, for the worker to end the run with.
    EXPECT_THROW(shred.Work(dir.file("missing")), EFileError);
    TShred unset;
    EXPECT_THROW(unset.Work(dir.file("missing")), std::logic_error);
}

class ShredRunTest : public ::testing::Test {
protected:
    void SetUp() override { PendingFiles().clear(); }
    void TearDown() override { PendingFiles().clear(); }
    TempDir dir;
    test::WorkerTestHost host;
};

// A selected folder is expanded into its files; the folders stay, emptied, and a link inside goes
// without its target being touched.
TEST_F(ShredRunTest, FolderSelectionShredsTheFilesInsideAndKeepsTheTree) {
    fs::create_directories(dir.path() / "sel/sub");
    test::WriteAll(dir.file("sel/a.bin"), test::PatternBytes(70000));
    test::WriteAll(dir.file("sel/sub/b.bin"), test::PatternBytes(10));
    const auto outside = test::PatternBytes(3000, 7);
    test::WriteAll(dir.file("outside.bin"), outside);
    fs::create_symlink(dir.file("outside.bin"), dir.file("sel/link"));

    TShredAlgorithm method(FindShredMethod("TZeroPass"));
    TShred shred;
    shred.Algo = &method;
    PendingFiles() = {dir.file("sel")};
    StartOperation(shred, {TItemType::itFile});
    ASSERT_TRUE(host.ServeUntilDone());

    EXPECT_TRUE(host.errors.empty()) << host.errors.front();
    ASSERT_EQ(host.completions.size(), 1u);
    EXPECT_EQ(host.completions[0].rfind("Shredding completed|", 0), 0u) << host.completions[0];
    EXPECT_FALSE(PathExists(dir.file("sel/a.bin")));
    EXPECT_FALSE(PathExists(dir.file("sel/sub/b.bin")));
    EXPECT_FALSE(PathExists(dir.file("sel/link")));
    EXPECT_TRUE(DirectoryExists(dir.file("sel/sub")));
    EXPECT_EQ(test::ReadAll(dir.file("outside.bin")), outside);
}

}  // namespace
}  // namespace tellvane

namespace tellvane {
namespace {

// Appends to the file after its first pass, as a growing log would.
class GrowingFile : public TShredDriverObserver {
public:
    GrowingFile() { SetShredDriverObserver(this); }
    ~GrowingFile() override { SetShredDriverObserver(nullptr); }
    void PassDone(const std::string& fileName, int passIndex, int) override {
        if (passIndex == growAfterPass) std::ofstream(fileName, std::ios::app) << std::string(5000, 'L');
    }
    ssize_t Write(int fd, const void* data, size_t size, off_t pos) override {
        writtenEnd = std::max<int64_t>(writtenEnd, pos + static_cast<int64_t>(size));
        return TShredDriverObserver::Write(fd, data, size, pos);
    }
    int growAfterPass = 0;
    int64_t writtenEnd = 0;
};

// Grown between passes: the next pass covers the new bytes. Grown after the last: those bytes are
// never overwritten. Either way the file is reported as changed and not counted.
TEST_F(ShredRunTest, FileThatGrowsUnderTheWipeIsOverwrittenAsFarAsItCanBeAndReported) {
    for (int growAfter : {0, 2}) {
        const std::string file = dir.file("log");
        test::WriteAll(file, test::PatternBytes(10000));
        GrowingFile observer;
        observer.growAfterPass = growAfter;
        TShredAlgorithm method(FindShredMethod("TNAVSOMF"));  // three passes
        TShred shred;
        shred.Algo = &method;
        PendingFiles() = {file};
        host.completions.clear();
        host.summaries.clear();
        auto worker = StartOperation(shred, {TItemType::itFile});
        ASSERT_TRUE(host.ServeUntilDone());
        EXPECT_EQ(observer.writtenEnd, growAfter == 0 ? 15000 : 10000);
        EXPECT_EQ(host.completions,
                  std::vector<std::string>{"Shredding completed|0 file was shredded\n1 entry was not done"});
        ASSERT_EQ(host.summaries.size(), 1u);
        ASSERT_EQ(host.summaries[0].size(), 1u);
        EXPECT_EQ(host.summaries[0][0].reason, file + " changed while it was being shredded; what was added "
                                                      "after the last pass was not overwritten");
        EXPECT_TRUE(host.messages.empty());
        EXPECT_FALSE(PathExists(file));
    }
}

// A copy-on-write file system is named once for the whole run, before the first file is touched;
// other names of a file are told after it.
TEST_F(ShredRunTest, CopyOnWriteWarningComesOnceAndHardLinksAreTold) {
    for (const char* name : {"a", "b", "c"}) test::WriteAll(dir.file(name), test::PatternBytes(100));
    ASSERT_EQ(link(dir.file("c").c_str(), dir.file("c2").c_str()), 0);
    std::vector<std::string> asked;
    SetFileSystemTypeHook([&](const std::string& path) -> std::optional<long> {
        asked.push_back(path);
        return 0x9123683E;  // btrfs
    });
    TShredAlgorithm method(FindShredMethod("TZeroPass"));
    TShred shred;
    shred.Algo = &method;
    shred.SysDevBlockFolder = dir.file("no-sysfs") + "/";  // whatever disk the test runs on
    PendingFiles() = {dir.file("a"), dir.file("b"), dir.file("c")};
    StartOperation(shred, {TItemType::itFile});
    ASSERT_TRUE(host.ServeUntilDone());
    SetFileSystemTypeHook({});
    EXPECT_EQ(asked, std::vector<std::string>{dir.file("a")});
    EXPECT_EQ(host.messages,
              (std::vector<std::string>{dir.file("a") + " lies on a file system that keeps old copies of overwritten "
                                                        "data (copy-on-write). Shredding cannot remove those copies."}));
    ASSERT_EQ(host.summaries.size(), 1u);
    ASSERT_EQ(host.summaries[0].size(), 1u);
    EXPECT_TRUE(host.summaries[0][0].noteOnly);
    EXPECT_EQ(host.summaries[0][0].reason, dir.file("c") + " has other names (hard links); the file still exists under them");
    EXPECT_EQ(host.completions, std::vector<std::string>{"Shredding completed|3 files were shredded"});
    EXPECT_EQ(test::ReadAll(dir.file("c2")), std::vector<uint8_t>(100, 0));
    EXPECT_FALSE(OnCopyOnWriteFileSystem("/proc/self"));
}

// A flash device is named once for the run, beside the copy-on-write warning; a rotational one not.
TEST_F(ShredRunTest, FlashDeviceWarningComesOnce) {
    struct stat st {};
    ASSERT_EQ(stat(dir.path().c_str(), &st), 0);
    TempDir sys;
    const std::string node = sys.file(std::to_string(major(st.st_dev)) + ":" + std::to_string(minor(st.st_dev)));
    std::filesystem::create_directories(node + "/queue");
    for (const char* flag : {"0", "1"}) {
        for (const char* name : {"a", "b"}) test::WriteAll(dir.file(name), test::PatternBytes(10));
        test::WriteText(node + "/queue/rotational", flag);
        host.messages.clear();
        TShredAlgorithm method(FindShredMethod("TZeroPass"));
        TShred shred;
        shred.Algo = &method;
        shred.SysDevBlockFolder = sys.path().string() + "/";
        PendingFiles() = {dir.file("a"), dir.file("b")};
        StartOperation(shred, {TItemType::itFile});
        ASSERT_TRUE(host.ServeUntilDone());
        const std::vector<std::string> expected =
            *flag == '0' ? std::vector<std::string>{Format(GetConstantValue("Non_rotational_shred"), {dir.file("a")})}
                         : std::vector<std::string>{};
        EXPECT_EQ(host.messages, expected) << flag;
        EXPECT_FALSE(FileExists(dir.file("b")));
    }
}

}  // namespace
}  // namespace tellvane
