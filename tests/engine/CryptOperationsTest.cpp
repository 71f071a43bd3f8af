// The encrypt and decrypt operations: choice of cipher by signature, the user told of files
// without one, deletion of sources only after a complete pass, and a new password carried to the
// next files of a run.
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

#include "crypto/CipherFactory.h"
#include "crypto/CryptoAlgorithms.h"
#include "crypto/EncFileIO.h"
#include "crypto/EncLayer.h"
#include "engine/CipherRunFixture.h"
#include "engine/Operations.h"
#include "engine/PendingFiles.h"
#include "engine/ProgressReadouts.h"
#include "engine/RunRegistry.h"
#include "engine/WorkerTestHost.h"
#include "platform/AppFolders.h"
#include "platform/FileSystem.h"
#include "support/TestSupport.h"

namespace tellvane {
namespace {

namespace fs = std::filesystem;
using test::PatternBytes;
using test::ReadAll;
using test::TempDir;
using test::WriteAll;

class CryptOperationsTest : public test::CipherRunFixture {
protected:
    std::vector<std::string> Listing() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir.path())) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    void EncryptOne(const std::string& file, const std::string& sign, const std::string& password) {
        TEncrypt enc;
        enc.Algo = FindAlgorithmBySign(sign);
        enc.Password = password;
        enc.Work(file);
    }

    test::WorkerTestHost host;
};

TEST_F(CryptOperationsTest, EncryptDeletesTheSourceOnlyAfterACompletePass) {
    WriteAll(dir.file("a"), PatternBytes(5000));
    TEncrypt enc;
    enc.Algo = FindAlgorithmBySign("BFS");
    enc.Password = "pw";
    enc.DeleteSourceFiles = true;
    int checks = 0;
    enc.OnHalt = [&] { return ++checks >= 30; };  // a halt, once asked for, stays
    enc.Work(dir.file("a"));
    EXPECT_EQ(Listing(), (std::vector<std::string>{"a"}));  // halted: source kept, no partial output

    enc.OnHalt = nullptr;
    enc.Work(dir.file("a"));
    EXPECT_EQ(Listing(), (std::vector<std::string>{"a.enc"}));

    TEncrypt unset;
    EXPECT_THROW(unset.Work(dir.file("a.enc")), std::logic_error);
}

TEST_F(CryptOperationsTest, DecryptFindsTheCipherBySignatureAndDeletesAfterCompletion) {
    WriteAll(dir.file("a"), PatternBytes(777));
    EncryptOne(dir.file("a"), "MAR", "pw");
    fs::remove(dir.file("a"));
    TDecrypt dec;
    dec.Password = "pw";
    dec.DeleteSourceFiles = true;
    dec.Work(dir.file("a.enc"));
    EXPECT_EQ(dec.Algo, FindAlgorithmBySign("MAR"));
    EXPECT_EQ(Listing(), (std::vector<std::string>{"a"}));
    EXPECT_EQ(ReadAll(dir.file("a")), PatternBytes(777));
}

TEST_F(CryptOperationsTest, DeclinedPasswordKeepsTheSourceEvenWhenDeletionIsAsked) {
    WriteAll(dir.file("a"), PatternBytes(10));
    EncryptOne(dir.file("a"), "TEA", "right");
    fs::remove(dir.file("a"));
    TDecrypt dec;
    dec.Password = "wrong";
    dec.DeleteSourceFiles = true;
    int prompts = 0;
    dec.OnInvalidPassword = [&](const std::string&, std::string&) { return ++prompts, false; };
    EXPECT_THROW(dec.Work(dir.file("a.enc")), EFileSkipped);
    EXPECT_EQ(prompts, 1);
    EXPECT_EQ(Listing(), (std::vector<std::string>{"a.enc"}));
    EXPECT_EQ(dec.Password, "wrong");
}

