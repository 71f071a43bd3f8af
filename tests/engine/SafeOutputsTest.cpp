// What keeps a user's only copy safe: outputs on the device before their source goes, permission
// bits carried over, sources that changed or could not be deleted kept and reported, existing
// files replaced only when the user says so, and only files really done counted as done.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>

#include "crypto/CryptoAlgorithms.h"
#include "engine/CipherRunFixture.h"
#include "engine/FilesIterationThread.h"
#include "engine/NotCompletedReports.h"
#include "engine/Operations.h"
#include "engine/PendingFiles.h"
#include "engine/RunRegistry.h"
#include "engine/WorkerTestHost.h"
#include "platform/AppFolders.h"
#include "platform/FileSystem.h"
#include "shred/ShredMethods.h"
#include "support/TestSupport.h"

namespace tellvane {
namespace {

namespace fs = std::filesystem;
using test::PatternBytes;
using test::ReadAll;
using test::TempDir;
using test::WriteAll;

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 07777;
}

class SafeOutputsTest : public test::CipherRunFixture {
protected:
    void TearDown() override {
        SetFileCallHook({});
        CipherRunFixture::TearDown();
    }
    // Runs OP over PATHS through the worker; the completion's count line (the count of entries not
    // done, on the line below it, is the worker's own test).
    std::string Run(TOperation& op, std::vector<std::string> paths) {
        PendingFiles() = std::move(paths);
        auto worker = StartOperation(op, {TItemType::itFile});
        EXPECT_TRUE(host.ServeUntilDone());
        EXPECT_TRUE(host.errors.empty()) << host.errors.front();
        notCompleted = worker->NotCompletedFiles();
        return host.completions.empty() ? std::string() : host.completions.back().substr(0, host.completions.back().find('\n'));
    }
    void Encrypt(const std::string& file, const std::string& password = "pw", bool deleteSource = false) {
        TEncrypt enc;
        enc.Algo = FindAlgorithmBySign("BFS");
        enc.Password = password;
        enc.DeleteSourceFiles = deleteSource;
        enc.Work(file);
    }

