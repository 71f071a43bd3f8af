#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "base/Options.h"
#include "platform/AppFolders.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "support/TestSupport.h"

namespace tellvane {
namespace {

class OptionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedDataFolder_ = GetDataFolder();
        SetDataFolder(dir_.path().string());
    }
    void TearDown() override {
        if (!savedDataFolder_.empty()) SetDataFolder(savedDataFolder_);
    }
    std::string IniPath() const { return dir_.file("options.ini"); }
    // Writes the store by hand, as another program or an older version might have left it.
    void WriteStore(const std::string& body) const { test::WriteText(IniPath(), "[Options]\n" + body); }

    test::TempDir dir_;
    std::string savedDataFolder_;
};

TEST_F(OptionsTest, StoreLivesInTheDataFolder) {
    EXPECT_EQ(TOptions::GetFileName(), GetDataFolder() + "options.ini");
    EXPECT_EQ(TOptions().FileName(), IniPath());
    EXPECT_EQ(TOptions("").FileName(), IniPath());
    EXPECT_EQ(TOptions(dir_.file("other.ini")).FileName(), dir_.file("other.ini"));
}

TEST_F(OptionsTest, MissingFileGivesEveryDefault) {
    TOptions options;
    EXPECT_EQ(options.GetOption("LanguageID", 1033), 1033);
    EXPECT_EQ(options.GetOption("LanguageID", "1033"), "1033");
    EXPECT_TRUE(options.GetOption("IntegrateContextMenu", true));
    EXPECT_FALSE(options.GetOption("CascadeContextMenu", false));
    EXPECT_EQ(options.GetDateTimeOption("Stamp", 45000.5), 45000.5);
    EXPECT_EQ(options.GetFloatOption("Ratio", -0.125), -0.125);
    EXPECT_EQ(options.GetDateTimeStr("Stamp", "never"), "never");
    EXPECT_FALSE(PathExists(IniPath()));  // reading creates nothing
}

TEST_F(OptionsTest, BooleanIsWrittenAsOneOrZeroAndReadAsAnInteger) {
    TOptions options;
    options.SetOption("IntegrateContextMenu", false);
    options.SetOption("CascadeContextMenu", true);
    std::string text = test::ReadText(IniPath());
    EXPECT_NE(text.find("[Options]"), std::string::npos) << text;
    EXPECT_NE(text.find("IntegrateContextMenu=0"), std::string::npos) << text;
    EXPECT_NE(text.find("CascadeContextMenu=1"), std::string::npos) << text;
    EXPECT_FALSE(options.GetOption("IntegrateContextMenu", true));
    EXPECT_TRUE(options.GetOption("CascadeContextMenu", false));

    struct Case {
        const char* stored;
        bool whenDefaultTrue, whenDefaultFalse;
    };
    const Case cases[] = {
        {"0", false, false},  {"1", true, true},     {"2", true, true},      {"-1", true, true},
        {"0x0", false, false}, {"$10", true, true},  {"yes", true, false},   {"true", true, false},
        {"no", true, false},  {"", true, false},     {"1.0", true, false},   {"0 1", true, false},
    };
    for (const auto& c : cases) {
        WriteStore(std::string("IntegrateContextMenu=") + c.stored + "\n");
        EXPECT_EQ(options.GetOption("IntegrateContextMenu", true), c.whenDefaultTrue) << "\"" << c.stored << "\"";
        EXPECT_EQ(options.GetOption("IntegrateContextMenu", false), c.whenDefaultFalse) << "\"" << c.stored << "\"";
    }
}

TEST_F(OptionsTest, IntegerReadsDecimalAndBothHexadecimalForms) {
    TOptions options;
    struct Case {
        const char* stored;
        int expected;
    };
    const Case cases[] = {
        {"1031", 1031},      {"0x407", 1031},      {"0X407", 1031},  {"$407", 1031},     {"-12", -12},
        {"0", 0},            {"2147483647", 2147483647},             {"0xFFFFFFFF", -1}, {"12abc", 1033},
        {"abc", 1033},       {"0x", 1033},         {"$", 1033},      {"", 1033},         {"1 2", 1033},
        {"99999999999", 1033}, {"0x1G", 1033},    {"--5", 1033},    {"1031.0", 1033},
    };
    for (const auto& c : cases) {
        WriteStore(std::string("LanguageID=") + c.stored + "\n");
        EXPECT_EQ(options.GetOption("LanguageID", 1033), c.expected) << "\"" << c.stored << "\"";
    }
    // The description files are named with the text as stored, whatever number it spells.
    WriteStore("LanguageID=0x407\n");
    EXPECT_EQ(options.GetOption("LanguageID", "1033"), "0x407");
    EXPECT_EQ(options.GetOption("LanguageID", 1033), 1031);

    options.SetOption("LanguageID", -40);
    EXPECT_NE(test::ReadText(IniPath()).find("LanguageID=-40"), std::string::npos);
    EXPECT_EQ(options.GetOption("LanguageID", 0), -40);
}

