// Language files: their lexical rules, registration, selection and the translation of a window.
#include <gtest/gtest.h>

#include <map>

#include "l10n/LanguageController.h"
#include "l10n/LanguageFile.h"
#include "l10n/TextConstants.h"
#include "support/TestSupport.h"

namespace tellvane {
namespace {

using test::TempDir;
using test::WriteText;

TEST(LngEscapes, DecodedLeftToRight) {
    EXPECT_EQ(DecodeLngEscapes("\\65\\66"), "AB");
    EXPECT_EQ(DecodeLngEscapes("a\\x"), "a\\x");
    EXPECT_EQ(DecodeLngEscapes("end\\"), "end\\");
    EXPECT_EQ(DecodeLngEscapes("one\\ntwo"), "one\r\ntwo");
    EXPECT_EQ(DecodeLngEscapes("a\\tb\\\\n"), "a\tb\\n");
    EXPECT_EQ(DecodeLngEscapes("\\32lead"), " lead");
    EXPECT_EQ(DecodeLngEscapes("\\6x"), "\\6x");
    EXPECT_EQ(DecodeLngEscapes("\\N"), "\\N");
}

TEST(LngParse, SectionsEntriesAndParameters) {
    const std::string file =
        "; a comment\r\n"
        "LANGID = 1031\r\n"
        "Author=Someone\r\n"
        "Author=\r\n"           // an empty value removes a parameter
        "[]\r\n"                // too short to be a header: ignored
        "[$constants]\r\n"      // any case
        "Cancel = &Abbrechen\r\n"
        "no equals sign\r\n"
        " = nameless\r\n"
        "[MainForm]\n"
        "00000002=Fertig\n"
        "abc=ignored\n"
        "0=ignored\n"
        "000000000004=Zwoelf Stellen\n"  // more than ten characters: still the number it spells
        "99999999999=too large\n"
        "17=Erste\\nZweite\r"
        "[mainform]\r"
        "3=Hinweis\r";
    TQuenLang_CompTranslations t = ParseLanguageFile(file, 1252);
    EXPECT_EQ(t.Param("langid"), "1031");
    EXPECT_EQ(t.Param("Author"), "");
    EXPECT_EQ(LanguageIdOfParams(t.Params), 1031);
    ASSERT_EQ(t.Constants.size(), 1u);
    EXPECT_EQ(t.Constants[0], (std::pair<std::string, std::string>{"Cancel", "&Abbrechen"}));
    ASSERT_EQ(t.Components.size(), 1u);
    const TQuenLang_CompTranslation* form = t.FindComponent("MAINFORM");
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->Values, (std::map<int32_t, std::string>{
                                {2, "Fertig"}, {3, "Hinweis"}, {4, "Zwoelf Stellen"}, {17, "Erste\r\nZweite"}}));
}

TEST(LngParse, ErrorsNameTheirZeroBasedLine) {
    auto message = [](const std::string& file) {
        try {
            ParseLanguageFile(file, 1252);
        } catch (const EQuenLangError& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(message("LANGID=1031\n\n[MainForm]\n1=a\n; note\n1=b\n"),
              "Loading translations failed.\nLine 5: Duplicate property value translation ID (1)");
    EXPECT_EQ(message("[$CONSTANTS]\n9lives=x\n"),
              "Loading translations failed.\nLine 1: Invalid constant name (\"9lives\")");
    EXPECT_EQ(message("[$CONSTANTS]\nCancel=a\r\ncancel=b\r\n"),
              "Loading translations failed.\nLine 2: Duplicate constant name (\"cancel\")");
}

TEST(LngParse, EncodingsByByteOrderMark) {
    const std::u16string text = u"LANGID=1031\r\n[$CONSTANTS]\r\nCancel=&Schlie\u00DFen\r\n";
    std::string le = "\xFF\xFE", be = "\xFE\xFF";
    for (char16_t c : text) {
        le += static_cast<char>(c & 0xFF), le += static_cast<char>(c >> 8);
        be += static_cast<char>(c >> 8), be += static_cast<char>(c & 0xFF);
    }
    const std::string expected = "&Schlie\xC3\x9F" "en";
    EXPECT_EQ(ParseLanguageFile(le, 1252).Constants.at(0).second, expected);
    EXPECT_EQ(ParseLanguageFile(be, 1252).Constants.at(0).second, expected);
    EXPECT_EQ(ParseLanguageFile("\xEF\xBB\xBF[$CONSTANTS]\nCancel=&Schlie\xC3\x9F" "en", 1252).Constants.at(0).second,
              expected);
    EXPECT_EQ(ParseLanguageFile("[$CONSTANTS]\nCancel=&Schlie\xDF" "en", 1252).Constants.at(0).second, expected);
}

// A window with named controls holding text properties.
class FakeForm : public TQuenLanguageController {
public:
    explicit FakeForm(std::map<std::string, std::string> props)
        : TQuenLanguageController("MainForm",
                                  {{1, "MainForm", "Caption", ""}, {2, "FinishButton", "Caption", ""},
                                   {17, "OperationsListBox", "Items", ""}, {41, "FinishInfoLabel", "Caption", ""},
                                   {99, "Gone", "Caption", ""}}),
          props_(std::move(props)) {}
    std::map<std::string, std::string> props_;

protected:
    bool HasComponent(const std::string& c) const override {
        for (const auto& [k, v] : props_)
            if (k.rfind(c + ".", 0) == 0) return true;
        return false;
    }
    std::string GetProperty(const std::string& c, const std::string& p) const override {
        auto it = props_.find(c + "." + p);
        return it == props_.end() ? std::string() : it->second;
    }
    void SetProperty(const std::string& c, const std::string& p, const std::string& v) override {
        props_[c + "." + p] = v;
    }
};

class LanguageSelection : public ::testing::Test {
protected:
    void TearDown() override { manager.SetLanguageID(1033); }
    TempDir dir;
    TQuenLanguageManager manager;
};

TEST_F(LanguageSelection, RegistrationRules) {
    WriteText(dir.file("German.lng"), "LANGID=1031\n[$CONSTANTS]\nCancel=&Abbrechen\n");
    WriteText(dir.file("English.lng"), "LANGID=1033\n");
    WriteText(dir.file("Broken.lng"), "LANGID=abc\n");
    WriteText(dir.file("Wide.LNG"), "LANGID=66567\n[MainForm]\n1=x\n1=y\n");  // 66567 & 0xFFFF = 1031
    WriteText(dir.file("notes.txt"), "LANGID=1040\n");
    // The default language is accepted and counted but not registered; 0 is rejected.
    EXPECT_EQ(manager.ScanForLangFiles(dir.path().string(), "*.lng", false), 3);
    EXPECT_FALSE(manager.RegisteredFile(1033).has_value());
    EXPECT_FALSE(manager.RegisterLangFile(dir.file("missing.lng")));
    // The last file registered for an identifier wins.
    EXPECT_TRUE(manager.RegisterLangFile(dir.file("German.lng")));
    EXPECT_EQ(manager.RegisteredFile(1031).value(), dir.file("German.lng"));
    EXPECT_TRUE(manager.RegisterLangFile(dir.file("Wide.LNG")));
    EXPECT_EQ(manager.RegisteredFile(1031).value(), dir.file("Wide.LNG"));
}

// The locale's language finds the file of its own number, else one of the same primary language.
TEST_F(LanguageSelection, RegisteredLanguageForLocaleAndNames) {
    WriteText(dir.file("German.lng"), "LANGID=1031\nName=Deutsch\n[$CONSTANTS]\n");
    WriteText(dir.file("Swiss.lng"), "LANGID=4108\n");  // French of Switzerland, no name
    ASSERT_EQ(manager.ScanForLangFiles(dir.path().string(), "*.lng", false), 2);
    const std::pair<uint16_t, uint16_t> cases[] = {{1031, 1031}, {3079, 1031}, {2055, 1031}, {1036, 4108},
                                                    {4108, 4108}, {1033, 0},    {1049, 0},    {0, 0}};
    for (const auto& [wanted, found] : cases) EXPECT_EQ(manager.RegisteredLanguageFor(wanted), found) << wanted;
    const std::vector<std::pair<uint16_t, std::string>> names = {{1031, "Deutsch"}, {4108, "4108"}};
    EXPECT_EQ(manager.RegisteredLanguages(), names);
}

TEST_F(LanguageSelection, RecursiveScanSkipsDotFolders) {
    std::filesystem::create_directories(dir.path() / "sub");
    std::filesystem::create_directories(dir.path() / ".git");
    WriteText(dir.file("sub/a.lng"), "LANGID=1036\n");
    WriteText(dir.file(".git/b.lng"), "LANGID=1040\n");
    EXPECT_EQ(manager.ScanForLangFiles(dir.path().string(), "*.lng", false), 0);
    EXPECT_EQ(manager.ScanForLangFiles(dir.path().string(), "*.lng", true), 1);
    EXPECT_TRUE(manager.RegisteredFile(1036).has_value());
    EXPECT_FALSE(manager.RegisteredFile(1040).has_value());
}

TEST_F(LanguageSelection, ConstantsTranslatedOthersKeptAndUnknownLanguageStaysEnglish) {
    WriteText(dir.file("de.lng"), "LANGID=1031\n[$CONSTANTS]\nCancel=&Abbrechen\nNot_a_constant=x\n");
    manager.ScanForLangFiles(dir.path().string(), "*.lng", false);
    manager.SetLanguageID(1049);
    EXPECT_EQ(manager.LanguageID(), 1033);
    manager.SetLanguageID(1031);
    EXPECT_EQ(manager.LanguageID(), 1031);
    EXPECT_EQ(manager.CodePage(), 1252u);
    EXPECT_EQ(manager.GetConstantValue("Cancel"), "&Abbrechen");
    EXPECT_EQ(manager.GetConstantValue("Exit"), "Exit");
    manager.SetLanguageID(1033);
    EXPECT_EQ(manager.GetConstantValue("Cancel"), "&Cancel");
}

TEST_F(LanguageSelection, BrokenFileLeavesTheManagerAsItWas) {
    WriteText(dir.file("de.lng"), "LANGID=1031\n[$CONSTANTS]\nCancel=&Abbrechen\n[MainForm]\n4=a\n4=b\n");
    manager.ScanForLangFiles(dir.path().string(), "*.lng", false);
    try {
        manager.SetLanguageID(1031);
        FAIL();
    } catch (const EQuenLangError& e) {
        EXPECT_STREQ(e.what(), "Loading translations failed.\nLine 5: Duplicate property value translation ID (4)");
    }
    EXPECT_EQ(manager.LanguageID(), 1033);
    EXPECT_EQ(manager.GetConstantValue("Cancel"), "&Cancel");
}

TEST(LanguageController, DesignTextsAreTheDefaultsAndSectionsReplaceThem) {
    TempDir dir;
    WriteText(dir.file("de.lng"), "\xEF\xBB\xBFLANGID=1031\n[MainForm]\n00000002=Fertig\n17=Verschl\xC3\xBCsseln\\nEntschl\xC3\xBCsseln\n");
    TQuenLanguageManager& manager = LangManager();
    manager.ScanForLangFiles(dir.path().string(), "*.lng", false);
    FakeForm form({{"MainForm.Caption", "Brevikon"},
                   {"FinishButton.Caption", "Finish"},
                   {"OperationsListBox.Items", "Encrypt\r\nDecrypt"},
                   {"FinishInfoLabel.Caption", "..."}});
    // The default language leaves the design texts alone.
    form.FormLoaded();
    EXPECT_EQ(form.props_["FinishButton.Caption"], "Finish");
    // An entry for a control the window lacks is dropped; a text without letters has no default.
    ASSERT_EQ(form.Entries().size(), 4u);
    EXPECT_EQ(form.Entries()[3].wsDefLangValue, "");
    manager.SetLanguageID(1031);
    EXPECT_EQ(form.props_["FinishButton.Caption"], "Fertig");
    EXPECT_EQ(form.props_["OperationsListBox.Items"], "Verschl\xC3\xBCsseln\r\nEntschl\xC3\xBCsseln");
    EXPECT_EQ(form.props_["MainForm.Caption"], "Brevikon");
    manager.SetLanguageID(1033);
    EXPECT_EQ(form.props_["FinishButton.Caption"], "Finish");
    EXPECT_EQ(form.props_["OperationsListBox.Items"], "Encrypt\r\nDecrypt");
}

TEST(LanguageController, DesignTextNeedsALetter) {
    EXPECT_TRUE(TQuenLanguageController::IsTranslatableText("\xD0\x96"));   // U+0416 > 1037
    EXPECT_FALSE(TQuenLanguageController::IsTranslatableText("\xD0\x84"));  // U+0404
    EXPECT_FALSE(TQuenLanguageController::IsTranslatableText("12 - 3"));
}

}  // namespace
}  // namespace tellvane
