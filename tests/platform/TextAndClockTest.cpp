// Message formatting, code-page conversion and the date-time texts.
#include <gtest/gtest.h>

#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/LocaleLanguage.h"
#include "platform/Paths.h"
#include "platform/SystemError.h"
#include "platform/TextFormat.h"

namespace tellvane {
namespace {

TEST(Format, PlaceholdersInOrder) {
    EXPECT_EQ(Format("%d files were %s", {3, std::string("shredded")}), "3 files were shredded");
    EXPECT_EQ(Format("%d%% completed...", {42}), "42% completed...");
    EXPECT_EQ(Format("Cannot open file \"%s\". %s", {"a b", "Error 2: x"}), "Cannot open file \"a b\". Error 2: x");
    EXPECT_EQ(Format("%d of %d", {static_cast<long long>(-1), 7u}), "-1 of 7");
    EXPECT_EQ(Format("can''t", {}), "can''t");
    EXPECT_THROW(Format("%s and %s", {"one"}), std::invalid_argument);
    EXPECT_THROW(Format("%d", {"text"}), std::invalid_argument);
    EXPECT_THROW(Format("%q", {1}), std::invalid_argument);
}

// Locale names to Windows language numbers, and the order of the variables that name the locale.
TEST(LocaleLanguage, NamesAndVariables) {
    const std::pair<const char*, uint16_t> names[] = {
        {"de_DE.UTF-8", 1031}, {"de_AT.UTF-8", 3079}, {"de", 1031},   {"fr_FR@euro", 1036}, {"pt_BR", 1046},
        {"pt_PT.UTF-8", 2070}, {"en_US", 1033},       {"zh_CN", 2052}, {"C", 0},            {"POSIX", 0},
        {"C.UTF-8", 0},        {"", 0},               {"xx_YY", 0},
    };
    for (const auto& [name, id] : names) EXPECT_EQ(LanguageIdOfLocaleName(name), id) << name;
    const char* saved[3];
    const char* vars[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    for (int i = 0; i < 3; ++i) saved[i] = std::getenv(vars[i]) ? strdup(std::getenv(vars[i])) : nullptr;
    setenv("LC_ALL", "", 1);
    setenv("LC_MESSAGES", "ru_RU.UTF-8", 1);
    setenv("LANG", "de_DE.UTF-8", 1);
    EXPECT_EQ(LocaleLanguageId(), 1049);  // an empty LC_ALL does not count
    setenv("LC_ALL", "fr_FR.UTF-8", 1);
    EXPECT_EQ(LocaleLanguageId(), 1036);
    unsetenv("LC_ALL");
    unsetenv("LC_MESSAGES");
    EXPECT_EQ(LocaleLanguageId(), 1031);
    for (int i = 0; i < 3; ++i) {
        if (saved[i]) setenv(vars[i], saved[i], 1); else unsetenv(vars[i]);
        free(const_cast<char*>(saved[i]));
    }
}

TEST(SystemError, CodeAndTextWithoutTrailingFullStop) {
    const std::string text = FormatSystemError(2);
    EXPECT_EQ(text, "Error 2: No such file or directory");
    EXPECT_NE(text.back(), '.');
}

TEST(Paths, NamePartAndFolderPart) {
    EXPECT_EQ(ExtractFileName("/home/ann/report.txt"), "report.txt");
    EXPECT_EQ(ExtractFilePath("/home/ann/report.txt"), "/home/ann/");
    EXPECT_EQ(ExtractFilePath("report.txt"), "");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/a"), "/a/");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/a/"), "/a/");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/a/"), "/a");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/"), "/");
}