TEST_F(OptionsTest, TextRoundTripsWholeUpTo2047Characters) {
    TOptions options;
    options.SetOption("Note", "caf\xC3\xA9 = \"quoted\" ; not a comment");
    EXPECT_EQ(options.GetOption("Note", ""), "caf\xC3\xA9 = \"quoted\" ; not a comment");
    std::string longValue = std::string(2046, 'v') + "w";
    options.SetOption("Long", longValue);
    EXPECT_EQ(options.GetOption("Long", ""), longValue);
    options.SetOption("Empty", "");
    EXPECT_EQ(options.GetOption("Empty", "default"), "");
    // Keys and the section are found whatever their letter case.
    test::WriteText(IniPath(), "[OPTIONS]\nlanguageid=1049\n");
    EXPECT_EQ(options.GetOption("LanguageID", 1033), 1049);
    options.SetOption("LANGUAGEID", 1031);
    EXPECT_EQ(options.GetOption("languageId", 1033), 1031);
}

TEST_F(OptionsTest, DateTimeReadsWithDotOrComma) {
    TOptions options;
    struct Case {
        const char* stored;
        double expected;
    };
    const double kDefault = -7.25;
    const Case cases[] = {
        {"45000.25", 45000.25}, {"45000,25", 45000.25}, {"-1.5", -1.5},        {"-1,5", -1.5},
        {"46000", 46000},       {"+2.5", 2.5},          {"1e3", 1000},         {"0.0", 0},
        {"1.5,2", kDefault},    {"1,5.2", kDefault},    {"1,000,5", kDefault}, {"abc", kDefault},
        {"", kDefault},         {"12x", kDefault},      {"inf", kDefault},     {"nan", kDefault},
        {"0x10", kDefault},     {".", kDefault},        {",", kDefault},       {"+-1", kDefault},
    };
    for (const auto& c : cases) {
        WriteStore(std::string("Stamp=") + c.stored + "\n");
        EXPECT_EQ(options.GetDateTimeOption("Stamp", kDefault), c.expected) << "\"" << c.stored << "\"";
        EXPECT_EQ(options.GetFloatOption("Stamp", kDefault), c.expected) << "\"" << c.stored << "\"";
    }
}

TEST_F(OptionsTest, DateTimeAndFloatWritesReadBackExactly) {
    TOptions options;
    const double values[] = {46000.123456789012, 0.1, -693593.0, 2.5e-9, 1234567890.5};
    for (double v : values) {
        options.SetDateTimeOption("Stamp", v);
        EXPECT_EQ(options.GetDateTimeOption("Stamp", 0), v);
        options.SetFloatOption("Ratio", v);
        EXPECT_EQ(options.GetFloatOption("Ratio", 0), v);
    }
    options.SetDateTimeOption("Stamp", 45000.25);
    // This process runs with the C numeric locale: the separator is a dot.
    EXPECT_NE(test::ReadText(IniPath()).find("Stamp=45000.25\n"), std::string::npos) << test::ReadText(IniPath());
}

TEST_F(OptionsTest, DateTimeStrUsesTheDefaultForZeroOrNothing) {
    const char* savedLcAll = std::getenv("LC_ALL");
    std::optional<std::string> saved = savedLcAll ? std::optional<std::string>(savedLcAll) : std::nullopt;
    setenv("LC_ALL", "C", 1);

    TOptions options;
    EXPECT_EQ(options.GetDateTimeStr("Stamp", "never"), "never");
    options.SetDateTimeOption("Stamp", 0);
    EXPECT_EQ(options.GetDateTimeStr("Stamp", "never"), "never");
    WriteStore("Stamp=garbage\n");
    EXPECT_EQ(options.GetDateTimeStr("Stamp", "never"), "never");

    TDateTime when = EncodeDateTime({2026, 12, 9, 5, 46, 27, 0});
    options.SetDateTimeOption("Stamp", when);
    EXPECT_EQ(options.GetDateTimeStr("Stamp", "never"), "12/09/26 05:46:27");
    EXPECT_EQ(TOptions::GetDateTimeStr(when), "12/09/26 05:46:27");

    if (saved) setenv("LC_ALL", saved->c_str(), 1);
    else unsetenv("LC_ALL");
}

TEST_F(OptionsTest, DeleteKeyRemovesOnlyThatKey) {
    TOptions options;
    options.SetOption("LanguageID", 1049);
    options.SetOption("IntegrateContextMenu", false);
    options.DeleteKey("languageid");
    EXPECT_EQ(options.GetOption("LanguageID", 1033), 1033);
    EXPECT_FALSE(options.GetOption("IntegrateContextMenu", true));
    std::string text = test::ReadText(IniPath());
    EXPECT_EQ(text.find("LanguageID"), std::string::npos) << text;
    EXPECT_NO_THROW(options.DeleteKey("NeverStored"));
    EXPECT_FALSE(options.GetOption("IntegrateContextMenu", true));
}

