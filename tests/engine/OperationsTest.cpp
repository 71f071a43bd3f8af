// The operation registry: titles, completion texts and the ten pictures.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "engine/Operations.h"
#include "platform/AppFolders.h"
#include "platform/FileSystem.h"
#include "support/TestSupport.h"

namespace tellvane {
namespace {

using test::TempDir;

std::string Be16(int v) { return {static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)}; }

// The markers of a WIDTH x HEIGHT baseline JPEG up to its frame header, after an APP0 segment;
// the size is all the registry reads of it.
std::string JpegHead(int width, int height) {
    return std::string("\xFF\xD8\xFF\xE0", 4) + Be16(6) + "JFIF" + "\xFF\xC0" + Be16(11) + '\x08' + Be16(height) +
           Be16(width) + std::string("\x01\x01\x11\x00\xFF\xD9", 6);
}

class OperationRegistry : public ::testing::Test {
protected:
    void SetUp() override {
        saved = GetAppFolder();
        SetAppFolder(dir.path().string());
        std::filesystem::create_directory(dir.path() / "res");
        for (int i = 0; i <= 9; ++i)
            test::WriteText(dir.file("res/" + std::to_string(i) + ".jpg"), JpegHead(8 + i, 4));
    }
    void TearDown() override {
        FreeOperations();
        SetAppFolder(saved);
    }
    TempDir dir;
    std::string saved;
};

TEST_F(OperationRegistry, HoldsTheFiveOperationsAndTenPictures) {
    CreateOperations();
    ASSERT_EQ(OperationCount(), 5);
    EXPECT_EQ(GetOperation(0).Title, "Encrypt");
    EXPECT_EQ(GetOperation(0).Desc, "Encrypt files and change their extensions to .enc");
    EXPECT_EQ(GetOperation(1).Desc, "Decrypt previously encrypted files");
    EXPECT_EQ(GetOperation(2).Title, "Shred");
    EXPECT_EQ(GetOperation(3).Desc, "Hide files, folders or drives from Explorer");
    EXPECT_EQ(GetOperation(4).Title, "Show");
    EXPECT_NE(dynamic_cast<TShow*>(&GetOperation(4)), nullptr);
    // Row 2 draws picture 2 plain and picture 7 selected (told apart here by their widths).
    EXPECT_EQ(GetOperationImage(2).width, 10);
    EXPECT_EQ(GetSelectedOperationImage(2).width, 15);
    // The file's bytes are kept for the window to decode.
    EXPECT_EQ(GetOperationImage(1).jpeg, JpegHead(9, 4));
    EXPECT_EQ(GetOperationImage(1).height, 4);
}

// The frame header is found past other segments, fill bytes and standalone markers, in any of the
// frame kinds; anything that is not a JPEG picture with a frame of at least one pixel is refused.
TEST(JpegSize, FrameHeaderOrRefusal) {
    const std::string soi("\xFF\xD8", 2);
    auto frame = [](char kind, int w, int h) {
        return std::string("\xFF") + kind + Be16(11) + '\x08' + Be16(h) + Be16(w) + std::string("\x01\x01\x11\x00", 4);
    };
    const std::string dht = std::string("\xFF\xC4") + Be16(4) + "ab";
    const std::vector<std::tuple<std::string, std::string, int, int>> good = {
        {"baseline", JpegHead(290, 410), 290, 410},
        {"progressive after a table", soi + dht + frame('\xC2', 1, 65535), 1, 65535},
        {"fill bytes and a restart marker", soi + "\xFF\xFF\xFF\xD3" + frame('\xC1', 7, 3), 7, 3},
    };
    for (const auto& [what, bytes, w, h] : good) {
        int width = 0, height = 0;
        EXPECT_TRUE(ReadJpegSize(bytes, width, height)) << what;
        EXPECT_EQ(std::make_pair(width, height), std::make_pair(w, h)) << what;
    }
    const std::string head = JpegHead(5, 5);
    const std::vector<std::pair<std::string, std::string>> bad = {
        {"empty", ""},
        {"PNG", "\x89PNG\r\n\x1A\n\0\0\0\rIHDR"},
        {"only the start", soi},
        {"scan before the frame", soi + std::string("\xFF\xDA", 2) + Be16(2) + frame('\xC0', 5, 5)},
        {"end before the frame", soi + std::string("\xFF\xD9", 2) + frame('\xC0', 5, 5)},
        {"a table is no frame", soi + dht},
        {"zero width", soi + frame('\xC0', 0, 5)},
        {"zero height", soi + frame('\xC0', 5, 0)},
        {"frame cut short", head.substr(0, head.size() - 10)},
        {"segment longer than the file", soi + std::string("\xFF\xE1\xFF\xFF", 4) + frame('\xC0', 5, 5)},
        {"segment length below 2", soi + std::string("\xFF\xE1\x00\x01", 4) + frame('\xC0', 5, 5)},
        {"garbage between segments", soi + "x" + frame('\xC0', 5, 5)},
    };
    for (const auto& [what, bytes] : bad) {
        int width = 0, height = 0;
        EXPECT_FALSE(ReadJpegSize(bytes, width, height)) << what;
    }
}

TEST_F(OperationRegistry, MissingOrBrokenPictureAbortsWithItsFileError) {
    std::filesystem::remove(dir.path() / "res" / "7.jpg");
    try {
        CreateOperations();
        FAIL() << "expected a file error";
    } catch (const EFileError& e) {
        EXPECT_NE(std::string(e.what()).find("res/7.jpg"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(OperationsCreated());
    test::WriteText(dir.file("res/7.jpg"), "not a picture");
    EXPECT_THROW(CreateOperations(), EFileError);
}

TEST(OperationTexts, CompletionHeadersAndParticiples) {
    EXPECT_EQ(TEncrypt().GetCompleteHeader(), "Encryption completed");
    EXPECT_EQ(TDecrypt().GetCompleteText(), "decrypted");
    EXPECT_EQ(TShred().GetCompleteHeader(), "Shredding completed");
    EXPECT_EQ(THide().GetCompleteHeader(), "Hide operation completed");
    EXPECT_EQ(TShow().GetCompleteText(), "shown");
}

}  // namespace
}  // namespace tellvane