TEST(CodePage, AnsiConversionReplacesWhatTheCodePageLacks) {
    EXPECT_EQ(Utf8ToCodePage("B\xC3\xBC" "cher", 1252), "B\xFC" "cher");
    EXPECT_EQ(Utf8ToCodePage("\xE2\x82\xAC", 1252), "\x80");           // euro sign
    EXPECT_EQ(Utf8ToCodePage("a\xE4\xB8\xAD" "b", 1252), "a?b");        // CJK letter
    EXPECT_EQ(Utf8ToCodePage("\xD0\x96", 1251), "\xC6");               // Cyrillic Zhe
    EXPECT_EQ(CodePageToUtf8("\xC6", 1251), "\xD0\x96");
    EXPECT_EQ(CodePageToUtf8("B\xFC" "cher", 1252), "B\xC3\xBC" "cher");
}

TEST(CodePage, Utf16BothWaysWithSurrogatesAndBrokenInput) {
    const std::string text = "a\xC3\xA9\xF0\x9F\x94\x92";  // a, e-acute, padlock (astral)
    std::u16string units = Utf8ToUtf16(text);
    ASSERT_EQ(units.size(), 4u);
    EXPECT_EQ(units[2], 0xD83D);
    EXPECT_EQ(Utf16ToUtf8(units), text);
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, static_cast<char16_t>(0xD800))), "\xEF\xBF\xBD");
    EXPECT_EQ(SanitizeUtf8("ok\xFF"), "ok\xEF\xBF\xBD");
    EXPECT_EQ(SanitizeUtf8("\xC0\xAF"), "\xEF\xBF\xBD\xEF\xBF\xBD");  // overlong "/" is not a slash
}

TEST(CodePage, LanguagesAndLocales) {
    EXPECT_EQ(AnsiCodePageOfLanguage(1033), 1252u);
    EXPECT_EQ(AnsiCodePageOfLanguage(1031), 1252u);
    EXPECT_EQ(AnsiCodePageOfLanguage(1049), 1251u);
    EXPECT_EQ(AnsiCodePageOfLanguage(1045), 1250u);
    EXPECT_EQ(AnsiCodePageOfLanguage(1041), 932u);
    EXPECT_EQ(AnsiCodePageOfLanguage(2052), 936u);
    EXPECT_EQ(AnsiCodePageOfLanguage(1028), 950u);
    setenv("LC_ALL", "ru_RU.UTF-8", 1);
    EXPECT_EQ(SystemAnsiCodePage(), 1251u);
    setenv("LC_ALL", "C", 1);
    EXPECT_EQ(SystemAnsiCodePage(), 1252u);
    unsetenv("LC_ALL");
}

TEST(Clock, DaysSince1899AndTheirTexts) {
    EXPECT_DOUBLE_EQ(EncodeDateTime({1899, 12, 30, 0, 0, 0, 0}), 0.0);
    EXPECT_DOUBLE_EQ(EncodeDateTime({2000, 1, 1, 12, 0, 0, 0}), 36526.5);
    DateTimeParts p = DecodeDateTime(EncodeDateTime({2026, 12, 9, 5, 7, 3, 45}));
    EXPECT_EQ(p.year, 2026);
    EXPECT_EQ(p.month, 12);
    EXPECT_EQ(p.day, 9);
    EXPECT_EQ(p.hour, 5);
    EXPECT_EQ(p.minute, 7);
    EXPECT_EQ(p.second, 3);
    EXPECT_EQ(p.millisecond, 45);
    EXPECT_EQ(FormatLogStamp(EncodeDateTime({2026, 3, 4, 5, 6, 7, 8})), "4.3.26 05:06:07:008");
    // Durations show the time of day they stand for: a day wraps, milliseconds are dropped.
    EXPECT_EQ(FormatHhMmSs(3725.9 / 86400.0), "01:02:05");
    EXPECT_EQ(FormatHhMmSs(1.0 + 61.0 / 86400.0), "00:01:01");
    EXPECT_EQ(FormatHhMmSs(-90.0 / 86400.0), "00:01:30");
    EXPECT_EQ(FormatHhMmSs(0), "00:00:00");
}

}  // namespace
}  // namespace tellvane
