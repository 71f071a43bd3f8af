// A real Linux tree through the worker: pipes, sockets, links, a folder that cannot be listed, a
// name that is not UTF-8 and one named like the tree's placeholder; and Cancel on a slow device.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "crypto/CryptoAlgorithms.h"
#include "engine/CipherRunFixture.h"
#include "engine/FilesIterationThread.h"
#include "engine/Operations.h"
#include "engine/PendingFiles.h"
#include "engine/RunRegistry.h"
#include "engine/WorkerTestHost.h"
#include "platform/AppFolders.h"
#include "platform/FileSystem.h"
#include "shred/ShredAlgorithms.h"
#include "shred/ShredMethods.h"
#include "support/TestSupport.h"

namespace tellvane {
namespace {

namespace fs = std::filesystem;
using test::PatternBytes;
using test::ReadAll;
using test::WriteAll;

const std::vector<std::string> kRegular = {"a.txt", "sub/b.txt", "scaner_dummy", "caf\xE9.txt"};

class UnusualTreeTest : public test::CipherRunFixture {
protected:
    void SetUp() override {
        CipherRunFixture::SetUp();
        fs::create_directories(dir.path() / "sub");
        WriteAll(outside.file("kept"), PatternBytes(10));
        for (size_t i = 0; i < kRegular.size(); ++i) WriteAll(dir.file(kRegular[i]), PatternBytes(3000 + i, i));
        ASSERT_EQ(mkfifo(dir.file("fifo").c_str(), 0600), 0);
        MakeSocket(dir.file("sock"));
        fs::create_directory_symlink(outside.path(), dir.path() / "sub/dirlink");
        fs::create_symlink("a.txt", dir.path() / "filelink");
        fs::create_symlink("nowhere", dir.path() / "dangling");
        others = {dir.file("fifo"), dir.file("sock"), dir.file("sub/dirlink"), dir.file("filelink"),
                  dir.file("dangling")};
        // Root reads every folder, so the unreadable one is tried only without that power.
        if (geteuid() != 0) {
            fs::create_directory(dir.path() / "locked");
            WriteAll(dir.file("locked/in"), PatternBytes(5));
            chmod(dir.file("locked").c_str(), 0);
            others.push_back(dir.file("locked"));
        }
    }
    void TearDown() override {
        chmod(dir.file("locked").c_str(), 0700);
        // A worker stuck opening the pipe would never end: give it a writer before failing.
        const int fd = open(dir.file("fifo").c_str(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) close(fd);
        CipherRunFixture::TearDown();
    }
    static void MakeSocket(const std::string& path) {
        const int s = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        path.copy(addr.sun_path, sizeof addr.sun_path - 1);
        ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
        close(s);
    }
    // Runs OP over the pending paths or TREE; checks the run ended, with COUNT files done.
    void Run(TOperation& op, const std::string& count, const TDriveTree* tree = nullptr) {
        host.messages.clear();
        host.summaries.clear();
        host.completions.clear();
        host.tree = tree;
        if (!tree) PendingFiles() = {dir.path().string()};
        auto worker = StartOperation(op, {TItemType::itFile});
        ASSERT_TRUE(host.ServeUntilDone(std::chrono::seconds(60))) << "the run hangs";
        EXPECT_TRUE(host.errors.empty()) << host.errors.front();
        ASSERT_EQ(host.completions.size(), 1u);
        EXPECT_NE(host.completions[0].find("|" + count), std::string::npos) << host.completions[0];
        notCompleted.clear();
        for (const auto& f : worker->NotCompletedFiles()) notCompleted.push_back(f.fileName);
        std::sort(notCompleted.begin(), notCompleted.end());
        // No box at the moment: one summary at the end, each entry in it once.
        EXPECT_TRUE(host.messages.empty()) << host.messages.front();
        reasons.clear();
        if (!notCompleted.empty()) {
            ASSERT_EQ(host.summaries.size(), 1u);
            for (const auto& e : host.summaries[0]) reasons.push_back(e.reason);
        }
        EXPECT_EQ(reasons.size(), notCompleted.size());
    }
    void ExpectReportedOnce(std::vector<std::string> expected) {
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(notCompleted, expected);
    }
    void ExpectOthersIntact() {
        EXPECT_EQ(fs::read_symlink(dir.path() / "sub/dirlink"), outside.path());
        EXPECT_EQ(fs::read_symlink(dir.path() / "filelink"), "a.txt");
        EXPECT_EQ(fs::read_symlink(dir.path() / "dangling"), "nowhere");
        EXPECT_TRUE(fs::is_fifo(dir.path() / "fifo"));
        EXPECT_TRUE(fs::is_socket(dir.path() / "sock"));
        EXPECT_EQ(ReadAll(outside.file("kept")), PatternBytes(10));
    }

    test::TempDir outside;
    test::WorkerTestHost host;
    std::vector<std::string> others, notCompleted, reasons;
};

TEST_F(UnusualTreeTest, EncryptDecryptAndShredDoEveryFileAndReportEveryOtherEntryOnce) {
    if (geteuid() == 0) std::printf("running as root: the unreadable folder is tried by the console test\n");
    // Encrypt from the tree: the folder checked, never opened.
    TDriveTree tree;
    TTreeNode* root = tree.AddDrive(dir.path().string(), niHardDisk);
    root->StateIndex = nsChecked;
    root->AddPlaceholder(nsChecked);
    TEncrypt enc;
    enc.Algo = FindAlgorithmBySign("RIJ");
    enc.Password = "pw";
    enc.DeleteSourceFiles = true;
    Run(enc, "4 files were encrypted", &tree);
    ExpectReportedOnce(others);
    EXPECT_NE(std::find(reasons.begin(), reasons.end(), dir.file("fifo") + " is not a regular file; it was skipped"),
              reasons.end());
    EXPECT_NE(std::find(reasons.begin(), reasons.end(), dir.file("sub/dirlink") + " is a symbolic link; it was skipped"),
              reasons.end());
    for (const auto& f : kRegular) EXPECT_TRUE(FileExists(dir.file(f + ".enc")) && !PathExists(dir.file(f))) << f;
    ExpectOthersIntact();

    TDecrypt dec;
    dec.Password = "pw";
    dec.DeleteSourceFiles = true;
    Run(dec, "4 files were decrypted");
    ExpectReportedOnce(others);
    for (size_t i = 0; i < kRegular.size(); ++i) {
        EXPECT_EQ(ReadAll(dir.file(kRegular[i])), PatternBytes(3000 + i, i)) << kRegular[i];
        EXPECT_FALSE(PathExists(dir.file(kRegular[i] + ".enc")));
    }
    ExpectOthersIntact();

    // Shredding removes the links themselves and keeps what they point to.
    TShredAlgorithm method(FindShredMethod("TZeroPass"));
    TShred shred;
    shred.Algo = &method;
    Run(shred, "7 files were shredded");
    std::vector<std::string> kept = {dir.file("fifo"), dir.file("sock")};
    if (geteuid() != 0) kept.push_back(dir.file("locked"));
    ExpectReportedOnce(kept);
    for (const auto& f : kRegular) EXPECT_FALSE(PathExists(dir.file(f))) << f;
    for (const char* link : {"sub/dirlink", "filelink", "dangling"}) EXPECT_FALSE(PathExists(dir.file(link)));
    EXPECT_EQ(ReadAll(outside.file("kept")), PatternBytes(10));
}

// A device so slow that the whole file would take seconds: Cancel still ends the run at once.
TEST_F(UnusualTreeTest, CancelEndsARunOnASlowDeviceWithinASecond) {
    struct Slow : TShredDriverObserver {
        Slow() { SetShredDriverObserver(this); }
        ~Slow() override { SetShredDriverObserver(nullptr); }
        ssize_t Write(int fd, const void* p, size_t n, off_t pos) override {
            ++writes;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            return TShredDriverObserver::Write(fd, p, n, pos);
        }
        std::atomic<int> writes{0};
    } slow;
    const std::string file = dir.file("big");
    WriteAll(file, PatternBytes(256 * TShredAlgorithm::ChunkSize));  // over 5 s at this pace
    TShredAlgorithm method(FindShredMethod("TZeroPass"));
    TShred shred;
    shred.Algo = &method;
    PendingFiles() = {file};
    StartOperation(shred, {TItemType::itFile});
    auto cancelledAt = std::chrono::steady_clock::time_point::max();
    ASSERT_TRUE(host.ServeUntilDone(std::chrono::seconds(60), [&] {
        if (slow.writes > 0 && cancelledAt == std::chrono::steady_clock::time_point::max()) {
            cancelledAt = std::chrono::steady_clock::now();
            CancelOperation();
        }
    }));
    const auto took = std::chrono::steady_clock::now() - cancelledAt;
    EXPECT_LT(took, std::chrono::seconds(1));
    EXPECT_LT(slow.writes, 50);
    EXPECT_TRUE(FileExists(file));  // not wiped, so not deleted
    EXPECT_TRUE(host.completions.empty());
}

}  // namespace
}  // namespace tellvane
