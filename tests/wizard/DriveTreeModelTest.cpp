// The tree model: building, lazy filling, the .enc filter, check marks and parents' states.
#include <gtest/gtest.h>

#include <filesystem>

#include "WizardFixture.h"
#include "hide/HiddenConfig.h"
#include "hide/HiddenVolumes.h"
#include "support/TestSupport.h"
#include "wizard/DriveTreeModel.h"
#include "wizard/NameOrder.h"

namespace tellvane::test {
namespace {

namespace fs = std::filesystem;

class DriveTreeModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = dir.path().string();
        TDrive d;
        d.MountPoint = root;
        d.ImageIndex = RemovableDriveImage;
        model.BuildDrivesTree({d}, nullptr);
        drive = model.DrivesInTree()[0].get();
    }
    TTreeNode* Find(TTreeNode* node, const std::string& name) {
        model.Expand(node);
        for (const auto& c : node->Children)
            if (c->Text == name) return c.get();
        return nullptr;
    }
    std::vector<std::string> Names(const TTreeNode* node) {
        std::vector<std::string> names;
        for (const auto& c : node->Children) names.push_back(c->Text);
        std::sort(names.begin(), names.end());
        return names;
    }
    // Counts the checked nodes by walking the tree.
    int CountChecked(const TTreeNode* node) {
        int n = node->StateIndex == nsChecked ? 1 : 0;
        for (const auto& c : node->Children) n += CountChecked(c.get());
        return n;
    }
    int CountChecked() {
        int n = 0;
        for (const auto& d : model.DrivesInTree()) n += CountChecked(d.get());
        return n;
    }

    TempDir dir;
    std::string root;
    TDriveTreeModel model;
    TTreeNode* drive = nullptr;
};

TEST_F(DriveTreeModelTest, DrivesAreUncheckedRootsWithThePlaceholder) {
    std::vector<TDrive> drives(3);
    drives[0].MountPoint = "/";
    drives[1].MountPoint = "/media/usb";
    drives[1].ImageIndex = RemovableDriveImage;
    drives[2].MountPoint = "/media/cd";
    drives[2].ImageIndex = OpticalDriveImage;
    model.ToggleNode(drive);
    ASSERT_GT(model.SomeFilesSelected(), 0);
    model.BuildDrivesTree(drives, [](const TDrive& d) { return d.MountPoint == "/media/usb"; });
    EXPECT_EQ(model.SomeFilesSelected(), 0);
    ASSERT_EQ(model.DrivesInTree().size(), 2u);
    EXPECT_EQ(model.DrivesInTree()[0]->Text, "/");
    EXPECT_EQ(model.DrivesInTree()[1]->Text, "/media/cd");
    EXPECT_EQ(model.DrivesInTree()[1]->ImageIndex, niOpticalDisc);
    for (const auto& d : model.DrivesInTree()) {
        EXPECT_EQ(d->StateIndex, nsUnchecked);
        EXPECT_TRUE(d->HasOnlyDummyChild());
    }
}

// The home folder is a folder root above the drives, and paths below it are full paths.
TEST_F(DriveTreeModelTest, HomeFolderIsTheFirstRoot) {
    fs::create_directory(root + "/Documents");
    TDrive sys;
    sys.MountPoint = "/";
    model.BuildDrivesTree({sys}, nullptr, root + "/");
    ASSERT_EQ(model.DrivesInTree().size(), 2u);
    TTreeNode* home = model.DrivesInTree()[0].get();
    EXPECT_EQ(home->Text, root);
    EXPECT_EQ(home->ImageIndex, niFolder);
    EXPECT_EQ(model.DrivesInTree()[1]->Text, "/");
    TTreeNode* docs = Find(home, "Documents");
    ASSERT_NE(docs, nullptr);
    EXPECT_EQ(TDriveTreeModel::GetFullPathByTree(docs), root + "/Documents");
}

