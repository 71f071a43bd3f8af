// The rules of the five paths: texts, the delete box, the password checks, the pass count, the
// .enc filter, the hide path's link and refusal, and the show path.
#include "WizardFixture.h"
#include "crypto/CryptoAlgorithms.h"
#include "engine/PendingFiles.h"
#include "hide/HiddenConfig.h"
#include "wizard/CmdLineActivate.h"
#include "wizard/OperationPaths.h"

namespace tellvane::test {
namespace {

TEST_F(WizardTest, EncryptSettingsPageAlwaysOffersDeletion) {
    WriteText(vol + "/a.txt", "a");
    wizard.OperationsListBoxClick(0);
    Check("a.txt");
    wizard.NextButtonClick();
    EXPECT_EQ(window.page, wpEncryptSettings);
    EXPECT_EQ(window.stepTitle, "Encrypting files - Step 2 of 2");
    EXPECT_TRUE(window.encryptDelete);
    window.encryptDelete = false;  // the user unchecks it
    wizard.BackButtonClick();
    EXPECT_EQ(window.stepTitle, "Encrypting files - Step 1 of 2");
    wizard.NextButtonClick();
    EXPECT_TRUE(window.encryptDelete);
}

TEST_F(WizardTest, EmptyEncryptionPasswordIsRefused) {
    WriteText(vol + "/a.txt", "a");
    wizard.OperationsListBoxClick(0);
    Check("a.txt");
    wizard.NextButtonClick();
    wizard.NextButtonClick();
    EXPECT_EQ(window.boxes, (std::vector<TBox>{{"plain", "Enter password before perfom this operation please."}}));
    EXPECT_EQ(window.focus, (std::vector<TFocusTarget>{TFocusTarget::ftEncryptPassword}));
    EXPECT_EQ(window.progressShown, 0);
    EXPECT_FALSE(wizard.RunActive());
    EXPECT_EQ(window.page, wpEncryptSettings);
    EXPECT_EQ(wizard.CurrentPath()->CurIndex(), 1);
}

TEST_F(WizardTest, AllAtOnceSetsOnePassPerCipher) {
    // Runs over an empty selection: only the settings matter here.
    WriteTodo("");
    ActivateFromCmdLine(wizard, {"/encrypt"});
    StartedFromCmdLine = false;
    window.encryptPassword = "pw";
    window.encryptAlgorithm = AllAtOnceIndex;
    wizard.NextButtonClick();
    AwaitRun();
    EXPECT_EQ(AlgorithmPassCount(), 18);
    EXPECT_EQ(window.completionText, "0 file was encrypted");

    wizard.FinishButtonClick();
    wizard.OperationsListBoxClick(0);
    WriteText(vol + "/a.txt", "a");
    Check("a.txt");
    wizard.NextButtonClick();
    window.encryptAlgorithm = 3;
    window.encryptDelete = false;
    wizard.NextButtonClick();
    AwaitRun();
    EXPECT_EQ(AlgorithmPassCount(), 1);
    EXPECT_EQ(window.completionText, "1 file was encrypted");
}

TEST_F(WizardTest, EncFilterLivesWhileTheDecryptPathIsCurrentAndNotRunning) {
    WriteText(vol + "/a.enc", "a");
    WriteText(vol + "/a.txt", "a");
    wizard.OperationsListBoxClick(1);
    EXPECT_TRUE(window.tree.FilterNonCryptedFiles);
    EXPECT_EQ(window.picture, TSidePicture::spDecrypt);
    EXPECT_EQ(window.header, "Choose encrypted .enc files, folders or drives to decrypt:");
    EXPECT_EQ(Child(Volume(), "a.txt"), nullptr);
    EXPECT_NE(Child(Volume(), "a.enc"), nullptr);
    wizard.BackButtonClick();  // Back from the first step
    EXPECT_FALSE(window.tree.FilterNonCryptedFiles);

    wizard.OperationsListBoxClick(1);
    EXPECT_TRUE(window.tree.FilterNonCryptedFiles);
    wizard.ExitButtonClick();  // Cancel
    EXPECT_FALSE(window.tree.FilterNonCryptedFiles);
    wizard.OperationsListBoxClick(0);
    EXPECT_NE(Child(Volume(), "a.txt"), nullptr);  // encrypt lists every file
    wizard.ExitButtonClick();

    // The run starts even with an empty password, and switches the filter off first.
    wizard.OperationsListBoxClick(1);
    window.decryptDelete = true;
    Check("a.enc");
    wizard.NextButtonClick();
    EXPECT_TRUE(window.tree.FilterNonCryptedFiles);
    EXPECT_EQ(window.stepTitle, "Decrypting files - Step 2 of 2");
    window.decryptPassword = "";
    window.filePassAnswers = {std::nullopt};
    wizard.NextButtonClick();
    EXPECT_FALSE(window.tree.FilterNonCryptedFiles);
    EXPECT_EQ(window.progressShown, 1);
    AwaitRun();
    EXPECT_TRUE(window.decryptDelete);  // the decrypt path never touches its box
}

TEST_F(WizardTest, HidePathAsksForTheMainPasswordFirst) {
    HiddenItemsStore().Password = "main";
    window.mainPassAnswers = {std::nullopt};
    wizard.OperationsListBoxClick(3);
    EXPECT_EQ(wizard.CurrentPath(), nullptr);
    EXPECT_EQ(window.page, wpStart);
    EXPECT_TRUE(wizard.HideRefusalMark);
    EXPECT_EQ(window.treeRebuilds, 0);

    window.log.clear();
    window.mainPassAnswers = {std::string("main")};
    wizard.OperationsListBoxClick(3);
    ASSERT_NE(wizard.CurrentPath(), nullptr);
    EXPECT_EQ(window.log,
              (std::vector<std::string>{"AskMainPassword", "NextVisible(1)", "BackVisible(1)", "ExitCaption(&Cancel)",
                                        "NextCaption(Hide)", "StepTitle(Hiding files - Step 1 of 1)", "TreeRebuilt",
                                        "Pictures", "ShowPage(2)", "Link(1)", "Header", "Desc"}));
    EXPECT_EQ(window.picture, TSidePicture::spHide);
    EXPECT_EQ(window.header, "Choose files, folders or drives to hide:");
    wizard.NextButtonClick();
    EXPECT_EQ(window.boxes.back(), (TBox{"info", "Please select some files"}));
    wizard.BackButtonClick();
    EXPECT_EQ(wizard.CurrentPath(), nullptr);
    EXPECT_FALSE(window.linkVisible);
    EXPECT_EQ(window.page, wpStart);
}

TEST_F(WizardTest, ShowPathOverAnEmptyStoreCompletesWithNone) {
    window.mainPassAnswers = {std::string("anything")};
    wizard.OperationsListBoxClick(4);
    EXPECT_EQ(HiddenItemsStore().Password, "anything");  // the first entry becomes the main password
    ASSERT_NE(wizard.CurrentPath(), nullptr);
    EXPECT_EQ(window.page, wpHiddenList);
    EXPECT_EQ(window.nextCaption, "Show");
    EXPECT_EQ(window.stepTitle, "Showing files - Step 1 of 1");
    EXPECT_EQ(window.picture, TSidePicture::spShow);
    EXPECT_TRUE(window.hiddenItems.empty());
    EXPECT_EQ(window.treeRebuilds, 0);
    wizard.NextButtonClick();
    EXPECT_EQ(wizard.CurrentPath(), nullptr);
    EXPECT_EQ(window.page, wpCompletion);
    EXPECT_EQ(window.completionHeader, "Show operation completed");
    EXPECT_EQ(window.completionText, "0 file was shown");
    EXPECT_FALSE(window.exitVisible);
    EXPECT_EQ(window.stepTitle, "");

    window.mainPassAnswers = {std::string("wrong"), std::nullopt};
    wizard.FinishButtonClick();
    wizard.OperationsListBoxClick(4);
    EXPECT_EQ(wizard.CurrentPath(), nullptr);
    EXPECT_EQ(window.page, wpStart);
}

}  // namespace
}  // namespace tellvane::test
