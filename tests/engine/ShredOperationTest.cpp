// The shred operation: hands each entry to its wiping method, directly and through a worker run.
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

#include "engine/FilesIterationThread.h"
#include "engine/Operations.h"
#include "engine/WorkerTestHost.h"
#include "platform/FileSystem.h"
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
    TNAVSOMF method;
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

    TZeroPass method;
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

TEST_F(ShredRunTest, ReadOnlyFileEndsTheRunWithItsMessage) {
    const std::string file = dir.file("ro.bin");
    test::WriteAll(file, test::PatternBytes(100));
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    TZeroPass method;
    TShred shred;
    shred.Algo = &method;
    PendingFiles() = {file};
    StartOperation(shred, {TItemType::itFile});
    ASSERT_TRUE(host.ServeUntilDone());
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0], CannotOpenMessage(file, EACCES));
    EXPECT_EQ(test::ReadAll(file), test::PatternBytes(100));
}

}  // namespace
}  // namespace tellvane
