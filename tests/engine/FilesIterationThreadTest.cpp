// The worker: how a selection becomes the run's list, how a run ends, and its progress figures.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <filesystem>
#include <functional>
#include <map>

#include "engine/FilesIterationThread.h"
#include "engine/PendingFiles.h"
#include "engine/ProgressReadouts.h"
#include "engine/RunRegistry.h"
#include "engine/WorkerTestHost.h"
#include "platform/FileSystem.h"
#include "support/TestSupport.h"

namespace tellvane {
namespace {

using test::TempDir;
using test::WorkerTestHost;
using test::WriteText;

// Records the entries it is given; can fail on one entry or wait for a halt.
class RecordingOperation : public TOperation {
public:
    void Work(const std::string& fileName) override {
        worked.push_back(fileName);
        if (auto it = failures.find(fileName); it != failures.end()) it->second(fileName);
        if (waitForHalt) {
            started = true;
            while (!OnHalt()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    std::string GetCompleteHeader() const override { return "Done"; }
    std::string GetCompleteText() const override { return "encrypted"; }

    std::vector<std::string> worked;
    std::map<std::string, std::function<void(const std::string&)>> failures;  // by entry
    bool waitForHalt = false;
    std::atomic<bool> started{false};
};

class WorkerTest : public ::testing::Test {
protected:
    void SetUp() override { PendingFiles().clear(); }
    void TearDown() override { PendingFiles().clear(); }

    std::string MakeFile(const std::string& rel, const std::string& content = "x") {
        std::filesystem::path p = dir.path() / rel;
        std::filesystem::create_directories(p.parent_path());
        WriteText(p.string(), content);
        return p.string();
    }

    // Starts a run of the waiting operation and presses Cancel as soon as its Work has begun.
    bool RunAndCancelOnceStarted() {
        op.waitForHalt = true;
        StartOperation(op, {TItemType::itFile});
        bool cancelled = false;
        return host.ServeUntilDone(std::chrono::seconds(20), [&] {
            if (op.started && !cancelled) {
                cancelled = true;
                CancelOperation();
            }
        });
    }

    // The list a run with ITEMS would build, without starting a thread.
    std::vector<std::string> Prepare(TItemsSet items) {
        TFilesIterationThread worker(op, std::move(items), host);
        worker.PrepareFilesToOperate();
        return worker.FilesToOperate();
    }

    TempDir dir;
    WorkerTestHost host;
    RecordingOperation op;
};

TEST_F(WorkerTest, PendingFoldersAreExpandedLastToFirstAndAppended) {
    std::string a1 = MakeFile("A/a1");
    std::string b1 = MakeFile("B/b1");
    std::string bsub = MakeFile("B/sub/b2");
    std::string f = MakeFile("f");
    std::string missing = dir.file("missing");
    PendingFiles() = {dir.file("A"), f, dir.file("B"), missing};
    auto list = Prepare({TItemType::itFile});
    // Folder entries leave the list; the last folder listed is expanded first; a missing entry stays.
    ASSERT_EQ(list.size(), 5u);
    EXPECT_EQ(list[0], f);
    EXPECT_EQ(list[1], missing);
    std::vector<std::string> bFiles(list.begin() + 2, list.begin() + 4);
    std::sort(bFiles.begin(), bFiles.end());
    EXPECT_EQ(bFiles, (std::vector<std::string>{b1, bsub}));
    EXPECT_EQ(list[4], a1);
}

TEST_F(WorkerTest, FilesFoundAreCountedWhileTheListIsBuilt) {
    MakeFile("sel/a");
    MakeFile("sel/sub/b");
    MakeFile("sel/sub/c");
    PendingFiles() = {dir.file("sel")};
    TFilesIterationThread worker(op, {TItemType::itFile}, host);
    int64_t countBeforeTheTree = -1;
    host.onDriveTree = [&] { countBeforeTheTree = worker.FilesCount(); };
    worker.PrepareFilesToOperate();
    EXPECT_EQ(countBeforeTheTree, 3);
    EXPECT_EQ(worker.FilesCount(), 3);
}

TEST_F(WorkerTest, HideRunTakesFoldersWholeAndKeepsDuplicates) {
    std::string f = MakeFile("Docs/a.txt");
    PendingFiles() = {dir.file("Docs"), f, f};
    auto list = Prepare({TItemType::itFile, TItemType::itFolder, TItemType::itDrive});
    EXPECT_EQ(list, (std::vector<std::string>{dir.file("Docs"), f, f}));
}

TEST_F(WorkerTest, FolderWalkListsLinksAsThemselvesAndNeverEntersThem) {
    std::string inside = MakeFile("sel/a");
    MakeFile("outside/secret");
    std::filesystem::create_directory_symlink(dir.path() / "outside", dir.path() / "sel" / "link");
    // A link to a folder named directly is not expanded either.
    std::filesystem::create_directory_symlink(dir.path() / "outside", dir.path() / "named");
    PendingFiles() = {dir.file("sel"), dir.file("named")};
    auto list = Prepare({TItemType::itFile});
    std::sort(list.begin(), list.end());
    EXPECT_EQ(list, (std::vector<std::string>{dir.file("named"), inside, dir.file("sel/link")}));
}

TEST_F(WorkerTest, TreeMarksSelectFiles) {
    std::string a = MakeFile("Docs/a.txt");
    MakeFile("Docs/b.txt");
    std::string deep = MakeFile("Never/x/deep.bin");
    std::string top = MakeFile("top.enc");
    TDriveTree tree;
    TTreeNode* drive = tree.AddDrive(dir.path().string(), niHardDisk);
    drive->StateIndex = nsPartlyChecked;
    // A listed folder, partly checked: only its checked file counts.
    TTreeNode* docs = drive->AddChild("Docs", niFolder, nsPartlyChecked);
    docs->AddChild("a.txt", niDocument, nsChecked);
    docs->AddChild("b.txt", niDocument, nsUnchecked);
    // A checked folder never opened: every file below it on disk.
    TTreeNode* never = drive->AddChild("Never", niFolder, nsChecked);
    never->AddPlaceholder(nsChecked);
    drive->AddChild("top.enc", niDocument, nsChecked);
    // An unchecked folder adds nothing; a real file named like the placeholder is a file.
    drive->AddChild("Other", niFolder, nsUnchecked);
    std::string named = MakeFile(DummyNodeText);
    drive->AddChild(DummyNodeText, niDocument, nsChecked);
    host.tree = &tree;
    EXPECT_EQ(Prepare({TItemType::itFile}), (std::vector<std::string>{a, deep, top, named}));
}

// A root that ends in "/" (as "/" itself does) gives paths with one separator after it.
TEST_F(WorkerTest, CheckedRootEndingInASeparatorGivesNoDoubledSeparator) {
    std::string f = MakeFile("d/f");
    TDriveTree tree;
    TTreeNode* drive = tree.AddDrive(dir.path().string() + "/", niHardDisk);
    drive->StateIndex = nsChecked;
    drive->AddPlaceholder(nsChecked);
    host.tree = &tree;
    EXPECT_EQ(Prepare({TItemType::itFile}), (std::vector<std::string>{f}));
}

TEST_F(WorkerTest, CheckedListedFolderContributesOnlyTheNodesShown) {
    std::string shown = MakeFile("Enc/a.enc");
    MakeFile("Enc/plain.txt");  // filtered out of the tree, so not part of the run
    TDriveTree tree;
    TTreeNode* drive = tree.AddDrive(dir.path().string(), niHardDisk);
    drive->StateIndex = nsPartlyChecked;
    TTreeNode* enc = drive->AddChild("Enc", niFolder, nsChecked);
    enc->AddChild("a.enc", niDocument, nsChecked);
    host.tree = &tree;
    EXPECT_EQ(Prepare({TItemType::itFile}), (std::vector<std::string>{shown}));
}

TEST_F(WorkerTest, HideRunTakesCheckedDriveAndFolderNodesAsEntries) {
    MakeFile("Docs/a.txt");
    TDriveTree tree;
    TTreeNode* whole = tree.AddDrive("/media/usb", niRemovable);
    whole->StateIndex = nsChecked;
    TTreeNode* drive = tree.AddDrive(dir.path().string(), niHardDisk);
    drive->StateIndex = nsPartlyChecked;
    drive->AddChild("Docs", niFolder, nsChecked)->AddChild("a.txt", niDocument, nsChecked);
    host.tree = &tree;
    EXPECT_EQ(Prepare({TItemType::itFile, TItemType::itFolder, TItemType::itDrive}),
              (std::vector<std::string>{"/media/usb", dir.file("Docs")}));
}

TEST_F(WorkerTest, EmptySelectionCompletesWithSingularCountOfZero) {
    StartOperation(op, {TItemType::itFile});
    ASSERT_TRUE(host.ServeUntilDone());
    ASSERT_EQ(host.completions.size(), 1u);
    EXPECT_EQ(host.completions[0], "Done|0 file was encrypted");
    EXPECT_EQ(host.progressClosed, 1);
    EXPECT_TRUE(op.worked.empty());
}

TEST_F(WorkerTest, CompletionCountsEveryEntryWithPluralText) {
    std::string f = MakeFile("f");
    PendingFiles() = {f, f};
    StartOperation(op, {TItemType::itFile});
    ASSERT_TRUE(host.ServeUntilDone());
    EXPECT_EQ(op.worked, (std::vector<std::string>{f, f}));
    ASSERT_EQ(host.completions.size(), 1u);
    EXPECT_EQ(host.completions[0], "Done|2 files were encrypted");
    EXPECT_EQ(CompletionCountText(1, "shredded"), "1 file was shredded");
}

// Each failure of one file is listed once under that file and the run goes on; only the one a
// box must show at once is shown at once. The completion adds the count of entries not done.
TEST_F(WorkerTest, PerFileFailuresAreListedOnceAndTheRunGoesOn) {
    std::vector<std::string> files;
    for (const char* name : {"ok1", "cut", "gone", "link", "unknown", "ok2"}) files.push_back(MakeFile(name));
    struct Case {
        size_t index;
        std::function<void(const std::string&)> fail;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {1, [](const std::string&) { throw EFileError("Stream read error"); }, "Stream read error in " + files[1]},
        {2, [](const std::string& f) { throw EFileError(CannotOpenMessage(f, ENOENT)); }, CannotOpenMessage(files[2], ENOENT)},
        {3, [](const std::string& f) { throw ENotRegularFile(f, TEntryKind::Symlink); },
         files[3] + " is a symbolic link; it was skipped"},
        {4, [](const std::string& f) { throw EFileSkipped("no cipher for " + f, TSkipNotice::AtOnce); },
         "no cipher for " + files[4]},
    };
    for (const Case& c : cases) op.failures[files[c.index]] = c.fail;
    PendingFiles() = files;
    StartOperation(op, {TItemType::itFile});
    ASSERT_TRUE(host.ServeUntilDone());
    EXPECT_EQ(op.worked, files);
    EXPECT_TRUE(host.errors.empty()) << host.errors.front();
    EXPECT_EQ(host.messages, std::vector<std::string>{"no cipher for " + files[4]});
    ASSERT_EQ(host.summaries.size(), 1u);
    ASSERT_EQ(host.summaries[0].size(), cases.size());
    for (size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(host.summaries[0][i].fileName, files[cases[i].index]);
        EXPECT_EQ(host.summaries[0][i].reason, cases[i].reason);
    }
    EXPECT_EQ(host.completions, std::vector<std::string>{"Done|2 files were encrypted\n4 entries were not done"});
    EXPECT_EQ(NotDoneCountText(1), "1 entry was not done");
}

// What makes every further file impossible ends the run: the error is told, and the entry it
// met and every one after it are listed as not done.
TEST_F(WorkerTest, RunEndingErrorListsEveryEntryNotReached) {
    std::string a = MakeFile("a"), b = MakeFile("b"), c = MakeFile("c");
    PendingFiles() = {a, b, c};
    op.failures[b] = [](const std::string&) { throw ERunCannotGoOn("Cannot create file \"base.dat\""); };
    StartOperation(op, {TItemType::itFile});
    ASSERT_TRUE(host.ServeUntilDone());
    EXPECT_EQ(op.worked, (std::vector<std::string>{a, b}));
    EXPECT_TRUE(host.completions.empty());
    EXPECT_EQ(host.errors, std::vector<std::string>{"Cannot create file \"base.dat\""});
    ASSERT_EQ(host.summaries.size(), 1u);
    ASSERT_EQ(host.summaries[0].size(), 2u);
    EXPECT_EQ(host.summaries[0][0].reason, b + " was not done: the run ended before it");
    EXPECT_EQ(host.summaries[0][1].fileName, c);
    EXPECT_EQ(host.progressClosed, 1);
}

TEST_F(WorkerTest, CancelStopsBeforeTheNextEntryWithoutCompletion) {
    std::string a = MakeFile("a"), b = MakeFile("b");
    PendingFiles() = {a, b};
    ASSERT_TRUE(RunAndCancelOnceStarted());
    EXPECT_EQ(op.worked, (std::vector<std::string>{a}));
    EXPECT_TRUE(host.completions.empty());
    EXPECT_TRUE(host.errors.empty());
    // The file the halt interrupted and the one never reached.
    ASSERT_EQ(host.summaries.size(), 1u);
    ASSERT_EQ(host.summaries[0].size(), 2u);
    EXPECT_EQ(host.summaries[0][0].fileName, a);
    EXPECT_EQ(host.summaries[0][1].fileName, b);
    // Closed once, by Cancel; the worker's end does not close it again.
    EXPECT_EQ(host.progressClosed, 1);
}

TEST_F(WorkerTest, CancelDuringTheLastFileShowsNoCompletion) {
    PendingFiles() = {MakeFile("only")};
    ASSERT_TRUE(RunAndCancelOnceStarted());
    EXPECT_EQ(op.worked.size(), 1u);
    EXPECT_TRUE(host.completions.empty());
    EXPECT_EQ(host.progressClosed, 1);
}

TEST_F(WorkerTest, ShutdownStopsABusyRunServesItsLastCallAndJoinsIt) {
    PendingFiles() = {MakeFile("a"), MakeFile("b")};
    op.waitForHalt = true;
    std::weak_ptr<TFilesIterationThread> worker = StartOperation(op, {TItemType::itFile});
    for (int i = 0; i < 20000 && !op.started; ++i) host.ServeOnce(std::chrono::milliseconds(1));
    ASSERT_TRUE(op.started);
    // Closing the progress window needs this thread: the wait serves it, and the run's end wakes it.
    StopAndAwaitWorkers({[&] { host.ServeUntilWoken(); }, [&] { host.Wake(); }});
    EXPECT_EQ(RunningWorkerCount(), 0);
    EXPECT_TRUE(worker.expired());
    EXPECT_EQ(op.worked.size(), 1u);
    EXPECT_EQ(host.progressClosed, 1);
    EXPECT_TRUE(host.completions.empty());
}

TEST_F(WorkerTest, NewPasswordIsKeptForTheRestOfADecryptRun) {
    TDecrypt decrypt;
    decrypt.Password = "old";
    TFilesIterationThread worker(decrypt, {TItemType::itFile}, host);
    host.passwordAnswers = {"new"};
    std::string given;
    EXPECT_TRUE(worker.ReplacePassword("/some/folder/file.txt.enc", given));
    EXPECT_EQ(given, "new");
    EXPECT_EQ(decrypt.Password, "new");
    ASSERT_EQ(host.passwordLabels.size(), 1u);
    EXPECT_EQ(host.passwordLabels[0], "Enter vaild password for file.txt.enc");
    // Cancel in the prompt: no password, the operation's stays.
    EXPECT_FALSE(worker.ReplacePassword("/x.enc", given));
    EXPECT_EQ(decrypt.Password, "new");
}

TEST_F(WorkerTest, EstimateRoundsHalvesToEvenAndKeepsItForInstantChunks) {
    PendingFiles() = {MakeFile("f", std::string(1000, 'x'))};
    TFilesIterationThread worker(op, {TItemType::itFile}, host);
    worker.PrepareFilesToOperate();
    EXPECT_EQ(worker.AllFilesSize(), 1001);
    // 999 bytes left at 2 bytes/s: 499.5 s, rounded to the even 500.
    worker.ReportProgress(2, 1000, 2, 1.0);
    EXPECT_DOUBLE_EQ(worker.EstimatedTime(), 500.0 / 86400.0);
    // 997 bytes left: 498.5 s rounds to 498.
    worker.ReportProgress(4, 1000, 2, 1.0);
    EXPECT_DOUBLE_EQ(worker.EstimatedTime(), 498.0 / 86400.0);
    EXPECT_EQ(worker.AllFilesDoneSize(), 4);
    EXPECT_EQ(worker.CurrentFileDoneSize(), 4);
    EXPECT_EQ(worker.CurrentFileTotalSize(), 1000);
    // A chunk too fast to time keeps the previous estimate instead of dividing by zero.
    worker.ReportProgress(6, 1000, 2, 0.0);
    EXPECT_DOUBLE_EQ(worker.EstimatedTime(), 498.0 / 86400.0);
    // PartSize 0 (a 1-byte chunk over many passes) gives the tiny default speed.
    worker.ReportProgress(7, 1000, 0, 0.5);
    EXPECT_DOUBLE_EQ(worker.EstimatedTime(), std::nearbyint(995 / 0.000001) / 86400.0);
}

TEST_F(WorkerTest, UnreadableEntriesCountMinusOneInTheRunSize) {
    PendingFiles() = {MakeFile("f", "abc"), dir.file("gone")};
    TFilesIterationThread worker(op, {TItemType::itFile}, host);
    worker.PrepareFilesToOperate();
    EXPECT_EQ(worker.AllFilesSize(), 1 + 3 - 1);
}

TEST(ProgressReadouts, DefaultsWithoutAWorker) {
    ASSERT_EQ(ActiveIterationThread(), nullptr);
    EXPECT_EQ(GetElapsedTime(), 0);
    EXPECT_EQ(GetEstimatedTime(), 0);
    EXPECT_EQ(GetCurrentFileName(), "");
    EXPECT_EQ(GetCurrentFileNumber(), 0);
    EXPECT_EQ(GetFilesCount(), 0);
    EXPECT_EQ(GetAllFilesDoneSize(), 0);
    EXPECT_EQ(GetAllFilesSize(), 1);
    EXPECT_EQ(GetCurrentFileDoneSize(), 0);
    EXPECT_EQ(GetCurrentFileTotalSize(), 1);
    TProgressView v = ReadProgressView();
    EXPECT_EQ(v.elapsedText, "00:00:00");
    EXPECT_EQ(v.caption, "0% completed...");
    EXPECT_EQ(v.mainCaption, "Brevikon - 0% completed...");
    EXPECT_EQ(v.filesText, "0 of 0");
}

TEST(ProgressReadouts, PercentRoundsHalvesToEven) {
    EXPECT_EQ(PercentOf(1, 8), 12);   // 12.5
    EXPECT_EQ(PercentOf(3, 8), 38);   // 37.5
    EXPECT_EQ(PercentOf(5, 1), 500);  // a bar shows full above 100
    EXPECT_EQ(PercentOf(0, 1), 0);
}

}  // namespace
}  // namespace tellvane
