#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "platform/IniFile.h"
#include "support/TestSupport.h"

namespace tellvane {
namespace {

class IniFileTest : public ::testing::Test {
protected:
    std::string Path() const { return dir_.file("test.ini"); }
    test::TempDir dir_;
};

TEST_F(IniFileTest, MissingFileReadsDefaultsAndIsNotCreated) {
    TIniFile ini(Path());
    EXPECT_EQ(ini.ReadString("S", "K", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadInteger("S", "K", 7), 7);
    EXPECT_TRUE(ini.ReadBool("S", "K", true));
    EXPECT_FALSE(ini.SectionExists("S"));
    EXPECT_FALSE(ini.ValueExists("S", "K"));
    EXPECT_TRUE(ini.ReadSections().empty());
    EXPECT_TRUE(ini.ReadSectionKeys("S").empty());
    EXPECT_FALSE(PathExists(Path()));
}

TEST_F(IniFileTest, SectionsAndKeysIgnoreLetterCase) {
    test::WriteText(Path(), "[Options]\nLanguageID=1031\n");
    TIniFile ini(Path());
    EXPECT_EQ(ini.ReadString("OPTIONS", "languageid", ""), "1031");
    EXPECT_TRUE(ini.SectionExists("options"));
    EXPECT_TRUE(ini.ValueExists("oPtIoNs", "LANGUAGEID"));

    // A write under another spelling changes the existing key and keeps its original spelling.
    ini.WriteString("options", "LANGUAGEID", "1049");
    EXPECT_EQ(ini.ReadSections(), std::vector<std::string>{"Options"});
    EXPECT_EQ(ini.ReadSectionKeys("OPTIONS"), std::vector<std::string>{"LanguageID"});
    EXPECT_EQ(ini.ReadString("Options", "LanguageID", ""), "1049");
}

TEST_F(IniFileTest, ValuesAreReadUpTo2047Characters) {
    TIniFile ini(Path());
    const std::string exact(TIniFile::MaxValueLength, 'a');
    ini.WriteString("S", "Exact", exact);
    EXPECT_EQ(ini.ReadString("S", "Exact", ""), exact);
    const std::string longer = std::string(2047, 'b') + "cdef";
    ini.WriteString("S", "Longer", longer);
    EXPECT_EQ(ini.ReadString("S", "Longer", ""), longer.substr(0, 2047));
    // The whole value stays in the file; only the read is limited.
    EXPECT_NE(test::ReadText(Path()).find(longer), std::string::npos);
    // Characters, not bytes: a character across the limit is never split.
    const std::string wide = std::string(2045, 'a') + "\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80";
    ini.WriteString("S", "Wide", wide);
    EXPECT_EQ(ini.ReadString("S", "Wide", ""), std::string(2045, 'a') + "\xC3\xA4\xE2\x82\xAC");
    EXPECT_EQ(CutToCharacters("\xC3\xA4\xC3\xB6", 1), "\xC3\xA4");
    EXPECT_EQ(CutToCharacters("ab", 0), "");
}

TEST_F(IniFileTest, TextThatIsNotUtf8IsReadInTheGivenCodePage) {
    struct Case {
        std::string bytes;
        uint32_t codePage;
        std::string expected;
    } cases[] = {
        {"[Algos]\nBFS=Gr\xFC\xDF" "e\n", 1252, "Gr\xC3\xBC\xC3\x9F" "e"},
        {"[Algos]\nBFS=Gr\xC3\xBC\xC3\x9F" "e\n", 1252, "Gr\xC3\xBC\xC3\x9F" "e"},  // valid UTF-8 stays
        {"[Algos]\nBFS=\xC4\xE0\n", 1251, "\xD0\x94\xD0\xB0"},
        {"[Algos]\nBFS=Gr\xFC\xDF" "e\n", 0, "Gr\xFC\xDF" "e"},  // no code page: the bytes as they are
    };
    for (const auto& c : cases) {
        test::WriteText(Path(), c.bytes);
        EXPECT_EQ(TIniFile(Path(), c.codePage).ReadString("Algos", "BFS", ""), c.expected) << c.codePage;
    }
}

TEST_F(IniFileTest, WritesAreAtomicWithOwnerOnlyMode) {
    test::WriteText(Path(), "[S]\nOld=1\n");
    ASSERT_EQ(chmod(Path().c_str(), 0644), 0);
    struct stat before {};
    ASSERT_EQ(stat(Path().c_str(), &before), 0);

    TIniFile ini(Path());
    ini.WriteInteger("S", "New", 2);

    struct stat after {};
    ASSERT_EQ(stat(Path().c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & 07777, 0600u);
    // A new file took the old one's place by rename: the old one was never written in place.
    EXPECT_NE(after.st_ino, before.st_ino);
    EXPECT_EQ(ini.ReadInteger("S", "Old", 0), 1);
    EXPECT_EQ(ini.ReadInteger("S", "New", 0), 2);
    // No temporary file is left beside it.
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path()))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"test.ini"});