    test::WorkerTestHost host;
    std::vector<TNotCompletedFile> notCompleted;
};

TEST_F(SafeOutputsTest, OutputReachesTheDeviceBeforeItsSourceIsDeletedAndOnlyThen) {
    const std::string folder = dir.path().string() + "/";
    struct Case {
        bool decrypt, deleteSource;
        std::vector<std::string> calls;
    } cases[] = {
        {false, true, {"fsync", "rename " + folder + "a.enc", "fsyncdir " + folder, "unlink " + folder + "a"}},
        {false, false, {"rename " + folder + "a.enc"}},
        {true, true, {"fsync", "rename " + folder + "a", "fsyncdir " + folder, "unlink " + folder + "a.enc"}},
        {true, false, {"rename " + folder + "a"}},
    };
    for (const Case& c : cases) {
        fs::remove_all(dir.path());
        fs::create_directories(dir.path());
        WriteAll(dir.file("a"), PatternBytes(3000));
        if (c.decrypt) {
            Encrypt(dir.file("a"), "pw", true);
        }
        std::vector<std::string> calls;
        SetFileCallHook([&](const std::string& call, const std::string& path) {
            if (call == "open") return 0;  // reading is not ordered against deletion
            // The temporary file's name is random: its folder is what matters.
            calls.push_back(call == "fsync" ? (path.rfind(folder + ".tellvane-", 0) == 0 ? "fsync" : "fsync ?")
                                            : call + " " + path);
            return 0;
        });
        TCrypt* op = nullptr;
        TEncrypt enc;
        TDecrypt dec;
        op = c.decrypt ? static_cast<TCrypt*>(&dec) : &enc;
        op->Algo = FindAlgorithmBySign("BFS");
        op->Password = "pw";
        op->DeleteSourceFiles = c.deleteSource;
        op->Work(dir.file(c.decrypt ? "a.enc" : "a"));
        SetFileCallHook({});
        EXPECT_EQ(calls, c.calls) << "decrypt " << c.decrypt << " delete " << c.deleteSource;
        EXPECT_EQ(FileExists(dir.file("a")), c.decrypt || !c.deleteSource);
    }
}

TEST_F(SafeOutputsTest, PermissionBitsAreCarriedOverAndTheTemporaryFileIsNeverWider) {
    for (mode_t mode : {0600, 0640, 0604}) {
        fs::remove_all(dir.path());
        fs::create_directories(dir.path());
        WriteAll(dir.file("a"), PatternBytes(20000));
        ASSERT_EQ(chmod(dir.file("a").c_str(), mode), 0);
        std::vector<mode_t> seen;  // modes of the temporary file while it is written
        auto watch = [&](int64_t, int64_t, int64_t, double) {
            for (const auto& e : fs::directory_iterator(dir.path()))
                if (e.path().filename().string().rfind(".tellvane-", 0) == 0) seen.push_back(ModeOf(e.path().string()));
        };
        TEncrypt enc;
        enc.Algo = FindAlgorithmBySign("RIJ");
        enc.Password = "pw";
        enc.DeleteSourceFiles = true;
        enc.OnProgress = watch;
        enc.Work(dir.file("a"));
        EXPECT_EQ(ModeOf(dir.file("a.enc")), mode);
        ASSERT_EQ(chmod(dir.file("a.enc").c_str(), mode), 0);
        TDecrypt dec;
        dec.Password = "pw";
        dec.DeleteSourceFiles = true;
        dec.OnProgress = watch;
        dec.Work(dir.file("a.enc"));
        EXPECT_EQ(ModeOf(dir.file("a")), mode);
        EXPECT_EQ(ReadAll(dir.file("a")), PatternBytes(20000));
        ASSERT_FALSE(seen.empty());
        for (mode_t m : seen) EXPECT_EQ(m, mode) << std::oct << m;
    }
}

// The source changes after it was read: appended to, or replaced by rename as editors save. The output is kept, and so is the source; the file is reported, not counted.
TEST_F(SafeOutputsTest, SourceThatChangesDuringTheRunIsKeptAndReported) {
    const std::function<void(const std::string&)> changes[] = {
        [](const std::string& path) { std::ofstream(path, std::ios::app) << "one more line\n"; },
        [](const std::string& path) {
            test::WriteText(path + ".new", "saved by an editor");
            fs::rename(path + ".new", path);
        },
        // A link now: neither it nor its target is overwritten or removed.
        [](const std::string& path) {
            test::WriteText(path + ".target", "elsewhere");
            fs::remove(path);
            fs::create_symlink(path + ".target", path);
        },
    };
    // Deleted only, or overwritten first: a source that changed is kept all the same, untouched.
    const TShredAlgorithm zeros(FindShredMethod("TZeroPass"));
    for (const TShredAlgorithm* wipe : {static_cast<const TShredAlgorithm*>(nullptr), &zeros})
    for (const auto& change : changes) {
        fs::remove_all(dir.path());
        fs::create_directories(dir.path());
        WriteAll(dir.file("a"), PatternBytes(5000));
        const auto before = ReadAll(dir.file("a"));
        TEncrypt enc;
        enc.Algo = FindAlgorithmBySign("CS2");
        enc.Password = "pw";
        enc.DeleteSourceFiles = true;
        enc.WipeSourceWith = wipe;
        // After the whole source was read and written out, before the output is renamed into place.
        SetFileCallHook([&](const std::string& call, const std::string&) {
            if (call == "rename") change(dir.file("a"));
            return 0;
        });
        host.completions.clear();
        const std::string done = Run(enc, {dir.file("a")});
        EXPECT_EQ(done, "Encryption completed|0 file was encrypted");
        ASSERT_EQ(notCompleted.size(), 1u);
        EXPECT_EQ(notCompleted[0].reason, dir.file("a") + " changed while it was being processed; it was kept");
        EXPECT_TRUE(PathExists(dir.file("a")));
        const auto after = ReadAll(dir.file("a"));
        EXPECT_NE(after, before);
        EXPECT_TRUE(std::any_of(after.begin(), after.end(), [](uint8_t b) { return b != 0; }));  // not overwritten
        EXPECT_TRUE(FileExists(dir.file("a.enc")));
    }
}

// A run that wipes its sources warns once about a copy-on-write file system, as a shred run does;
// one that only deletes them does not.
TEST_F(SafeOutputsTest, WipingRunWarnsOnceAboutCopyOnWrite) {
    SetFileSystemTypeHook([](const std::string&) -> std::optional<long> { return 0x9123683E; });  // btrfs
    const TShredAlgorithm zeros(FindShredMethod("TZeroPass"));
    for (const TShredAlgorithm* wipe : {static_cast<const TShredAlgorithm*>(nullptr), &zeros}) {
        fs::remove_all(dir.path());
        fs::create_directories(dir.path());
        WriteAll(dir.file("a"), PatternBytes(100));
        WriteAll(dir.file("b"), PatternBytes(100, 2));
        TEncrypt enc;
        enc.Algo = FindAlgorithmBySign("IDE");
        enc.Password = "pw";
        enc.DeleteSourceFiles = true;
        enc.WipeSourceWith = wipe;
        host.messages.clear();
        EXPECT_EQ(Run(enc, {dir.file("a"), dir.file("b")}), "Encryption completed|2 files were encrypted");
        const auto told = std::count_if(host.messages.begin(), host.messages.end(), [](const std::string& m) {
            return m.find("(copy-on-write)") != std::string::npos;
        });
        EXPECT_EQ(told, wipe ? 1 : 0);
    }
    SetFileSystemTypeHook({});
}

TEST_F(SafeOutputsTest, FailedDeletionIsReportedAndTheRunGoesOn) {
    WriteAll(dir.file("a"), PatternBytes(100));
    WriteAll(dir.file("b"), PatternBytes(100, 2));
    SetFileCallHook([&](const std::string& call, const std::string& path) {
        return call == "unlink" && path == dir.file("a") ? EACCES : 0;
    });
    TEncrypt enc;
    enc.Algo = FindAlgorithmBySign("IDE");
    enc.Password = "pw";
    enc.DeleteSourceFiles = true;
    EXPECT_EQ(Run(enc, {dir.file("a"), dir.file("b")}), "Encryption completed|1 file was encrypted");
    ASSERT_EQ(notCompleted.size(), 1u);
    EXPECT_EQ(notCompleted[0].fileName, dir.file("a"));
    EXPECT_EQ(notCompleted[0].reason.rfind("Cannot delete " + dir.file("a") + ". ", 0), 0u) << notCompleted[0].reason;
    EXPECT_TRUE(host.messages.empty());  // listed in the summary instead
    EXPECT_TRUE(FileExists(dir.file("a")));
    EXPECT_FALSE(FileExists(dir.file("b")));
}

TEST_F(SafeOutputsTest, OtherHardLinksAreToldOnceAndTheFileIsDone) {
    WriteAll(dir.file("a"), PatternBytes(100));
    ASSERT_EQ(link(dir.file("a").c_str(), dir.file("other").c_str()), 0);
    TEncrypt enc;
    enc.Algo = FindAlgorithmBySign("RC5");
    enc.Password = "pw";
    enc.DeleteSourceFiles = true;
    EXPECT_EQ(Run(enc, {dir.file("a")}), "Encryption completed|1 file was encrypted");
    ASSERT_EQ(notCompleted.size(), 1u);
    EXPECT_TRUE(notCompleted[0].noteOnly);
    EXPECT_EQ(notCompleted[0].reason, dir.file("a") + " has other names (hard links); the file still exists under them");
    EXPECT_FALSE(PathExists(dir.file("a")));
    EXPECT_EQ(ReadAll(dir.file("other")), PatternBytes(100));
}

// A run deletes its sources in batches, each after one flush of the outputs' file system; stopped
// at any call of a batch (every later call fails, as after a power cut), every file is still there
// as its source or as an output that was flushed.
TEST_F(SafeOutputsTest, SourcesGoInBatchesAfterTheirOutputsAreFlushedAndAStopAnywhereLosesNone) {
    // Runs encryption with deletion over COUNT files; calls from number STOPAT on fail. The calls.
    const auto run = [&](int count, size_t stopAt) {
        fs::remove_all(dir.path());
        fs::create_directories(dir.path() / "sub");
        std::vector<std::string> files;
        for (int i = 0; i < count; ++i) {
            files.push_back(dir.file((i % 2 ? "sub/f" : "f") + std::to_string(i)));
            WriteAll(files.back(), PatternBytes(100, i));
        }
        std::vector<std::string> calls;
        SetFileCallHook([&](const std::string& call, const std::string& path) {
            if (call == "open") return 0;
            calls.push_back(call + " " + path);
            return calls.size() > stopAt ? EIO : 0;
        });
        TEncrypt enc;
        enc.Algo = FindAlgorithmBySign("BFS");
        enc.Password = "pw";
        enc.DeleteSourceFiles = true;
        host.completions.clear();
        Run(enc, files);
        SetFileCallHook({});
        return std::make_pair(files, calls);
    };
    // Whether FILE's output was renamed into place and a flush followed, both before STOPAT.
    const auto flushed = [](const std::vector<std::string>& calls, const std::string& file, size_t stopAt) {
        const auto renamed = std::find(calls.begin(), calls.end(), "rename " + file + ".enc");
        const auto limit = calls.begin() + static_cast<std::ptrdiff_t>(std::min(stopAt, calls.size()));
        return renamed < limit && std::any_of(renamed, limit, [](const std::string& c) { return c.rfind("syncfs ", 0) == 0; });
    };

    const auto [files, calls] = run(70, SIZE_MAX);
    EXPECT_EQ(std::count_if(calls.begin(), calls.end(), [](const std::string& c) { return c.rfind("syncfs ", 0) == 0; }), 2)
        << "a batch of 64 and the rest: one flush each (both folders lie on one file system)";
    for (size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].rfind("unlink ", 0) != 0) continue;
        EXPECT_TRUE(flushed({calls.begin(), calls.begin() + static_cast<std::ptrdiff_t>(i)}, calls[i].substr(7), i)) << calls[i];
    }
    for (const std::string& file : files) EXPECT_TRUE(!PathExists(file) && FileExists(file + ".enc")) << file;

    const size_t callsOfFive = run(5, SIZE_MAX).second.size();
    for (size_t stopAt = 0; stopAt <= callsOfFive; ++stopAt) {
        const auto [stopped, log] = run(5, stopAt);
        for (const std::string& file : stopped)
            EXPECT_TRUE(FileExists(file) || (FileExists(file + ".enc") && flushed(log, file, stopAt)))
                << file << " stopped at call " << stopAt;
    }
}

