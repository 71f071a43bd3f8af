// Whole runs through the wizard, the worker and the real operations on temporary folders.
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "WizardFixture.h"
#include "engine/PendingFiles.h"
#include "engine/RunRegistry.h"
#include "hide/DotHiddenFile.h"
#include "hide/HiddenConfig.h"
#include "platform/FileSystem.h"
#include "wizard/CmdLineActivate.h"
#include "wizard/Wizard.h"

namespace tellvane::test {
namespace {

namespace fs = std::filesystem;

class FlowTest : public WizardTest {
protected:
    void Make(const std::string& rel, size_t size, uint32_t seed) {
        fs::create_directories(fs::path(vol + "/" + rel).parent_path());
        WriteAll(vol + "/" + rel, PatternBytes(size, seed));
    }
    void ExpectContent(const std::string& rel, size_t size, uint32_t seed) {
        ASSERT_TRUE(FileExists(vol + "/" + rel)) << rel;
        EXPECT_EQ(ReadAll(vol + "/" + rel), PatternBytes(size, seed)) << rel;
    }
    bool Writable(const std::string& path) {
        struct stat st {};
        return stat(path.c_str(), &st) == 0 && (st.st_mode & S_IWUSR);
    }
};

TEST_F(FlowTest, EncryptThenDecryptThroughThePerFilePrompt) {
    Make("docs/a.txt", 5000, 1);
    Make("docs/b.bin", 70000, 2);
    Make("top.txt", 1, 3);
    Make("other.txt", 10, 4);

    wizard.OperationsListBoxClick(0);
    Check("docs");
    Check("top.txt");
    wizard.NextButtonClick();
    window.encryptPassword = "p\xC3\xA4ssword";  // UTF-8 in the box, the ANSI form to the cipher
    window.encryptAlgorithm = 0;
    wizard.NextButtonClick();
    EXPECT_EQ(window.progressShown, 1);
    AwaitRun();
    ASSERT_TRUE(window.boxes.empty()) << window.boxes[0].text;
    EXPECT_EQ(window.page, wpCompletion);
    EXPECT_EQ(window.completionHeader, "Encryption completed");
    EXPECT_EQ(window.completionText, "3 files were encrypted");
    for (const char* rel : {"docs/a.txt", "docs/b.bin", "top.txt"}) {
        EXPECT_FALSE(FileExists(vol + "/" + rel)) << rel;
        EXPECT_TRUE(FileExists(vol + "/" + rel + ".enc")) << rel;
    }
    ExpectContent("other.txt", 10, 4);

    wizard.FinishButtonClick();
    wizard.OperationsListBoxClick(1);
    TTreeNode* docs = Child(Volume(), "docs");
    ASSERT_NE(docs, nullptr);
    EXPECT_EQ(Child(Volume(), "other.txt"), nullptr);
    EXPECT_EQ(Child(docs, "a.txt.enc")->ImageIndex, niPadlock);
    Check("docs");
    Check("top.txt.enc");
    wizard.NextButtonClick();
    window.decryptPassword = "wrong";
    window.decryptDelete = true;
    // The first file asks for the right password; the run then keeps it for the others.
    window.filePassAnswers = {std::string("p\xC3\xA4ssword")};
    wizard.NextButtonClick();
    AwaitRun();
    ASSERT_TRUE(window.boxes.empty()) << window.boxes[0].text;
    ASSERT_EQ(window.filePassLabels.size(), 1u);
    const std::string& label = window.filePassLabels[0];
    EXPECT_EQ(label.rfind("Enter vaild password for ", 0), 0u) << label;
    EXPECT_EQ(label.find('/'), std::string::npos) << label;
    EXPECT_EQ(window.completionHeader, "Decryption completed");
    EXPECT_EQ(window.completionText, "3 files were decrypted");
    ExpectContent("docs/a.txt", 5000, 1);
    ExpectContent("docs/b.bin", 70000, 2);
    ExpectContent("top.txt", 1, 3);
    for (const char* rel : {"docs/a.txt.enc", "docs/b.bin.enc", "top.txt.enc"}) EXPECT_FALSE(FileExists(vol + "/" + rel));
}

TEST_F(FlowTest, DecryptGivenUpAtThePromptKeepsTheEncryptedFile) {
    Make("a.txt", 300, 7);
    wizard.OperationsListBoxClick(0);
    Check("a.txt");
    wizard.NextButtonClick();
    window.encryptPassword = "right";
    window.encryptAlgorithm = 5;
    window.encryptDelete = false;  // unchecked after entering the page
    wizard.NextButtonClick();
    AwaitRun();
    ExpectContent("a.txt", 300, 7);
    const std::vector<uint8_t> encrypted = ReadAll(vol + "/a.txt.enc");

    wizard.FinishButtonClick();
    fs::remove(vol + "/a.txt");
    wizard.OperationsListBoxClick(1);
    Check("a.txt.enc");
    wizard.NextButtonClick();
    window.decryptPassword = "wrong";
    window.filePassAnswers = {std::nullopt};
    wizard.NextButtonClick();
    AwaitRun();
    EXPECT_EQ(window.filePassLabels, (std::vector<std::string>{"Enter vaild password for a.txt.enc"}));
    EXPECT_EQ(window.completionText, "0 file was decrypted\n1 entry was not done");  // only files done are counted
    EXPECT_FALSE(FileExists(vol + "/a.txt"));
    EXPECT_EQ(ReadAll(vol + "/a.txt.enc"), encrypted);
}

// A new pass phrase whose characters the code page lacks is refused and stays in its box; the four
// answers of the replace question decide file by file, "Yes to all" for the rest of the run.
// A folder of 20 links: one summary at the end naming each once, no box per entry, and the
// completion page's count line followed by the count of entries not done.
TEST_F(FlowTest, LinksInAFolderGiveOneSummaryAndNoOtherBox) {
    Make("sel/real.txt", 100, 1);
    for (int i = 0; i < 20; ++i) fs::create_symlink("real.txt", vol + "/sel/link" + std::to_string(i));
    wizard.OperationsListBoxClick(0);
    Check("sel");
    wizard.NextButtonClick();
    window.encryptPassword = "pw";
    wizard.NextButtonClick();
    AwaitRun();
    EXPECT_TRUE(window.boxes.empty()) << window.boxes[0].text;
    ASSERT_EQ(window.summaries.size(), 1u);
    std::vector<std::string> named;
    for (const auto& e : window.summaries[0]) named.push_back(e.fileName);
    std::sort(named.begin(), named.end());
    EXPECT_EQ(std::unique(named.begin(), named.end()), named.end());
    EXPECT_EQ(named.size(), 20u);
    EXPECT_EQ(window.completionText, "1 file was encrypted\n20 entries were not done");
    EXPECT_TRUE(FileExists(vol + "/sel/real.txt.enc"));
}

// Deleting the sources asks for a typed pass phrase once more: a mismatch says so and starts
// nothing; a match (or a key file's text, not asked) runs.
TEST_F(FlowTest, TypedPassPhraseIsConfirmedBeforeSourcesAreDeleted) {
    Make("a.txt", 100, 1);
    wizard.OperationsListBoxClick(0);
    Check("a.txt");
    wizard.NextButtonClick();
    window.encryptPassword = "right";
    window.encryptDelete = true;
    window.confirmAnswers = {std::string("wrnog")};
    wizard.NextButtonClick();
    EXPECT_EQ(window.progressShown, 0);
    ASSERT_EQ(window.boxes.size(), 1u);
    EXPECT_EQ(window.boxes[0].text, "Password you entered second time is different from the one you entered first time!");
    EXPECT_EQ(window.page, wpEncryptSettings);
    EXPECT_EQ(window.encryptPassword, "right");
    EXPECT_TRUE(window.encryptDelete);
    ExpectContent("a.txt", 100, 1);
    EXPECT_FALSE(PathExists(vol + "/a.txt.enc"));

    window.confirmAnswers = {std::nullopt};  // Cancel: nothing either
    wizard.NextButtonClick();
    EXPECT_EQ(window.progressShown, 0);

    window.confirmAnswers = {std::string("right")};
    wizard.NextButtonClick();
    AwaitRun();
    EXPECT_EQ(window.completionText, "1 file was encrypted");
    EXPECT_FALSE(PathExists(vol + "/a.txt"));
    EXPECT_EQ(std::count(window.log.begin(), window.log.end(), "ConfirmPassword"), 3);
}

TEST_F(FlowTest, EncryptRefusesACollapsingPassPhraseAndAsksBeforeReplacing) {
    const char* const names[] = {"p", "q", "r", "s"};
    for (const char* name : names) {
        Make(name, 100, static_cast<uint32_t>(name[0]));
        WriteText(vol + "/" + name + ".enc", "unrelated");
    }
    const char* oldLang = std::getenv("LC_ALL");
    const std::string saved = oldLang ? oldLang : "";
    setenv("LC_ALL", "C", 1);  // code page 1252
    wizard.OperationsListBoxClick(0);
    for (const char* name : names) Check(name);
    wizard.NextButtonClick();
    window.encryptPassword = "\xE5\xAF\x86\xE7\xA0\x81\xE5\xAF\x86\xE7\xA0\x81";  // 密码密码
    window.encryptDelete = true;
    wizard.NextButtonClick();
    oldLang ? setenv("LC_ALL", saved.c_str(), 1) : unsetenv("LC_ALL");
    ASSERT_EQ(window.boxes.size(), 1u);
    EXPECT_EQ(window.boxes[0].kind, "error");
    EXPECT_NE(window.boxes[0].text.find("code page in use (1252) cannot represent"), std::string::npos);
    EXPECT_EQ(window.progressShown, 0);
    EXPECT_EQ(window.encryptPassword, "\xE5\xAF\x86\xE7\xA0\x81\xE5\xAF\x86\xE7\xA0\x81");

    window.boxes.clear();
    window.encryptPassword = "fine";
    window.replaceAnswers = {TReplaceAnswer::raYes, TReplaceAnswer::raNo, TReplaceAnswer::raYesToAll};
    wizard.NextButtonClick();
    AwaitRun();
    EXPECT_TRUE(window.boxes.empty());
    ASSERT_EQ(window.replaceQuestions.size(), 3u);
    EXPECT_EQ(window.completionText, "3 files were encrypted\n1 entry was not done");
    // The file answered No (the second asked, whatever the walk's order) keeps both its files.
    std::string kept;
    for (const char* name : names)
        if (window.replaceQuestions[1] == vol + "/" + name + ".enc already exists. Replace it?") kept = name;
    ASSERT_FALSE(kept.empty()) << window.replaceQuestions[1];
    EXPECT_EQ(ReadText(vol + "/" + kept + ".enc"), "unrelated");
    ExpectContent(kept, 100, static_cast<uint32_t>(kept[0]));
    for (const char* name : names) EXPECT_EQ(FileExists(vol + "/" + name), name == kept) << name;

    // No to all: nothing is replaced, nothing counted.
    wizard.FinishButtonClick();
    wizard.OperationsListBoxClick(0);
    Check(kept);
    wizard.NextButtonClick();
    window.encryptPassword = "fine";
    window.replaceAnswers = {TReplaceAnswer::raNoToAll};
    wizard.NextButtonClick();
    AwaitRun();
    EXPECT_EQ(window.completionText, "0 file was encrypted\n1 entry was not done");
    EXPECT_EQ(ReadText(vol + "/" + kept + ".enc"), "unrelated");
}

TEST_F(FlowTest, ShredRemovesTheChosenFiles) {
    Make("s/one", 100000, 1);
    Make("s/two", 3, 2);
    Make("s/keep", 3, 3);
    Make("loose", 1000, 4);
    wizard.OperationsListBoxClick(2);
    TTreeNode* s = Child(Volume(), "s");
    Check("s/one");
    Check("s/two");
    EXPECT_EQ(s->StateIndex, nsPartlyChecked);
    Check("loose");
    wizard.NextButtonClick();
    window.shredAlgorithm = 1;
    wizard.NextButtonClick();
    AwaitRun();
    ASSERT_TRUE(window.boxes.empty()) << window.boxes[0].text;
    EXPECT_EQ(window.completionHeader, "Shredding completed");
    EXPECT_EQ(window.completionText, "3 files were shredded");
    EXPECT_FALSE(FileExists(vol + "/s/one"));
    EXPECT_FALSE(FileExists(vol + "/s/two"));
    EXPECT_FALSE(FileExists(vol + "/loose"));
    ExpectContent("s/keep", 3, 3);
}

TEST_F(FlowTest, HideThenShowSomeFromTheEnd) {
    Make("h/a.txt", 10, 1);
    Make("h/b.txt", 10, 2);
    Make("h/stays.txt", 10, 3);  // unchecked: h itself is only partly checked
    fs::create_directories(vol + "/h/dir");
    window.mainPassAnswers = {std::string("main")};
    wizard.OperationsListBoxClick(3);
    EXPECT_EQ(HiddenItemsStore().Password, "main");
    Check("h/a.txt");
    Check("h/b.txt");
    Check("h/dir");
    wizard.NextButtonClick();
    EXPECT_EQ(window.progressShown, 1);
    AwaitRun();
    ASSERT_TRUE(window.boxes.empty()) << window.boxes[0].text;
    EXPECT_EQ(window.completionHeader, "Hide operation completed");
    EXPECT_EQ(window.completionText, "3 files were hidden");
    EXPECT_FALSE(window.linkVisible);
    ASSERT_EQ(HiddenItemsStore().Count(), 3);
    EXPECT_FALSE(Writable(vol + "/h/a.txt"));
    // Hidden entries are left out of the tree from now on.
    window.tree.BuildDrivesTree();
    EXPECT_TRUE(Child(Child(Volume(), "h"), "a.txt") == nullptr);
    EXPECT_TRUE(Child(Child(Volume(), "h"), "dir") == nullptr);

    wizard.FinishButtonClick();
    window.mainPassAnswers = {std::string("Main"), std::string("main")};
    wizard.OperationsListBoxClick(4);
    EXPECT_EQ(window.boxes, (std::vector<TBox>{{"error", "You entered wrong password!"}}));
    ASSERT_EQ(window.hiddenItems.size(), 3u);
    const std::vector<std::string> listed = window.hiddenItems;
    window.hiddenChecked = {true, false, true};
    wizard.NextButtonClick();
    EXPECT_EQ(window.completionHeader, "Show operation completed");
    EXPECT_EQ(window.completionText, "2 files were shown");
    ASSERT_EQ(HiddenItemsStore().Count(), 1);
    EXPECT_EQ(HiddenItemsStore().GetItem(0).FilePath, listed[1]);
    const std::set<std::string> stillHidden = ReadHiddenNames(vol + "/h");
    EXPECT_EQ(stillHidden, (std::set<std::string>{listed[1].substr(listed[1].rfind('/') + 1)}));
    window.tree.BuildDrivesTree();
    EXPECT_NE(Child(Child(Volume(), "h"), "stays.txt"), nullptr);
    // The shown ones are listed in the tree again, and a shown file is writable again.
    for (int i : {0, 2}) {
        const std::string& path = listed[static_cast<size_t>(i)];
        EXPECT_NE(Child(Child(Volume(), "h"), path.substr(path.rfind('/') + 1)), nullptr) << path;
        if (FileExists(path)) {
            EXPECT_TRUE(Writable(path)) << path;
        }
    }
}

TEST_F(FlowTest, MainPasswordStaysWhileAHideRunWritesTheStore) {
    Make("a.txt", 10, 1);
    window.mainPassAnswers = {std::string("main")};
    wizard.OperationsListBoxClick(3);
    Check("a.txt");
    wizard.NextButtonClick();
    // The run waits for this thread before it touches the store: it is active until pumped.
    ASSERT_EQ(RunningWorkerCount(), 1);
    window.mainPassAnswers = {std::string("main")};
    window.changeAnswers = {{"new", "new"}};
    ChangeMainPassword(window, true);  // the Options window's button
    wizard.ChangeMainPassLinkClick();
    const TBox refused{"info", "The main password cannot be changed while an operation is running"};
    EXPECT_EQ(window.boxes, (std::vector<TBox>{refused, refused}));
    EXPECT_EQ(window.changeShown, 0);
    EXPECT_EQ(window.mainPassShown, 1);  // only the hide path's own prompt
    AwaitRun();
    EXPECT_EQ(window.completionText, "1 file was hidden");
    // The saved store holds the item under the password it had.
    FreeHiddenConfig();
    CreateHiddenConfig();
    EXPECT_EQ(HiddenItemsStore().Password, "main");
    ASSERT_EQ(HiddenItemsStore().Count(), 1);
    // Once the run has ended the change goes through.
    ChangeMainPassword(window, true);
    EXPECT_EQ(window.changeShown, 1);
    EXPECT_EQ(HiddenItemsStore().Password, "new");
}

TEST_F(FlowTest, HideSwitchHidesTheSelectionAtOnce) {
    Make("x.txt", 10, 1);
    Make("y.txt", 10, 2);
    WriteTodo(vol + "/x.txt\n");
    HiddenItemsStore().Password = "main";
    window.mainPassAnswers = {std::string("main")};
    ActivateFromCmdLine(wizard, {"/hide"});
    EXPECT_EQ(window.progressShown, 1);  // no Next needed
    EXPECT_EQ(window.page, wpChooseFiles);
    EXPECT_TRUE(window.linkVisible);
    AwaitRun();
    EXPECT_TRUE(window.terminated);
    ASSERT_EQ(HiddenItemsStore().Count(), 1);
    EXPECT_EQ(HiddenItemsStore().GetItem(0).FilePath, vol + "/x.txt");
    EXPECT_TRUE(IsListedInDotHidden(vol, "x.txt"));
    EXPECT_FALSE(IsListedInDotHidden(vol, "y.txt"));
    EXPECT_TRUE(PendingFiles().empty());  // the path it was loaded for has ended
}

TEST_F(FlowTest, HiddenDriveLeavesTheTreeUntilShown) {
    window.mainPassAnswers = {std::string("m")};
    wizard.OperationsListBoxClick(3);
    wizard.TreeNodeClick(Volume());
    wizard.NextButtonClick();
    AwaitRun();
    ASSERT_TRUE(window.boxes.empty()) << window.boxes[0].text;
    ASSERT_EQ(HiddenItemsStore().Count(), 1);
    EXPECT_EQ(HiddenItemsStore().GetItem(0).TypeOfItem, TItemType::itDrive);
    window.tree.BuildDrivesTree();
    EXPECT_EQ(Volume(), nullptr);

    wizard.FinishButtonClick();
    window.mainPassAnswers = {std::string("m")};
    wizard.OperationsListBoxClick(4);
    window.hiddenChecked = {true};
    wizard.NextButtonClick();
    EXPECT_EQ(window.completionText, "1 file was shown");
    window.tree.BuildDrivesTree();
    EXPECT_NE(Volume(), nullptr);
}

}  // namespace
}  // namespace tellvane::test
