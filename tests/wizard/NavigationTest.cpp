// Paths and steps over the model window: creation and destruction, the wizard buttons, the
// main-password check, the end of a run and the guard against overlapping runs.
#include <atomic>

#include "WizardFixture.h"
#include "crypto/CryptoAlgorithms.h"
#include "engine/FilesIterationThread.h"
#include "engine/Operations.h"
#include "engine/PendingFiles.h"
#include "engine/RunRegistry.h"
#include "hide/HiddenConfig.h"
#include "wizard/EncryptPath.h"
#include "wizard/OperationPaths.h"

namespace tellvane::test {
namespace {

using Log = std::vector<std::string>;

// An operation that records its items; it can be held inside Work until released.
class TRecordingOp : public TOperation {
public:
    explicit TRecordingOp(std::atomic<bool>* gate = nullptr) : gate_(gate) {}
    void Work(const std::string& name) override {
        while (gate_ && !gate_->load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::lock_guard<std::mutex> guard(lock_);
        names.push_back(name);
    }
    std::string GetCompleteHeader() const override { return "Test completed"; }
    std::string GetCompleteText() const override { return "tested"; }
    std::vector<std::string> names;

private:
    std::atomic<bool>* gate_;
    std::mutex lock_;
};

TEST_F(WizardTest, OrdinaryPathIsSetUpAndTornDownInOrder) {
    wizard.OperationsListBoxClick(0);
    ASSERT_NE(wizard.CurrentPath(), nullptr);
    EXPECT_EQ(window.log, (Log{"NextVisible(1)", "BackVisible(1)", "ExitCaption(&Cancel)", "TreeRebuilt", "ShowPage(2)",
                              "Pictures", "StepTitle(Encrypting files - Step 1 of 2)", "Header", "Desc"}));
    EXPECT_EQ(window.picture, TSidePicture::spEncrypt);
    EXPECT_EQ(window.header, "Choose files, folders or drives to encrypt:");
    EXPECT_EQ(window.desc.substr(0, 40), "Choose files, folders and drives to encr");
    ASSERT_NE(Volume(), nullptr);

    window.log.clear();
    wizard.BackButtonClick();  // Back on the first step ends the path
    EXPECT_EQ(wizard.CurrentPath(), nullptr);
    EXPECT_EQ(window.log, (Log{"BackVisible(0)", "NextVisible(0)", "NextCaption(Next)", "ExitCaption(Exit)", "ShowPage(0)",
                              "StepTitle()"}));
    EXPECT_FALSE(window.nextVisible);
    EXPECT_FALSE(window.backVisible);
    EXPECT_FALSE(window.terminated);
}

TEST_F(WizardTest, NextOnTheTreePageNeedsACheckedNode) {
    WriteText(vol + "/a.txt", "a");
    wizard.OperationsListBoxClick(2);
    wizard.NextButtonClick();
    EXPECT_EQ(window.boxes, (std::vector<TBox>{{"info", "Please select some files"}}));
    EXPECT_EQ(window.page, wpChooseFiles);
    EXPECT_EQ(wizard.CurrentPath()->CurIndex(), 0);

    Check("a.txt");
    wizard.NextButtonClick();
    EXPECT_EQ(window.page, wpShredSettings);
    EXPECT_EQ(window.nextCaption, "Shred");
    EXPECT_EQ(window.stepTitle, "Shredding files - Step 2 of 2");
    EXPECT_EQ(wizard.CurrentPath()->CurIndex(), 1);

    // Back to the tree keeps the marks; Next there goes forward again.
    wizard.BackButtonClick();
    EXPECT_EQ(window.page, wpChooseFiles);
    EXPECT_EQ(window.nextCaption, "Next");
    EXPECT_EQ(window.stepTitle, "Shredding files - Step 1 of 2");
    // The file and its volume, whose only child it is.
    EXPECT_EQ(window.tree.SomeFilesSelected(), 2);
    wizard.NextButtonClick();
    EXPECT_EQ(window.page, wpShredSettings);
    EXPECT_EQ(window.boxes.size(), 1u);
}

TEST_F(WizardTest, ExitAbandonsAPathOrEndsTheProgram) {
    wizard.OperationsListBoxClick(1);
    EXPECT_EQ(window.exitCaption, "&Cancel");
    wizard.ExitButtonClick();
    EXPECT_EQ(wizard.CurrentPath(), nullptr);
    EXPECT_EQ(window.page, wpStart);
    EXPECT_EQ(window.exitCaption, "Exit");
    EXPECT_FALSE(window.terminated);
    EXPECT_EQ(window.progressShown, 0);

    wizard.ExitButtonClick();
    EXPECT_TRUE(window.terminated);
}

TEST_F(WizardTest, VerifyPasswordOnAnEmptyStoreTakesAnyText) {
    std::string real;
    window.mainPassAnswers = {std::string()};
    EXPECT_TRUE(TOperationPath::VerifyPassword(window, real));
    EXPECT_EQ(real, "");
    window.mainPassAnswers = {std::string("Secret")};
    EXPECT_TRUE(TOperationPath::VerifyPassword(window, real));
    EXPECT_EQ(real, "Secret");
    EXPECT_TRUE(window.boxes.empty());

    // A first password base.dat could not give back is refused as the change dialog refuses it.
    real.clear();
    window.mainPassAnswers = {std::string(2048, 'a'), std::string("two\nlines"), std::string("Fine")};
    EXPECT_TRUE(TOperationPath::VerifyPassword(window, real));
    EXPECT_EQ(real, "Fine");
    ASSERT_EQ(window.boxes.size(), 2u);
    EXPECT_EQ(window.boxes[0].text, THiddenConfig::PasswordStorageProblem(std::string(2048, 'a')));
    EXPECT_EQ(window.boxes[1].text, THiddenConfig::PasswordStorageProblem("two\nlines"));
}

TEST_F(WizardTest, VerifyPasswordLoopsUntilRightOrCancelled) {
    std::string real = "Secret";
    window.mainPassAnswers = {std::string("secret"), std::nullopt};
    EXPECT_FALSE(TOperationPath::VerifyPassword(window, real));
    EXPECT_EQ(window.boxes, (std::vector<TBox>{{"error", "You entered wrong password!"}}));
    EXPECT_EQ(real, "Secret");

    window.boxes.clear();
    window.mainPassAnswers = {std::string("x"), std::string("Secret "), std::string("Secret")};
    EXPECT_TRUE(TOperationPath::VerifyPassword(window, real));
    EXPECT_EQ(window.boxes.size(), 2u);
    EXPECT_EQ(window.mainPassShown, 5);
    EXPECT_EQ(real, "Secret");
}

TEST_F(WizardTest, RunsCompleteWithSingularTextForNoneAndOneItem) {
    for (int items : {0, 1, 2}) {
        PendingFiles().clear();
        for (int i = 0; i < items; ++i) PendingFiles().push_back(files.file("item" + std::to_string(i)));
        window.exitVisible = true;
        auto op = std::make_unique<TRecordingOp>();
        TRecordingOp* raw = op.get();
        ASSERT_TRUE(wizard.StartRun(std::move(op), {TItemType::itFile}));
        AwaitRun();
        EXPECT_EQ(raw->names.size(), static_cast<size_t>(items));
        EXPECT_EQ(window.page, wpCompletion);
        EXPECT_EQ(window.completionHeader, "Test completed");
        EXPECT_EQ(window.completionText, std::to_string(items) + (items < 2 ? " file was tested" : " files were tested"));
        EXPECT_FALSE(window.exitVisible);
        EXPECT_EQ(window.focus.back(), TFocusTarget::ftMainWindow);
        EXPECT_EQ(window.progressClosed, items + 1);
    }
    wizard.FinishButtonClick();
    EXPECT_EQ(window.page, wpStart);
    EXPECT_TRUE(window.exitVisible);
    EXPECT_FALSE(window.terminated);
}

TEST_F(WizardTest, RunStartedFromTheCommandLineEndsTheProgram) {
    WriteText(vol + "/a.txt", "a");
    wizard.OperationsListBoxClick(2);
    Check("a.txt");
    StartedFromCmdLine = true;
    ASSERT_TRUE(wizard.StartRun(std::make_unique<TRecordingOp>(), {TItemType::itFile}));
    AwaitRun();
    EXPECT_TRUE(window.terminated);
    EXPECT_EQ(wizard.CurrentPath(), nullptr);
    EXPECT_NE(window.page, wpCompletion);
    EXPECT_TRUE(window.completionHeader.empty());
}

TEST_F(WizardTest, NoSecondRunWhileOneIsActive) {
    WriteText(vol + "/a.txt", "a");
    wizard.OperationsListBoxClick(2);
    Check("a.txt");
    wizard.NextButtonClick();
    std::atomic<bool> gate{false};
    auto op = std::make_unique<TRecordingOp>(&gate);
    TRecordingOp* raw = op.get();
    ASSERT_TRUE(wizard.StartRun(std::move(op), {TItemType::itFile}));
    ui.PumpUntil([&] { return ActiveIterationThread() && ActiveIterationThread()->FilesCount() == 1; });
    EXPECT_TRUE(wizard.RunActive());

    EXPECT_FALSE(wizard.StartRun(std::make_unique<TRecordingOp>(), {TItemType::itFile}));
    wizard.NextButtonClick();
    wizard.BackButtonClick();
    wizard.ExitButtonClick();
    EXPECT_FALSE(wizard.TreeNodeClick(Volume()));
    EXPECT_EQ(window.progressShown, 1);
    EXPECT_EQ(window.page, wpShredSettings);
    ASSERT_NE(wizard.CurrentPath(), nullptr);
    EXPECT_EQ(wizard.CurrentPath()->CurIndex(), 1);

    gate = true;
    AwaitRun();
    EXPECT_EQ(raw->names, (std::vector<std::string>{vol + "/a.txt"}));
    EXPECT_EQ(window.completionText, "1 file was tested");
    EXPECT_FALSE(wizard.RunActive());
}

TEST_F(WizardTest, CancelledRunLeavesThePathOnItsLastStep) {
    WriteText(vol + "/a.txt", "a");
    WriteText(vol + "/b.txt", "b");
    wizard.OperationsListBoxClick(2);
    Check("a.txt");
    Check("b.txt");
    wizard.NextButtonClick();
    std::atomic<bool> gate{false};
    ASSERT_TRUE(wizard.StartRun(std::make_unique<TRecordingOp>(&gate), {TItemType::itFile}));
    ui.PumpUntil([&] { return ActiveIterationThread() && ActiveIterationThread()->CurrentFileNumber() == 1; });
    CancelOperation();
    gate = true;
    AwaitRun();
    EXPECT_EQ(window.progressClosed, 1);
    EXPECT_EQ(window.page, wpShredSettings);
    ASSERT_NE(wizard.CurrentPath(), nullptr);
    // The user may start again from the settings page.
    ASSERT_TRUE(wizard.StartRun(std::make_unique<TRecordingOp>(), {TItemType::itFile}));
    AwaitRun();
    EXPECT_EQ(window.completionText, "2 files were tested");
}

TEST_F(WizardTest, FailedRunIsReportedAndKeepsThePath) {
    wizard.OperationsListBoxClick(0);
    PendingFiles().push_back(files.file("missing.txt"));
    class TFailingOp : public TRecordingOp {
    public:
        void Work(const std::string& name) override { throw std::runtime_error("cannot do " + name); }
    };
    ASSERT_TRUE(wizard.StartRun(std::make_unique<TFailingOp>(), {TItemType::itFile}));
    AwaitRun();
    ASSERT_EQ(window.boxes.size(), 1u);
    EXPECT_EQ(window.boxes[0].text, "cannot do " + files.file("missing.txt"));
    EXPECT_NE(wizard.CurrentPath(), nullptr);
    EXPECT_NE(window.page, wpCompletion);
    PendingFiles().clear();
}

TEST_F(WizardTest, FirstActivationAsksForANewMainPasswordBeforeTheCommandLine) {
    WriteTodo("");
    window.changeAnswers = {{"", "", false}};
    wizard.FormActivate({"/shred"});
    EXPECT_EQ(window.changeShown, 1);
    EXPECT_EQ(HiddenItemsStore().Password, "");
    const auto dialog = std::find(window.log.begin(), window.log.end(), "ChangeMainPassword");
    const auto page = std::find(window.log.begin(), window.log.end(), "ShowPage(2)");
    EXPECT_LT(dialog, page);
    EXPECT_TRUE(StartedFromCmdLine);
    // Later activations do nothing.
    wizard.FormActivate({"/encrypt"});
    EXPECT_EQ(window.changeShown, 1);
    EXPECT_EQ(window.page, wpShredSettings);
}

TEST_F(WizardTest, DestroyedWizardLeavesTheWindowAlone) {
    // The window owns the wizard and may be half destroyed when the wizard goes.
    auto second = std::make_unique<TWizard>(window);
    second->OperationsListBoxClick(1);
    ASSERT_NE(second->CurrentPath(), nullptr);
    window.log.clear();
    second.reset();
    EXPECT_TRUE(window.log.empty());
}

TEST_F(WizardTest, FirstActivationWithAMainPasswordAsksNothing) {
    HiddenItemsStore().Password = "p";
    wizard.FormActivate({});
    EXPECT_EQ(window.changeShown, 0);
    EXPECT_TRUE(wizard.ActiveOnce());
}

}  // namespace
}  // namespace tellvane::test