// Four files whose outputs exist, answered Yes, No, Yes to all (the fourth is not asked), then a
// run answered No to all.
TEST_F(SafeOutputsTest, ExistingOutputIsReplacedOnlyWhenTheUserSaysSo) {
    std::vector<std::string> files;
    for (const char* name : {"p", "q", "r", "s"}) {
        files.push_back(dir.file(name));
        WriteAll(files.back(), PatternBytes(700, name[0]));
        test::WriteText(files.back() + ".enc", std::string("unrelated ") + name);
    }
    TEncrypt enc;
    enc.Algo = FindAlgorithmBySign("SER");
    enc.Password = "pw";
    enc.DeleteSourceFiles = true;
    host.replaceAnswers = {TReplaceAnswer::raYes, TReplaceAnswer::raNo, TReplaceAnswer::raYesToAll};
    EXPECT_EQ(Run(enc, files), "Encryption completed|3 files were encrypted");
    ASSERT_EQ(host.replaceQuestions.size(), 3u);
    EXPECT_EQ(host.replaceQuestions[1], dir.file("q.enc") + " already exists. Replace it?");
    ASSERT_EQ(notCompleted.size(), 1u);
    EXPECT_EQ(notCompleted[0].fileName, dir.file("q"));
    EXPECT_EQ(notCompleted[0].reason, dir.file("q.enc") + " already exists and was not replaced");
    EXPECT_TRUE(host.messages.empty());  // the user chose: no message box for it
    const std::string unrelated = "unrelated q";
    EXPECT_EQ(ReadAll(dir.file("q.enc")), std::vector<uint8_t>(unrelated.begin(), unrelated.end()));
    EXPECT_TRUE(FileExists(dir.file("q")));
    for (const char* kept : {"p", "r", "s"}) EXPECT_FALSE(FileExists(dir.file(kept))) << kept;

    for (const char* name : {"p", "r"}) WriteAll(dir.file(name), PatternBytes(10, name[0]));
    host.replaceQuestions.clear();
    host.replaceAnswers = {TReplaceAnswer::raNoToAll};
    host.completions.clear();
    EXPECT_EQ(Run(enc, {dir.file("p"), dir.file("r")}), "Encryption completed|0 file was encrypted");
    EXPECT_EQ(host.replaceQuestions.size(), 1u);
    EXPECT_EQ(notCompleted.size(), 2u);
}

