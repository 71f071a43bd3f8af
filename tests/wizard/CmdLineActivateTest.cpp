// Activation of paths by command-line switches and the selection file.
#include "WizardFixture.h"
#include "engine/Operations.h"
#include "engine/PendingFiles.h"
#include "hide/HiddenConfig.h"
#include "platform/FileSystem.h"
#include "wizard/CmdLineActivate.h"
#include "wizard/OperationPaths.h"
#include "wizard/PathClasses.h"

namespace tellvane::test {
namespace {

TEST_F(WizardTest, PathClassesAreFoundByTheirWholeSwitch) {
    ASSERT_EQ(PathClasses().size(), 4u);
    const std::vector<std::string> expected = {"/encrypt", "/decrypt", "/shred", "/hide"};
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(PathClasses()[i].GetCmdLineParameter(), expected[i]);
        EXPECT_EQ(FindPathClass(expected[i]), &PathClasses()[i]);
    }
    for (const char* miss : {"/show", "/Encrypt", "/ENCRYPT", "encrypt", "/encrypt ", "/encrypt2", "/", ""})
        EXPECT_EQ(FindPathClass(miss), nullptr) << miss;
}

TEST_F(WizardTest, UnknownSwitchesAndNamesActivateNothing) {
    WriteTodo(vol + "/a.txt\n");
    ActivateFromCmdLine(wizard, {"/Encrypt", "/show", vol + "/a.txt", "-encrypt", "/SHRED"});
    EXPECT_EQ(wizard.CurrentPath(), nullptr);
    EXPECT_FALSE(StartedFromCmdLine);
    EXPECT_TRUE(window.log.empty());
    EXPECT_TRUE(PendingFiles().empty());
}

TEST_F(WizardTest, EncryptSwitchOpensTheSettingsWithBackHidden) {
    WriteTodo("\xEF\xBB\xBF" + vol + "/a.txt\r\n" + vol + "/b.txt\r\n");
    ActivateFromCmdLine(wizard, {vol + "/a.txt", "/encrypt"});
    ASSERT_NE(wizard.CurrentPath(), nullptr);
    EXPECT_TRUE(StartedFromCmdLine);
    EXPECT_EQ(window.page, wpEncryptSettings);
    EXPECT_EQ(window.nextCaption, "Encrypt");
    EXPECT_TRUE(window.encryptDelete);
    EXPECT_FALSE(window.backVisible);
    EXPECT_TRUE(window.nextVisible);
    EXPECT_EQ(wizard.CurrentPath()->CurIndex(), 1);
    EXPECT_EQ(PendingFiles(), (std::vector<std::string>{vol + "/a.txt", vol + "/b.txt"}));
    EXPECT_TRUE(FileExists(data.file("todo")));  // read, never changed

    // Abandoning the path drops the selection it was loaded for.
    wizard.ExitButtonClick();
    EXPECT_EQ(wizard.CurrentPath(), nullptr);
    EXPECT_TRUE(PendingFiles().empty());
    EXPECT_FALSE(window.terminated);
}

TEST_F(WizardTest, DecryptAndShredSwitchesKeepBackButNotTheSelectionForTheTree) {
    WriteTodo(vol + "/a.txt.enc\n");
    ActivateFromCmdLine(wizard, {"/decrypt"});
    EXPECT_EQ(window.page, wpDecryptSettings);
    EXPECT_EQ(window.nextCaption, "Decrypt");
    EXPECT_TRUE(window.backVisible);
    wizard.BackButtonClick();
    EXPECT_EQ(window.page, wpChooseFiles);
    wizard.NextButtonClick();  // the selection file's items do not count as a choice in the tree
    EXPECT_EQ(window.boxes, (std::vector<TBox>{{"info", "Please select some files"}}));
    EXPECT_EQ(window.page, wpChooseFiles);
    EXPECT_EQ(PendingFiles().size(), 1u);

    // A later switch replaces the path; the selection is read again, not doubled.
    ActivateFromCmdLine(wizard, {"/shred"});
    EXPECT_EQ(window.page, wpShredSettings);
    EXPECT_EQ(window.nextCaption, "Shred");
    EXPECT_TRUE(window.backVisible);
    EXPECT_EQ(PendingFiles(), (std::vector<std::string>{vol + "/a.txt.enc"}));
    EXPECT_FALSE(window.tree.FilterNonCryptedFiles);
}

TEST_F(WizardTest, UnreadableSelectionFileStopsTheActivation) {
    EXPECT_THROW(ActivateFromCmdLine(wizard, {"/shred", "/encrypt"}), EFileError);
    EXPECT_FALSE(StartedFromCmdLine);
    ASSERT_NE(wizard.CurrentPath(), nullptr);  // usable from the window, on the step it reached
    EXPECT_EQ(window.page, wpShredSettings);
    EXPECT_TRUE(PendingFiles().empty());
}

TEST_F(WizardTest, RefusedHideSwitchStaysOnTheStartPageWithoutReadingTheSelection) {
    HiddenItemsStore().Password = "main";
    window.mainPassAnswers = {std::string("wrong"), std::nullopt};
    // No "todo" exists: reading it would throw.
    ASSERT_NO_THROW(ActivateFromCmdLine(wizard, {"/hide"}));
    EXPECT_EQ(wizard.CurrentPath(), nullptr);
    EXPECT_TRUE(wizard.HideRefusalMark);
    EXPECT_EQ(window.page, wpStart);
    EXPECT_FALSE(window.nextVisible);
    EXPECT_FALSE(window.linkVisible);
    EXPECT_EQ(window.boxes.size(), 1u);
    EXPECT_EQ(window.progressShown, 0);
    EXPECT_TRUE(StartedFromCmdLine);

    // It counts as started from the command line: the first run completed later ends the program.
    WriteText(vol + "/a.txt", "a");
    wizard.OperationsListBoxClick(2);
    Check("a.txt");
    wizard.NextButtonClick();
    wizard.NextButtonClick();
    AwaitRun();
    EXPECT_TRUE(window.terminated);
    EXPECT_FALSE(FileExists(vol + "/a.txt"));
}

}  // namespace
}  // namespace tellvane::test