// The file managers' order: case folded, digit runs by value, a prefix first; a total order.
TEST(NameOrder, ComparesLikeTheFileManagers) {
    const std::vector<std::string> sorted = {
        "", "2", "010", "a", "a0", "A1", "a2", "a9", "a10", "a10b", "a010c", "Ab", "b", "Ä", "ä", "Ärger", "Ω", "я",
    };
    for (size_t i = 0; i < sorted.size(); ++i)
        for (size_t j = 0; j < sorted.size(); ++j)
            EXPECT_EQ(NameOrderLess(sorted[i], sorted[j]), i < j) << sorted[i] << " / " << sorted[j];
    EXPECT_FALSE(NameOrderLess("file\xff", "file\xff"));  // a byte that is no UTF-8 still compares
    EXPECT_TRUE(NameOrderLess("x\xfe", "x\xff"));
}

TEST_F(DriveTreeModelTest, FullPathsUseOneSlashAfterTheRoot) {
    TTreeNode* top = model.DrivesInTree()[0].get();
    TDrive sys;
    sys.MountPoint = "/";
    model.BuildDrivesTree({sys}, nullptr);
    top = model.DrivesInTree()[0].get();
    top->Children.clear();
    TTreeNode* home = top->AddChild("home", niFolder);
    TTreeNode* file = home->AddChild("a.txt", niDocument);
    EXPECT_EQ(TDriveTreeModel::GetFullPathByTree(top), "/");
    EXPECT_EQ(TDriveTreeModel::GetFullPathByTree(home), "/home");
    EXPECT_EQ(TDriveTreeModel::GetFullPathByTree(file), "/home/a.txt");
}

TEST_F(DriveTreeModelTest, ExpansionListsFoldersFirstThenFilesInNameOrder) {
    for (const char* name : {"a10", "B", "a9", ".x"}) WriteText(root + "/" + name, "x");
    for (const char* name : {"z", "A2", "a10"}) fs::create_directory(root + "/" + name + "d");
    model.Expand(drive);
    std::vector<std::string> shown;
    for (const auto& c : drive->Children) shown.push_back(c->Text);
    EXPECT_EQ(shown, (std::vector<std::string>{"A2d", "a10d", "zd", ".x", "a9", "a10", "B"}));
}

TEST_F(DriveTreeModelTest, ExpansionListsTheFolderOnceWithImagesByKind) {
    fs::create_directory(root + "/sub");
    WriteText(root + "/a.enc", "x");
    WriteText(root + "/b.txt", "x");
    WriteText(root + "/c.ENC", "x");
    EXPECT_TRUE(model.Expand(drive));
    EXPECT_EQ(Names(drive), (std::vector<std::string>{"a.enc", "b.txt", "c.ENC", "sub"}));
    for (const auto& c : drive->Children) {
        const int image = c->Text == "sub" ? niFolder : c->Text == "a.enc" ? niPadlock : niDocument;
        EXPECT_EQ(c->ImageIndex, image) << c->Text;
        EXPECT_EQ(c->StateIndex, nsUnchecked);
        EXPECT_EQ(c->Children.size(), c->Text == "sub" ? 1u : 0u);
    }
    // Filled once: a new entry is not seen by a second expansion.
    WriteText(root + "/d.txt", "x");
    EXPECT_FALSE(model.Expand(drive));
    EXPECT_EQ(drive->Children.size(), 4u);
}

TEST_F(DriveTreeModelTest, EncFilterIsCaseSensitiveAndKeepsFolders) {
    fs::create_directory(root + "/x.txt.d");
    WriteText(root + "/a.enc", "x");
    WriteText(root + "/a.ENC", "x");
    WriteText(root + "/a.txt", "x");
    WriteText(root + "/b.enc.txt", "x");
    WriteText(root + "/.enc", "x");
    model.FilterNonCryptedFiles = true;
    model.Expand(drive);
    EXPECT_EQ(Names(drive), (std::vector<std::string>{".enc", "a.enc", "x.txt.d"}));
    EXPECT_TRUE(model.PassesEncFilter("z.enc"));
    EXPECT_FALSE(model.PassesEncFilter("z.Enc"));
    model.FilterNonCryptedFiles = false;
    EXPECT_TRUE(model.PassesEncFilter("z.Enc"));
}