// A file that takes the output's name while the output is written is not replaced either.
TEST_F(SafeOutputsTest, FileAppearingUnderTheOutputsNameMeanwhileIsNotReplaced) {
    WriteAll(dir.file("a"), PatternBytes(3000));
    SetFileCallHook([&](const std::string& call, const std::string&) {
        if (call == "rename") test::WriteText(dir.file("a.enc"), "arrived meanwhile");
        return 0;
    });
    TEncrypt enc;
    enc.Algo = FindAlgorithmBySign("TEA");
    enc.Password = "pw";
    enc.DeleteSourceFiles = true;
    EXPECT_EQ(Run(enc, {dir.file("a")}), "Encryption completed|0 file was encrypted");
    EXPECT_TRUE(host.replaceQuestions.empty());
    ASSERT_EQ(notCompleted.size(), 1u);
    EXPECT_EQ(notCompleted[0].reason, dir.file("a.enc") + " already exists and was not replaced");
    EXPECT_EQ(test::ReadText(dir.file("a.enc")), "arrived meanwhile");
    EXPECT_EQ(ReadAll(dir.file("a")), PatternBytes(3000));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);  // no temporary left
}

// Two .enc files that store one name, decrypted together with deletion: the second does not
// replace what the first restored, and both survive where the user can see them.
TEST_F(SafeOutputsTest, TwoEncFilesOfOneStoredNameBothSurvive) {
    fs::create_directories(dir.path() / "v1");
    WriteAll(dir.file("v1/a"), PatternBytes(500, 1));
    Encrypt(dir.file("v1/a"));
    fs::rename(dir.file("v1/a.enc"), dir.file("a.enc"));
    WriteAll(dir.file("v1/a"), PatternBytes(600, 2));
    Encrypt(dir.file("v1/a"));
    fs::rename(dir.file("v1/a.enc"), dir.file("b.enc"));
    TDecrypt dec;
    dec.Password = "pw";
    dec.DeleteSourceFiles = true;
    EXPECT_EQ(Run(dec, {dir.file("a.enc"), dir.file("b.enc")}), "Decryption completed|1 file was decrypted");
    EXPECT_EQ(host.replaceQuestions, std::vector<std::string>{dir.file("a") + " already exists. Replace it?"});
    EXPECT_EQ(ReadAll(dir.file("a")), PatternBytes(500, 1));
    EXPECT_FALSE(PathExists(dir.file("a.enc")));
    EXPECT_TRUE(FileExists(dir.file("b.enc")));
}

// Only files really done are counted: two good files and one whose pass phrase was declined.
TEST_F(SafeOutputsTest, DeclinedPassPhraseIsListedQuietlyAndNotCounted) {
    for (const char* name : {"x", "y"}) {
        WriteAll(dir.file(name), PatternBytes(300, name[0]));
        Encrypt(dir.file(name), "right", true);
    }
    WriteAll(dir.file("z"), PatternBytes(300));
    Encrypt(dir.file("z"), "other", true);
    TDecrypt dec;
    dec.Password = "right";
    EXPECT_EQ(Run(dec, {dir.file("x.enc"), dir.file("z.enc"), dir.file("y.enc")}),
              "Decryption completed|2 files were decrypted");
    ASSERT_EQ(notCompleted.size(), 1u);
    EXPECT_EQ(notCompleted[0].fileName, dir.file("z.enc"));
    EXPECT_EQ(notCompleted[0].reason, dir.file("z.enc") + " was not decrypted: no valid password was given");
    EXPECT_TRUE(host.messages.empty());
    EXPECT_FALSE(PathExists(dir.file("z")));
}

}  // namespace
}  // namespace tellvane
