// The hand-over file "todo": its three encodings and how its lines join the pending paths.
#include <gtest/gtest.h>

#include "engine/PendingFiles.h"
#include "platform/AppFolders.h"
#include "platform/FileSystem.h"
#include "support/TestSupport.h"

namespace tellvane {
namespace {

using test::TempDir;
using test::WriteText;

TEST(PendingFiles, DecodesEachByteOrderMarkAndTheAnsiCodePage) {
    const std::vector<std::string> expected = {"/home/ann/Bücher", "/tmp/a b.txt"};
    // UTF-8 with its mark.
    EXPECT_EQ(DecodePendingLines("\xEF\xBB\xBF/home/ann/B\xC3\xBC" "cher\r\n/tmp/a b.txt\r\n", 1252), expected);
    // UTF-16 little-endian and big-endian with their marks.
    std::string le = "\xFF\xFE", be = "\xFE\xFF";
    for (char16_t c : std::u16string(u"/home/ann/Bücher\r\n/tmp/a b.txt")) {
        le += static_cast<char>(c & 0xFF);
        le += static_cast<char>(c >> 8);
        be += static_cast<char>(c >> 8);
        be += static_cast<char>(c & 0xFF);
    }
    EXPECT_EQ(DecodePendingLines(le, 1252), expected);
    EXPECT_EQ(DecodePendingLines(be, 1252), expected);
    // No mark: the ANSI code page (0xFC is u-umlaut in 1252), line endings LF and CR alike.
    EXPECT_EQ(DecodePendingLines("/home/ann/B\xFC" "cher\n/tmp/a b.txt", 1252), expected);
    EXPECT_EQ(DecodePendingLines("/home/ann/B\xFC" "cher\r/tmp/a b.txt\n\n", 1252), expected);
}

TEST(PendingFiles, NewLinesComeBeforeWhatTheListHeld) {
    TempDir dir;
    SetDataFolder(dir.path().string());
    PendingFiles() = {"/old"};
    WriteText(dir.file("todo"), "\xEF\xBB\xBF/new1\r\n/new2\r\n");
    LoadPendingFiles();
    EXPECT_EQ(PendingFiles(), (std::vector<std::string>{"/new1", "/new2", "/old"}));
    PendingFiles().clear();
}

TEST(PendingFiles, MissingFileRaisesAndKeepsTheList) {
    TempDir dir;
    SetDataFolder(dir.path().string());
    PendingFiles() = {"/kept"};
    EXPECT_THROW(LoadPendingFiles(), EFileError);
    EXPECT_EQ(PendingFiles(), (std::vector<std::string>{"/kept"}));
    PendingFiles().clear();
}

}  // namespace
}  // namespace tellvane