TEST_F(DriveTreeModelTest, NamesListedInDotHiddenAreLeftOut) {
    WriteText(root + "/shown.txt", "x");
    WriteText(root + "/secret.txt", "x");
    fs::create_directory(root + "/secretdir");
    WriteText(root + "/.hidden", "secret.txt\nsecretdir\n");
    model.Expand(drive);
    EXPECT_EQ(Names(drive), (std::vector<std::string>{".hidden", "shown.txt"}));
}

TEST_F(DriveTreeModelTest, UnlistableFolderAndFolderLinks) {
    fs::create_directory(root + "/gone");
    fs::create_directory(root + "/real");
    fs::create_directory_symlink(root + "/real", root + "/link");
    model.Expand(drive);
    TTreeNode* gone = Find(drive, "gone");
    TTreeNode* link = Find(drive, "link");
    ASSERT_NE(gone, nullptr);
    ASSERT_NE(link, nullptr);
    // A link to a folder shows as a folder that is never entered.
    EXPECT_EQ(link->ImageIndex, niFolder);
    EXPECT_TRUE(link->Children.empty());
    fs::remove(root + "/gone");
    EXPECT_TRUE(model.Expand(gone));
    EXPECT_TRUE(gone->Children.empty());
}

TEST_F(DriveTreeModelTest, EntryNamedLikeThePlaceholderIsAnEntry) {
    fs::create_directory(root + "/f");
    fs::create_directory(root + "/f/g");
    WriteText(root + "/f/g/scaner_dummy", "x");
    TTreeNode* f = Find(drive, "f");
    ASSERT_TRUE(model.Expand(f));
    TTreeNode* g = Find(f, "g");
    ASSERT_TRUE(g->HasOnlyDummyChild());  // the flag, not the text, marks the placeholder
    ASSERT_TRUE(model.Expand(g));
    ASSERT_EQ(g->Children.size(), 1u);
    EXPECT_EQ(g->Children[0]->ImageIndex, niDocument);
    EXPECT_FALSE(g->Children[0]->IsPlaceholder);
    EXPECT_FALSE(g->HasOnlyDummyChild());
    EXPECT_FALSE(model.Expand(g));  // listed once, not again on every expansion
}

TEST_F(DriveTreeModelTest, CheckedFolderExpandsWithCheckedEntries) {
    fs::create_directories(root + "/a/b");
    WriteText(root + "/a/f1", "x");
    WriteText(root + "/a/f2", "x");
    TTreeNode* a = Find(drive, "a");
    model.ToggleNode(a);  // checked with its placeholder
    EXPECT_EQ(a->StateIndex, nsChecked);
    EXPECT_EQ(a->Children[0]->StateIndex, nsChecked);
    EXPECT_EQ(drive->StateIndex, nsChecked);  // its only child
    EXPECT_EQ(model.SomeFilesSelected(), 3);

    model.Expand(a);
    ASSERT_EQ(a->Children.size(), 3u);
    for (const auto& c : a->Children) EXPECT_EQ(c->StateIndex, nsChecked) << c->Text;
    EXPECT_EQ(model.SomeFilesSelected(), CountChecked());
    EXPECT_EQ(model.SomeFilesSelected(), 6);  // drive, a, f1, f2, b and b's placeholder
    TTreeNode* b = a->Children[0]->Text == "b" ? a->Children[0].get() : Find(a, "b");
    model.Expand(b);  // the placeholder goes, nothing comes
    EXPECT_TRUE(b->Children.empty());
    EXPECT_EQ(model.SomeFilesSelected(), 5);

    // An unchecked folder expands unchecked.
    fs::create_directory(root + "/c");
    WriteText(root + "/c/g", "x");
    TDrive d;
    d.MountPoint = root;
    model.BuildDrivesTree({d}, nullptr);
    drive = model.DrivesInTree()[0].get();
    TTreeNode* c = Find(drive, "c");
    model.Expand(c);
    EXPECT_EQ(c->Children[0]->StateIndex, nsUnchecked);
}