    // A file created by a write is owner-only too.
    TIniFile fresh(dir_.file("fresh.ini"));
    fresh.WriteBool("S", "B", true);
    struct stat created {};
    ASSERT_EQ(stat(dir_.file("fresh.ini").c_str(), &created), 0);
    EXPECT_EQ(created.st_mode & 07777, 0600u);
    EXPECT_EQ(fresh.ReadString("S", "B", ""), "1");
}

TEST_F(IniFileTest, EveryReadGoesToTheFile) {
    TIniFile a(Path()), b(Path());
    a.WriteString("S", "K", "first");
    EXPECT_EQ(b.ReadString("S", "K", ""), "first");
    test::WriteText(Path(), "[S]\nK=changed outside\n");
    EXPECT_EQ(a.ReadString("S", "K", ""), "changed outside");
}

TEST_F(IniFileTest, MalformedLinesAreIgnored) {
    test::WriteText(Path(),
                    "\xEF\xBB\xBF"
                    "orphan=before any section\n"
                    "[S]\r\n"
                    "no equals sign here\r\n"
                    "; comment=not a key\r\n"
                    "=no key\r\n"
                    "  Spaced  =  value with blanks  \r\n"
                    "Good=1\r\n"
                    "Good=2\r\n"
                    "[Broken\n"
                    "Inside=3\n");
    TIniFile ini(Path());
    EXPECT_EQ(ini.ReadString("S", "Good", ""), "1");  // the first occurrence wins
    EXPECT_EQ(ini.ReadString("S", "Spaced", ""), "value with blanks");
    EXPECT_FALSE(ini.ValueExists("S", "no equals sign here"));
    EXPECT_FALSE(ini.ValueExists("S", "; comment"));
    EXPECT_FALSE(ini.ValueExists("S", ""));
    EXPECT_EQ(ini.ReadString("", "orphan", "none"), "none");
    EXPECT_EQ(ini.ReadSectionKeys("S"), (std::vector<std::string>{"Spaced", "Good"}));

    // A write keeps every good key of the file.
    ini.WriteString("S", "Added", "x");
    EXPECT_EQ(ini.ReadString("S", "Good", ""), "1");
    EXPECT_EQ(ini.ReadString("S", "Spaced", ""), "value with blanks");
    EXPECT_EQ(ini.ReadString("S", "Added", ""), "x");
    // ... and every line that is no key of ours, in its place.
    EXPECT_EQ(test::ReadText(Path()),
              "orphan=before any section\n[S]\nno equals sign here\n; comment=not a key\n=no key\n"
              "Spaced=value with blanks\nGood=1\nGood=2\nAdded=x\n\n[Broken]\nInside=3\n\n");
    // A rewrite of what we wrote changes nothing; a new key goes before a section's blank lines.
    test::WriteText(Path(), "; options\n[A]\n; the language\nLanguageID=1031\n\n\n[B]\nK=1\n");
    ini.WriteString("A", "New", "2");
    ini.DeleteKey("B", "K");
    EXPECT_EQ(test::ReadText(Path()), "; options\n[A]\n; the language\nLanguageID=1031\nNew=2\n\n\n[B]\n\n");
}

