#include "hide/HiddenConfig.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "hide/HideTestSupport.h"
#include "platform/AppFolders.h"
#include "platform/FileSystem.h"
#include "platform/IniFile.h"
#include "support/TestSupport.h"

namespace tellvane {
namespace {

using test::FileSizeLimit;
using test::ReadText;
using test::TempDir;
using test::WriteText;

class HiddenConfigTest : public ::testing::Test {
protected:
    void SetUp() override { SetDataFolder(dir.path().string()); }
    void TearDown() override {
        if (HiddenConfigCreated()) FreeHiddenConfig();
    }
    std::string BaseDat() const { return GetDataFolder() + "base.dat"; }
    std::vector<std::string> Sections() const { return TIniFile(BaseDat()).ReadSections(); }

    TempDir dir;
};

TEST_F(HiddenConfigTest, FirstStartCreatesAnEmptyFileThatStaysEmptyUntilTheFirstSave) {
    THiddenConfig store;
    store.LoadFromFile();
    EXPECT_EQ(store.Count(), 0);
    EXPECT_EQ(store.Password, "");
    ASSERT_TRUE(FileExists(BaseDat()));
    EXPECT_EQ(GetFileSize(BaseDat()), 0);
    struct stat st {};
    ASSERT_EQ(stat(BaseDat().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    store.Password = "Secret";
    store.AddItem(TItemType::itFolder, "/home/u/Docs/");
    ASSERT_EQ(stat(BaseDat().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(ReadText(BaseDat()),
              "[Password]\nPassword=Secret\n\n[Count]\nCount=1\n\n[Item0]\nItemType=1\nFilePath=/home/u/Docs/\n\n");
}

TEST_F(HiddenConfigTest, SavedItemsLoadBackInOrderWithTheirTypesAndThePassword) {
    {
        THiddenConfig store;
        store.LoadFromFile();
        store.Password = "Pässwort";
        store.AddItem(TItemType::itFile, "/a/file.txt");
        store.AddItem(TItemType::itFolder, "/a/folder/");
        store.AddItem(TItemType::itDrive, "/media/usb/");
    }
    THiddenConfig store;
    store.LoadFromFile();
    ASSERT_EQ(store.Count(), 3);
    EXPECT_EQ(store.Password, "Pässwort");
    EXPECT_EQ(store.GetItem(0).TypeOfItem, TItemType::itFile);
    EXPECT_EQ(store.GetItem(0).FilePath, "/a/file.txt");
    EXPECT_EQ(store.GetItem(1).TypeOfItem, TItemType::itFolder);
    EXPECT_EQ(store.GetItem(1).FilePath, "/a/folder/");
    EXPECT_EQ(store.GetItem(2).TypeOfItem, TItemType::itDrive);
    EXPECT_EQ(store.GetItem(2).FilePath, "/media/usb/");
}

TEST_F(HiddenConfigTest, DeletingTheMiddleOfThreeRenumbersTheSections) {
    THiddenConfig store;
    store.LoadFromFile();
    store.AddItem(TItemType::itFile, "/x/0");
    store.AddItem(TItemType::itFile, "/x/1");
    store.AddItem(TItemType::itFolder, "/x/2/");
    store.DeleteItem(1);
    ASSERT_EQ(store.Count(), 2);
    EXPECT_EQ(store.GetItem(1).FilePath, "/x/2/");

    TIniFile ini(BaseDat());
    EXPECT_EQ(ini.ReadInteger("Count", "Count", -1), 2);
    EXPECT_TRUE(ini.SectionExists("Item0"));
    EXPECT_TRUE(ini.SectionExists("Item1"));
    EXPECT_FALSE(ini.SectionExists("Item2"));
    EXPECT_EQ(ini.ReadString("Item0", "FilePath", ""), "/x/0");
    EXPECT_EQ(ini.ReadString("Item1", "FilePath", ""), "/x/2/");
    EXPECT_EQ(ini.ReadString("Item1", "ItemType", ""), "1");
}

TEST_F(HiddenConfigTest, SaveErasesEverySectionNamingItemAndKeepsTheOthers) {
    WriteText(BaseDat(),
              "; written by hand\n[Misc]\n; a note\nKeep=yes\n[OldItems]\nA=1\n[Item7]\nFilePath=/stale\n"
              "[Password]\nPassword=pw\nExtra=kept\n"
              "[Count]\nCount=0\n[xItemy]\nB=2\n[item9]\nC=3\n");
    THiddenConfig store;
    store.LoadFromFile();
    EXPECT_EQ(store.Password, "pw");
    store.AddItem(TItemType::itFile, "/new");

    TIniFile ini(BaseDat());
    EXPECT_FALSE(ini.SectionExists("OldItems"));
    EXPECT_FALSE(ini.SectionExists("Item7"));
    EXPECT_FALSE(ini.SectionExists("xItemy"));
    EXPECT_EQ(ini.ReadString("Misc", "Keep", ""), "yes");
    EXPECT_EQ(ini.ReadString("Password", "Extra", ""), "kept");
    // Sections are matched without regard to case, so "item9" is an item section too.
    EXPECT_FALSE(ini.SectionExists("item9"));
    EXPECT_EQ(ini.ReadString("Item0", "FilePath", ""), "/new");
    // Lines that are no key of the store stay where they were.
    EXPECT_EQ(ReadText(BaseDat()).rfind("; written by hand\n[Misc]\n; a note\nKeep=yes\n", 0), 0u);
}

TEST_F(HiddenConfigTest, ItemSectionsInAnotherCaseAreReplacedNotShadowed) {
    WriteText(BaseDat(), "[Count]\nCount=2\n[Item0]\nItemType=0\nFilePath=/a\n[item1]\nItemType=1\nFilePath=/b/\n");
    {
        THiddenConfig store;
        store.LoadFromFile();
        ASSERT_EQ(store.Count(), 2);
        store.DeleteItem(0);                       // a show
        store.AddItem(TItemType::itFile, "/c");    // a hide
    }
    THiddenConfig reloaded;
    reloaded.LoadFromFile();
    ASSERT_EQ(reloaded.Count(), 2);
    EXPECT_EQ(reloaded.GetItem(0).FilePath, "/b/");
    EXPECT_EQ(reloaded.GetItem(1).FilePath, "/c");
}

TEST_F(HiddenConfigTest, MissingAndMalformedValuesFallBackToDefaults) {
    WriteText(BaseDat(), "[Count]\nCount=4\n[Item0]\nItemType=2\nFilePath=/d/\n[Item2]\nItemType=abc\n"
                         "[Item3]\nItemType=1x\nFilePath=/f\n");
    THiddenConfig store;
    store.LoadFromFile();
    ASSERT_EQ(store.Count(), 4);
    EXPECT_EQ(store.Password, "");
    EXPECT_EQ(store.GetItem(0).TypeOfItem, TItemType::itDrive);
    // Item1 has no section at all and is still an item: a file with an empty path.
    EXPECT_EQ(store.GetItem(1).TypeOfItem, TItemType::itFile);
    EXPECT_EQ(store.GetItem(1).FilePath, "");
    EXPECT_EQ(store.GetItem(2).TypeOfItem, TItemType::itFile);
    EXPECT_EQ(store.GetItem(2).FilePath, "");
    EXPECT_EQ(store.GetItem(3).TypeOfItem, TItemType::itFile);
    EXPECT_EQ(store.GetItem(3).FilePath, "/f");
}

TEST_F(HiddenConfigTest, CountTwoWithOneItemSectionLoadsTwoItems) {
    WriteText(BaseDat(), "[Count]\nCount=2\n[Item0]\nItemType=1\nFilePath=/only/\n");
    THiddenConfig store;
    store.LoadFromFile();
    ASSERT_EQ(store.Count(), 2);
    EXPECT_EQ(store.GetItem(0).FilePath, "/only/");
    EXPECT_EQ(store.GetItem(1).TypeOfItem, TItemType::itFile);
    EXPECT_EQ(store.GetItem(1).FilePath, "");
}

TEST_F(HiddenConfigTest, BadCountsGiveNoItemsOrABoundedList) {
    for (const char* count : {"-3", "x", "", "99999999999", "2.5"}) {
        WriteText(BaseDat(), std::string("[Count]\nCount=") + count + "\n");
        THiddenConfig store;
        store.LoadFromFile();
        EXPECT_EQ(store.Count(), 0) << "Count=" << count;
    }
    WriteText(BaseDat(), "[count]\ncount=$10\n");
    THiddenConfig hex;
    hex.LoadFromFile();
    EXPECT_EQ(hex.Count(), 16);

    WriteText(BaseDat(), "[Count]\nCount=2000000000\n");
    THiddenConfig forged;
    forged.LoadFromFile();
    EXPECT_EQ(forged.Count(), THiddenConfig::MaxItems);
}

TEST_F(HiddenConfigTest, LongValuesAreCutAt2047Bytes) {
    std::string longPath = "/" + std::string(3000, 'p');
    std::string longPassword(2100, 'w');
    WriteText(BaseDat(), "[Password]\nPassword=" + longPassword + "\n[Count]\nCount=1\n[Item0]\nItemType=0\nFilePath=" +
                             longPath + "\n");
    THiddenConfig store;
    store.LoadFromFile();
    EXPECT_EQ(store.Password, longPassword.substr(0, 2047));
    EXPECT_EQ(store.GetItem(0).FilePath, longPath.substr(0, 2047));

    // A multi-byte character across the limit is not split.
    WriteText(BaseDat(), "[Password]\nPassword=" + std::string(2046, 'a') + "\xC3\xA9" + "\n");
    THiddenConfig utf8;
    utf8.LoadFromFile();
    EXPECT_EQ(utf8.Password, std::string(2046, 'a'));
}

TEST_F(HiddenConfigTest, FindItemIsExactAndCaseSensitive) {
    THiddenConfig store;
    store.LoadFromFile();
    store.AddItem(TItemType::itDrive, "/media/USB/");
    store.AddItem(TItemType::itFolder, "/home/u/Docs/");
    store.AddItem(TItemType::itFile, "/home/u/Docs/");

    EXPECT_EQ(store.FindItem("/media/usb/"), nullptr);
    EXPECT_EQ(store.FindItem("/home/u/Docs"), nullptr);
    EXPECT_EQ(store.FindItem("/home/u//Docs/"), nullptr);
    THiddenItem* found = store.FindItem("/home/u/Docs/");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found, &store.GetItem(1));  // the first in list order
    EXPECT_EQ(store.FindItem("/media/USB/"), &store.GetItem(0));
}

TEST_F(HiddenConfigTest, TheSamePathTwiceGivesTwoItemsAndTwoSections) {
    THiddenConfig store;
    store.LoadFromFile();
    store.AddItem(TItemType::itFile, "/same");
    store.AddItem(TItemType::itFile, "/same");
    EXPECT_EQ(store.Count(), 2);
    TIniFile ini(BaseDat());
    EXPECT_EQ(ini.ReadString("Item0", "FilePath", ""), "/same");
    EXPECT_EQ(ini.ReadString("Item1", "FilePath", ""), "/same");
    EXPECT_EQ(ini.ReadInteger("Count", "Count", 0), 2);
}

TEST_F(HiddenConfigTest, BadIndexesRaiseAndChangeNothing) {
    THiddenConfig store;
    store.LoadFromFile();
    store.AddItem(TItemType::itFile, "/a");
    const std::string before = ReadText(BaseDat());
    EXPECT_THROW(store.GetItem(1), std::out_of_range);
    EXPECT_THROW(store.GetItem(-1), std::out_of_range);
    EXPECT_THROW(store.DeleteItem(1), std::out_of_range);
    EXPECT_THROW(store.DeleteItem(-1), std::out_of_range);
    EXPECT_EQ(store.Count(), 1);
    EXPECT_EQ(ReadText(BaseDat()), before);
}

TEST_F(HiddenConfigTest, PasswordChangeReachesTheFileOnlyWithTheNextSave) {
    THiddenConfig store;
    store.LoadFromFile();
    store.AddItem(TItemType::itFile, "/a");
    store.Password = "new";
    EXPECT_EQ(TIniFile(BaseDat()).ReadString("Password", "Password", "?"), "");
    store.DeleteItem(0);
    EXPECT_EQ(TIniFile(BaseDat()).ReadString("Password", "Password", "?"), "new");
}

TEST_F(HiddenConfigTest, BlanksAndQuotesAroundValuesSurviveTheRoundTrip) {
    // INI readers drop the blanks around a value and a pair of enclosing quotes; a password or a
    // file name with them must still come back exactly.
    const std::vector<std::string> values = {" lead", "trail ", "\tboth\t", "\"quoted\"", "'single'", "\"", "a\"b"};
    {
        THiddenConfig store;
        store.LoadFromFile();
        store.Password = " pass word ";
        for (const auto& v : values) store.AddItem(TItemType::itFile, "/tmp/" + v);
        store.AddItem(TItemType::itFile, "\"/tmp/q\"");
    }
    THiddenConfig store;
    store.LoadFromFile();
    EXPECT_EQ(store.Password, " pass word ");
    ASSERT_EQ(store.Count(), static_cast<int>(values.size()) + 1);
    for (size_t i = 0; i < values.size(); ++i) EXPECT_EQ(store.GetItem(static_cast<int>(i)).FilePath, "/tmp/" + values[i]);
    EXPECT_EQ(store.GetItem(static_cast<int>(values.size())).FilePath, "\"/tmp/q\"");
}

TEST_F(HiddenConfigTest, ValuesTheFileCannotHoldAreRefusedBeforeAnythingChanges) {
    THiddenConfig store;
    store.LoadFromFile();
    store.AddItem(TItemType::itFile, "/ok");
    const std::string before = ReadText(BaseDat());

    EXPECT_THROW(store.AddItem(TItemType::itFile, "/evil\n[Password]\nPassword=x"), EHiddenConfigError);
    EXPECT_THROW(store.AddItem(TItemType::itFile, "/cr\rname"), EHiddenConfigError);
    EXPECT_THROW(store.AddItem(TItemType::itFile, "/" + std::string(2047, 'n')), EHiddenConfigError);
    EXPECT_EQ(store.Count(), 1);
    EXPECT_EQ(ReadText(BaseDat()), before);
    store.AddItem(TItemType::itFile, std::string(2047, 'n'));  // exactly at the limit
    EXPECT_EQ(store.Count(), 2);

    store.Password = "two\nlines";
    EXPECT_THROW(store.SaveToFile(), EHiddenConfigError);
    EXPECT_EQ(TIniFile(BaseDat()).ReadInteger("Count", "Count", 0), 2);
}

TEST_F(HiddenConfigTest, AMissingDataFolderIsReportedAsAFileError) {
    SetDataFolder(dir.file("data"));
    // Root ignores modes; a regular file in the folder's place stops even root.
    ASSERT_EQ(rmdir(dir.file("data").c_str()), 0);
    WriteText(dir.file("data"), "not a folder");
    THiddenConfig store;
    EXPECT_THROW(store.LoadFromFile(), EFileError);
    EXPECT_THROW(store.SaveToFile(), EFileError);
}

TEST_F(HiddenConfigTest, AnInterruptedSaveLeavesThePreviousListWhole) {
    THiddenConfig store;
    store.LoadFromFile();
    store.Password = "pw";
    store.AddItem(TItemType::itFile, "/a");
    store.AddItem(TItemType::itFolder, "/b/");
    const std::string before = ReadText(BaseDat());
    {
        FileSizeLimit limit(16);
        EXPECT_THROW(store.AddItem(TItemType::itFile, "/c"), EFileError);
    }
    EXPECT_EQ(ReadText(BaseDat()), before);
    THiddenConfig reloaded;
    reloaded.LoadFromFile();
    EXPECT_EQ(reloaded.Count(), 2);
    EXPECT_EQ(reloaded.Password, "pw");
    // No temporary file is left beside it.
    int files = 0;
    for (const auto& e : ListDirectory(dir.path().string())) files += e.name != "base.dat";
    EXPECT_EQ(files, 0);
}

TEST_F(HiddenConfigTest, ProcessWideStoreIsLoadedAtStartAndSavedAtShutdown) {
    WriteText(BaseDat(), "[Password]\nPassword=main\n[Count]\nCount=1\n[Item0]\nItemType=1\nFilePath=/f/\n");
    EXPECT_FALSE(HiddenConfigCreated());
    EXPECT_THROW(HiddenItemsStore(), std::logic_error);
    CreateHiddenConfig();
    ASSERT_TRUE(HiddenConfigCreated());
    EXPECT_EQ(HiddenItemsStore().Password, "main");
    EXPECT_EQ(HiddenItemsStore().Count(), 1);
    HiddenItemsStore().Password = "changed";
    FreeHiddenConfig();
    EXPECT_FALSE(HiddenConfigCreated());
    EXPECT_EQ(TIniFile(BaseDat()).ReadString("Password", "Password", ""), "changed");
    EXPECT_EQ(TIniFile(BaseDat()).ReadString("Item0", "FilePath", ""), "/f/");
}

TEST_F(HiddenConfigTest, AFailedLoadAtStartLeavesNoStore) {
    ASSERT_EQ(mkdir(BaseDat().c_str(), 0700), 0);  // a folder cannot be read as base.dat
    EXPECT_THROW(CreateHiddenConfig(), EFileError);
    EXPECT_FALSE(HiddenConfigCreated());
}

}  // namespace
}  // namespace tellvane
