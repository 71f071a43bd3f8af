// Password boxes: text loaded from a file, the ANSI form, the mask toggle.
#include <gtest/gtest.h>

#include "ModelWindow.h"
#include "support/TestSupport.h"
#include "wizard/PasswordText.h"

namespace tellvane::test {
namespace {

TEST(PasswordText, EveryLineFollowedByCrLf) {
    EXPECT_EQ(PasswordTextFromBytes("secret", 1252), "secret\r\n");
    EXPECT_EQ(PasswordTextFromBytes("secret\n", 1252), "secret\r\n");
    EXPECT_EQ(PasswordTextFromBytes("a\r\nb\rc\nd", 1252), "a\r\nb\r\nc\r\nd\r\n");
    EXPECT_EQ(PasswordTextFromBytes("a\n\nb\r\n\r\n", 1252), "a\r\n\r\nb\r\n\r\n");
    EXPECT_EQ(PasswordTextFromBytes("", 1252), "");
    EXPECT_EQ(PasswordTextFromBytes("\n", 1252), "\r\n");
}

TEST(PasswordText, EncodingFromByteOrderMarkElseAnsi) {
    EXPECT_EQ(PasswordTextFromBytes("caf\xE9", 1252), "caf\xC3\xA9\r\n");
    EXPECT_EQ(PasswordTextFromBytes("\xEF\xBB\xBF" "caf\xC3\xA9", 1252), "caf\xC3\xA9\r\n");
    EXPECT_EQ(PasswordTextFromBytes(std::string("\xFF\xFE" "a\0\xE9\0\n\0", 8), 1252), "a\xC3\xA9\r\n");
    EXPECT_EQ(PasswordTextFromBytes(std::string("\xFE\xFF\0a\0b", 6), 1252), "ab\r\n");
}

TEST(PasswordText, LoadedFromFileOrReported) {
    TempDir dir;
    TModelWindow window;
    std::string box = "kept";
    EXPECT_FALSE(LoadPasswordFromFile(window, dir.file("none.txt"), box));
    EXPECT_EQ(box, "kept");
    ASSERT_EQ(window.boxes.size(), 1u);
    EXPECT_EQ(window.boxes[0].kind, "error");
    EXPECT_EQ(window.boxes[0].text.rfind("Cannot open file \"" + dir.file("none.txt") + "\". ", 0), 0u);

    WriteText(dir.file("pw.txt"), "line one\n");
    EXPECT_TRUE(LoadPasswordFromFile(window, dir.file("pw.txt"), box));
    EXPECT_EQ(box, "line one\r\n");
}

TEST(PasswordText, MaskFlipsOnEachClick) {
    char mask = '*';
    mask = TogglePasswordMask(mask);
    EXPECT_EQ(mask, '\0');
    mask = TogglePasswordMask(mask);
    EXPECT_EQ(mask, '*');
}

}  // namespace
}  // namespace tellvane::test
