// The operation registry: titles, completion texts and the ten pictures.
#include <gtest/gtest.h>

#include <turbojpeg.h>

#include "engine/Operations.h"
#include "platform/AppFolders.h"
#include "platform/FileSystem.h"
#include "support/TestSupport.h"

namespace tellvane {
namespace {

using test::TempDir;

// A WIDTH x HEIGHT JPEG filled with one colour.
std::vector<uint8_t> MakeJpeg(int width, int height, uint8_t r, uint8_t g, uint8_t b) {
    std::vector<uint8_t> rgb(static_cast<size_t>(width * height * 3));
    for (size_t i = 0; i < rgb.size(); i += 3) rgb[i] = r, rgb[i + 1] = g, rgb[i + 2] = b;
    tjhandle h = tjInitCompress();
    unsigned char* out = nullptr;
    unsigned long size = 0;
    tjCompress2(h, rgb.data(), width, 0, height, TJPF_RGB, &out, &size, TJSAMP_444, 95, 0);
    std::vector<uint8_t> jpeg(out, out + size);
    tjFree(out);
    tjDestroy(h);
    return jpeg;
}

class OperationRegistry : public ::testing::Test {
protected:
    void SetUp() override {
        saved = GetAppFolder();
        SetAppFolder(dir.path().string());
        std::filesystem::create_directory(dir.path() / "res");
        for (int i = 0; i <= 9; ++i)
            test::WriteAll(dir.file("res/" + std::to_string(i) + ".jpg"),
                           MakeJpeg(8 + i, 4, static_cast<uint8_t>(i * 20), 0, 200));
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
    const TOperationImage& img = GetOperationImage(1);
    ASSERT_EQ(img.rgb.size(), static_cast<size_t>(img.width * img.height * 3));
    EXPECT_NEAR(img.rgb[0], 20, 3);
    EXPECT_NEAR(img.rgb[2], 200, 3);
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