// Unknown, short and empty files, and a cascade signature with no cipher behind it: each skipped
// with the message the user sees at once, and left as it was.
TEST_F(CryptOperationsTest, FilesWithoutAKnownSignatureAreSkippedAndToldAtOnce) {
    test::WriteText(dir.file("plain.txt"), "not encrypted");
    test::WriteText(dir.file("two"), "RI");
    test::WriteText(dir.file("empty"), "");
    test::WriteText(dir.file("odd.enc"), "ALLxxxxxxxxxxxxxxxxx");
    TDecrypt dec;
    dec.Password = "pw";
    dec.DeleteSourceFiles = true;
    for (const char* name : {"plain.txt", "two", "empty", "odd.enc"}) {
        try {
            dec.Work(dir.file(name));
            ADD_FAILURE() << name << " was not skipped";
        } catch (const EFileSkipped& e) {
            EXPECT_EQ(e.what(), "Encryption algorithm for " + dir.file(name) + " not found");
            EXPECT_EQ(e.Notice, TSkipNotice::AtOnce) << name;
        }
    }
    EXPECT_EQ(Listing(), (std::vector<std::string>{"empty", "odd.enc", "plain.txt", "two"}));
    // A file that cannot be opened is a failure of that file, left to the worker.
    EXPECT_THROW(dec.FindAlgorithm(dir.file("missing")), EFileError);
}

TEST_F(CryptOperationsTest, UnsafeStoredNameIsReportedAndSkipped) {
    // A name above the folder that nothing else uses, derived from the folder's own random name.
    const std::string escape = dir.path().filename().string() + "-escaped";
    test::WriteText(dir.file("payload"), "evil");
    {
        auto cipher = CreateCipher("RC2");
        TInputFile in(dir.file("payload"));
        TOutputFile out(dir.file("x.enc"));
        ASSERT_TRUE(EncryptLayer(*cipher, "RC2", "pw", in, "../" + escape, out, nullptr, nullptr, 1));
        out.Commit();
    }
    fs::remove(dir.file("payload"));
    TDecrypt dec;
    dec.Password = "pw";
    dec.DeleteSourceFiles = true;
    try {
        dec.Work(dir.file("x.enc"));
        ADD_FAILURE() << "not skipped";
    } catch (const EFileSkipped& e) {
        EXPECT_EQ(e.what(), "The name stored in " + dir.file("x.enc") + " is not a plain file name; the file was skipped");
        EXPECT_EQ(e.Notice, TSkipNotice::InSummary);
    }
    EXPECT_EQ(Listing(), (std::vector<std::string>{"x.enc"}));
    EXPECT_FALSE(PathExists((dir.path().parent_path() / escape).string()));
}

// A whole run through the worker: the prompt on the user-interface thread, the new password
// tried first on the next file, files without a signature told and skipped.
TEST_F(CryptOperationsTest, RunCarriesANewPasswordToTheNextFiles) {
    fs::create_directories(dir.path() / "sel");
    for (const char* name : {"sel/one", "sel/two", "sel/three"}) {
        WriteAll(dir.file(name), PatternBytes(3000, name[4]));
        EncryptOne(dir.file(name), "RIJ", "new");
        fs::remove(dir.file(name));
    }
    test::WriteText(dir.file("sel/readme"), "x");
    TDecrypt dec;
    dec.Password = "old";
    dec.DeleteSourceFiles = true;
    host.passwordAnswers = {"new"};
    PendingFiles() = {dir.file("sel")};
    StartOperation(dec, {TItemType::itFile});
    ASSERT_TRUE(host.ServeUntilDone());
    EXPECT_TRUE(host.errors.empty()) << host.errors.front();
    EXPECT_EQ(host.passwordLabels.size(), 1u);
    EXPECT_EQ(dec.Password, "new");
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], "Encryption algorithm for " + dir.file("sel/readme") + " not found");
    for (const char* name : {"sel/one", "sel/two", "sel/three"}) EXPECT_EQ(ReadAll(dir.file(name)), PatternBytes(3000, name[4]));
    EXPECT_FALSE(PathExists(dir.file("sel/one.enc")));
}