TEST_F(IniFileTest, IntegersReadDecimalAndHexadecimal) {
    TIniFile ini(Path());
    struct Case {
        const char* text;
        int expected;
    };
    const Case cases[] = {
        {"42", 42},   {"-42", -42},     {"0x2A", 42},   {"$2a", 42},     {"0xFFFFFFFF", -1}, {"2147483647", 2147483647},
        {"", -9},     {"x", -9},        {"4 2", -9},    {"42abc", -9},   {"0x", -9},          {"$", -9},
        {"--1", -9},  {"2147483648", -9}, {"0x1FFFFFFFF", -9}, {"1.5", -9},
    };
    for (const auto& c : cases) {
        ini.WriteString("S", "N", c.text);
        EXPECT_EQ(ini.ReadInteger("S", "N", -9), c.expected) << "\"" << c.text << "\"";
    }
    ini.WriteInteger("S", "N", -123);
    EXPECT_EQ(ini.ReadString("S", "N", ""), "-123");
}

TEST_F(IniFileTest, DeleteKeyEraseSectionAndUpdate) {
    TIniFile ini(Path());
    ini.Update([](TIniFile::Document& doc) {
        doc.Set("A", "One", "1");
        doc.Set("A", "Two", "2");
        doc.Set("B", "Three", "3");
    });
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"A", "B"}));
    ini.DeleteKey("a", "ONE");
    EXPECT_EQ(ini.ReadSectionKeys("A"), std::vector<std::string>{"Two"});
    ini.DeleteKey("A", "Missing");
    ini.DeleteKey("Missing", "Key");
    ini.EraseSection("b");
    EXPECT_EQ(ini.ReadSections(), std::vector<std::string>{"A"});
    EXPECT_EQ(ini.ReadString("B", "Three", "gone"), "gone");
}

TEST_F(IniFileTest, UnwritableFileThrowsAndKeepsTheOldContent) {
    // Below a regular file nothing can be created, whoever runs the test.
    test::WriteText(dir_.file("plain"), "x");
    TIniFile ini(dir_.file("plain") + "/test.ini");
    try {
        ini.WriteString("S", "K", "v");
        FAIL() << "no error";
    } catch (const EFileError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot create file \"" + dir_.file("plain") + "/test.ini\". Error ", 0),
                  0u)
            << e.what();
    }
    EXPECT_EQ(ini.ReadString("S", "K", "none"), "none");

    // A folder standing where the file should be: reads give defaults, the write fails, nothing is lost.
    std::filesystem::create_directory(Path());
    test::WriteText(Path() + "/inside", "kept");
    TIniFile blocked(Path());
    EXPECT_EQ(blocked.ReadString("S", "K", "none"), "none");
    EXPECT_THROW(blocked.WriteString("S", "K", "v"), EFileError);
    EXPECT_EQ(test::ReadText(Path() + "/inside"), "kept");
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"plain", "test.ini"}));
}

TEST_F(IniFileTest, Utf16FilesAreDecodedByTheirMark) {
    std::string le = "\xFF\xFE";
    for (char16_t c : std::u16string(u"[Options]\r\nName=Gr\u00FC\u00DFe\r\n")) {
        le += static_cast<char>(c & 0xFF);
        le += static_cast<char>(c >> 8);
    }
    test::WriteText(Path(), le);
    EXPECT_EQ(TIniFile(Path()).ReadString("options", "name", ""), "Gr\xC3\xBC\xC3\x9F" "e");
}

TEST_F(IniFileTest, LineBreaksCannotSmuggleKeysOrSections) {
    TIniFile ini(Path());
    ini.WriteString("Options", "LanguageID", "1033");
    EXPECT_THROW(ini.WriteString("Options", "Name", "x\n[Item0]\nName=/etc"), std::invalid_argument);
    EXPECT_THROW(ini.WriteString("Options", "a\rb", "x"), std::invalid_argument);
    EXPECT_THROW(ini.WriteString("Op]tions", "a", "x"), std::invalid_argument);
    EXPECT_FALSE(ini.SectionExists("Item0"));
    EXPECT_EQ(ini.ReadSectionKeys("Options"), (std::vector<std::string>{"LanguageID"}));
}

}  // namespace
}  // namespace tellvane