TEST_F(DriveTreeModelTest, PartlyCheckedParentsAndUnchecking) {
    fs::create_directory(root + "/d");
    fs::create_directory(root + "/d/e");
    WriteText(root + "/d/x", "x");
    WriteText(root + "/d/e/y", "x");
    WriteText(root + "/d/e/z", "x");
    WriteText(root + "/other", "x");
    TTreeNode* d = Find(drive, "d");
    TTreeNode* x = Find(d, "x");
    TTreeNode* e = Find(d, "e");
    TTreeNode* y = Find(e, "y");
    TTreeNode* z = Find(e, "z");

    model.ToggleNode(y);  // one of two
    EXPECT_EQ(e->StateIndex, nsPartlyChecked);
    EXPECT_EQ(d->StateIndex, nsPartlyChecked);
    EXPECT_EQ(drive->StateIndex, nsPartlyChecked);

    // A parent is checked only when everything below it is: one partly checked child keeps it
    // partly checked, so that a run taking folders whole never takes more than was chosen.
    model.ToggleNode(x);
    EXPECT_EQ(e->StateIndex, nsPartlyChecked);
    EXPECT_EQ(d->StateIndex, nsPartlyChecked);
    EXPECT_EQ(model.SomeFilesSelected(), CountChecked());

    model.ToggleNode(z);
    EXPECT_EQ(e->StateIndex, nsChecked);
    EXPECT_EQ(d->StateIndex, nsChecked);  // x and e: everything below d
    EXPECT_EQ(drive->StateIndex, nsPartlyChecked);  // "other" is not chosen

    // A click on a partly checked node unchecks it and everything below.
    model.ToggleNode(y);
    EXPECT_EQ(e->StateIndex, nsPartlyChecked);
    EXPECT_EQ(drive->StateIndex, nsPartlyChecked);
    model.ToggleNode(drive);
    EXPECT_EQ(model.SomeFilesSelected(), 0);
    EXPECT_EQ(CountChecked(), 0);
    EXPECT_EQ(z->StateIndex, nsUnchecked);

    // A node checked and its parent then unchecked leaves nothing checked.
    model.ToggleNode(z);
    EXPECT_GT(model.SomeFilesSelected(), 0);
    model.ToggleNode(e);
    EXPECT_EQ(e->StateIndex, nsUnchecked);
    EXPECT_EQ(model.SomeFilesSelected(), 0);
    EXPECT_EQ(CountChecked(), 0);
    EXPECT_EQ(d->StateIndex, nsUnchecked);

    model.ToggleNode(nullptr);  // nothing under the pointer
    EXPECT_EQ(model.SomeFilesSelected(), 0);
}

// The drives the user has hidden do not reach the tree.
TEST_F(WizardTest, HiddenVolumesAreLeftOutOfTheTree) {
    window.tree.BuildDrivesTree();
    ASSERT_NE(Volume(), nullptr);
    EXPECT_EQ(Volume()->ImageIndex, niHardDisk);

    HiddenItemsStore().AddItem(TItemType::itDrive, vol + "/");
    window.tree.BuildDrivesTree();
    EXPECT_EQ(Volume(), nullptr);
    HiddenItemsStore().DeleteItem(0);

    // Recorded as a plain folder under the same name, it stays a drive of the tree.
    HiddenItemsStore().AddItem(TItemType::itFolder, vol);
    window.tree.BuildDrivesTree();
    EXPECT_NE(Volume(), nullptr);
    HiddenItemsStore().DeleteItem(0);

    WriteHiddenVolumes({vol});
    window.tree.BuildDrivesTree();
    EXPECT_EQ(Volume(), nullptr);
    WriteHiddenVolumes({});
    window.tree.BuildDrivesTree();
    EXPECT_NE(Volume(), nullptr);
}

}  // namespace
}  // namespace tellvane::test