TEST_F(CryptOperationsTest, RunOfAllAtOnceRoundTrips) {
    WriteAll(dir.file("f"), PatternBytes(9999));
    TEncrypt enc;
    enc.Algo = AlgorithmList()[AllAtOnceIndex].get();
    enc.Password = "pw";
    enc.DeleteSourceFiles = true;
    SetAlgorithmPassCount(18);
    PendingFiles() = {dir.file("f")};
    StartOperation(enc, {TItemType::itFile});
    ASSERT_TRUE(host.ServeUntilDone());
    SetAlgorithmPassCount(1);
    EXPECT_EQ(Listing(), (std::vector<std::string>{"f.enc"}));

    TDecrypt dec;
    dec.Password = "pw";
    PendingFiles() = {dir.file("f.enc")};
    StartOperation(dec, {TItemType::itFile});
    ASSERT_TRUE(host.ServeUntilDone());
    EXPECT_TRUE(host.errors.empty());
    EXPECT_EQ(ReadAll(dir.file("f")), PatternBytes(9999));
}

// Every layer of an "All at once" file counts as its share of the file: the bar climbs through
// all eighteen and is full only at the end, and the estimate never balloons on the way.
TEST_F(CryptOperationsTest, AllAtOnceDecryptionProgressSpansEveryLayer) {
    WriteAll(dir.file("f"), PatternBytes(400000));
    SetAlgorithmPassCount(18);
    EncryptOne(dir.file("f"), "ALL", "pw");
    SetAlgorithmPassCount(1);
    ASSERT_TRUE(DeleteFile(dir.file("f")));
    // Single-cipher files keep one layer: the same read-outs, for comparison.
    WriteAll(dir.file("g"), PatternBytes(400000, 3));
    EncryptOne(dir.file("g"), "TFS", "pw");
    ASSERT_TRUE(DeleteFile(dir.file("g")));

    for (const char* name : {"f.enc", "g.enc"}) {
        SCOPED_TRACE(name);
        TDecrypt dec;
        dec.Password = "pw";
        PendingFiles() = {dir.file(name)};
        StartOperation(dec, {TItemType::itFile});
        // The worker waits for the first served step, so every report is seen from here on.
        std::vector<TProgressView> views;
        std::vector<double> estimates;
        const auto report = dec.OnProgress;
        dec.OnProgress = [&](int64_t d, int64_t t, int64_t p, double s) {
            report(d, t, p, s);
            views.push_back(ReadProgressView());
            estimates.push_back(GetEstimatedTime() * 86400.0);
        };
        ASSERT_TRUE(host.ServeUntilDone());
        ASSERT_TRUE(host.errors.empty());
        ASSERT_GE(views.size(), 100u);
        int previous = 0;
        size_t firstFull = views.size();
        for (size_t i = 0; i < views.size(); ++i) {
            EXPECT_GE(views[i].allFilesPercent, previous) << "report " << i;
            previous = views[i].allFilesPercent;
            if (previous >= 99 && firstFull == views.size()) firstFull = i;
            // Never the balloon of a layer that counts for nothing (days for a second's work).
            EXPECT_LT(estimates[i], 86400.0) << "report " << i << ": " << views[i].estimatedText;
        }
        EXPECT_GE(views.back().allFilesPercent, 99);
        // Full only within the last layer's reports (a layer reports about a hundred times).
        EXPECT_GE(firstFull + 110, views.size());
        if (std::string(name) == "f.enc") {
            EXPECT_GE(views.size(), 18u * 100u);
            EXPECT_LT(views[views.size() / 2].allFilesPercent, 60);
            EXPECT_GT(views[views.size() / 2].allFilesPercent, 40);
        }
    }
    EXPECT_EQ(ReadAll(dir.file("f")), PatternBytes(400000));
    EXPECT_EQ(ReadAll(dir.file("g")), PatternBytes(400000, 3));
}

}  // namespace
}  // namespace tellvane