TEST_F(OptionsTest, EveryCallGoesToTheFile) {
    TOptions writer, reader;
    EXPECT_EQ(reader.GetOption("LanguageID", 1033), 1033);
    writer.SetOption("LanguageID", 1031);
    EXPECT_EQ(reader.GetOption("LanguageID", 1033), 1031);
    EXPECT_EQ(TOptions().GetOption("LanguageID", 1033), 1031);
    // A change made behind the program's back is seen by the next read.
    WriteStore("LanguageID=1049\n");
    EXPECT_EQ(reader.GetOption("LanguageID", 1033), 1049);
    // Keys of other sections are kept by a write.
    test::WriteText(IniPath(), "[Other]\nKeep=yes\n[Options]\nLanguageID=1049\n");
    writer.SetOption("CascadeContextMenu", true);
    std::string text = test::ReadText(IniPath());
    EXPECT_NE(text.find("Keep=yes"), std::string::npos) << text;
    EXPECT_EQ(reader.GetOption("LanguageID", 1033), 1049);
}

TEST_F(OptionsTest, MalformedFileReadsAsDefaults) {
    test::WriteText(IniPath(), std::string("\x01\x02garbage without structure\n=novalue\n[Options\nLanguageID"));
    TOptions options;
    EXPECT_EQ(options.GetOption("LanguageID", 1033), 1033);
    EXPECT_TRUE(options.GetOption("IntegrateContextMenu", true));
    EXPECT_EQ(options.GetOption("Note", "none"), "none");
}

TEST_F(OptionsTest, UnwritableStoreReportsTheFileAndReadsDefaults) {
    // A store below a regular file can be neither read nor written, whoever runs the test.
    test::WriteText(dir_.file("plain"), "x");
    const std::string path = dir_.file("plain") + "/options.ini";
    TOptions options(path);
    EXPECT_EQ(options.GetOption("LanguageID", 1033), 1033);
    EXPECT_EQ(options.GetDateTimeStr("Stamp", "never"), "never");
    try {
        options.SetOption("LanguageID", 1031);
        FAIL() << "no error";
    } catch (const EFileError& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
    }
    EXPECT_THROW(options.SetOption("IntegrateContextMenu", true), EFileError);
    EXPECT_THROW(options.SetOption("Note", "text"), EFileError);
    EXPECT_THROW(options.SetDateTimeOption("Stamp", 1.5), EFileError);
    EXPECT_THROW(options.SetFloatOption("Ratio", 1.5), EFileError);
    EXPECT_THROW(options.DeleteKey("LanguageID"), EFileError);
    EXPECT_EQ(test::ReadText(dir_.file("plain")), "x");

    // A folder where the file should be: reads give defaults, writes fail, the folder stays.
    std::filesystem::create_directory(IniPath());
    TOptions blocked;
    EXPECT_EQ(blocked.GetOption("LanguageID", 1033), 1033);
    EXPECT_THROW(blocked.SetOption("LanguageID", 1031), EFileError);
    EXPECT_TRUE(DirectoryExists(IniPath()));
}

// The language option, read once for the whole start-up: the manager's number and the description
// files' text from one value; the same values from the options' text without a file.
TEST_F(OptionsTest, LanguageChoiceGivesNumberTextAndCodePage) {
    struct Case {
        const char* stored;  // nullptr: no key
        const char* text;
        uint16_t id;
        uint32_t codePage;
    };
    const Case cases[] = {
        {nullptr, "1033", 1033, 1252}, {"1049", "1049", 1049, 1251}, {"0x407", "0x407", 1031, 1252},
        {"$419", "$419", 1049, 1251},  {"German", "German", 1033, 1252}, {"", "1033", 1033, 1252},
        {"-1", "-1", 0xFFFF, 1252},    {"70657", "70657", 5121, 1256},
    };
    for (const Case& c : cases) {
        const std::string body = c.stored ? std::string("LanguageID=") + c.stored + "\n" : "Other=1\n";
        WriteStore(body);
        for (const TOptions& options : {TOptions(), TOptions::FromText("[Options]\n" + body)}) {
            const TLanguageChoice choice = ReadLanguageChoice(options);
            EXPECT_EQ(choice.text, c.text) << body;
            EXPECT_EQ(choice.id, c.id) << body;
            EXPECT_EQ(choice.CodePage(), c.codePage) << body;
            // An empty value counts as none, so that the locale may choose.
            EXPECT_EQ(choice.stored, c.stored != nullptr && *c.stored != 0) << body;
        }
    }
    // Options of a text are for reading: a write is refused and no file is made.
    EXPECT_THROW(TOptions::FromText("").SetOption("LanguageID", 1031), std::logic_error);
    EXPECT_EQ(TOptions::FromText("[Options]\nCascadeContextMenu=1\n").GetOption("CascadeContextMenu", false), true);
}

}  // namespace
}  // namespace tellvane
