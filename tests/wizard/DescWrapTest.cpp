// Wrapping of the operation descriptions.
#include <gtest/gtest.h>

#include "wizard/DescWrap.h"

namespace tellvane {
namespace {

TEST(DescWrap, BreakPosition) {
    EXPECT_EQ(DescBreakPos("", 10), 0);
    EXPECT_EQ(DescBreakPos("short", 10), 5);
    EXPECT_EQ(DescBreakPos("abcdefghi", 10), 9);
    EXPECT_EQ(DescBreakPos("abcdefghij", 10), 10);  // not shorter: no break, the whole text
    EXPECT_EQ(DescBreakPos("hello world again", 10), 6);
    EXPECT_EQ(DescBreakPos("abcd efgh ij", 5), 5);  // a space right at the limit ends the line
    EXPECT_EQ(DescBreakPos("C:\\Windows\\System32", 12), 11);
    EXPECT_EQ(DescBreakPos("abcdefghijklmnop qr", 10), 19);
    // Characters, not bytes: five two-byte letters, a space, three more.
    EXPECT_EQ(DescBreakPos("\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9 \xC3\xA9\xC3\xA9\xC3\xA9", 7), 6);
}

TEST(DescWrap, LinesAndTheirCount) {
    const std::string text = "hello world again";
    EXPECT_EQ(CountDescLines(text, 10), 3);
    std::string rest = text;
    EXPECT_EQ(TakeDescLine(rest, 10), "hello ");
    EXPECT_EQ(TakeDescLine(rest, 10), "world ");
    EXPECT_EQ(TakeDescLine(rest, 10), "again");
    EXPECT_EQ(rest, "again");  // the last line stays where it was

    // Without a space or backslash in the first line, the whole text is one line.
    EXPECT_EQ(CountDescLines("abcdefghijklmnop qr", 10), 1);
    rest = "abcdefghijklmnop qr";
    EXPECT_EQ(TakeDescLine(rest, 10), "abcdefghijklmnop qr");
    EXPECT_EQ(rest, "");

    EXPECT_EQ(CountDescLines("", 10), 1);
    EXPECT_EQ(CountDescLines("123456789", 10), 1);
    EXPECT_EQ(CountDescLines("12345 7890", 10), 2);  // "12345 " and "7890"

    rest = "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9 \xC3\xA9\xC3\xA9\xC3\xA9";
    EXPECT_EQ(TakeDescLine(rest, 7), "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9 ");
    EXPECT_EQ(rest, "\xC3\xA9\xC3\xA9\xC3\xA9");

    // A window too narrow for any line still ends.
    EXPECT_EQ(CountDescLines("a b c", 0), 1);
}

TEST(DescWrap, CharactersPerLineFromTheFont) {
    EXPECT_EQ(DescLineCharsFor(360, 6), 56);
    EXPECT_EQ(DescLineCharsFor(360, 7), 47);  // 51 whole letters
    EXPECT_EQ(DescLineCharsFor(360, 0), 360);  // a font without width cannot divide
}

}  // namespace
}  // namespace tellvane
