// The name checksum: the standard reflected CRC-32 over UTF-16LE code units.
#include <gtest/gtest.h>

#include <cstring>

#include "crypto/Crc32.h"

namespace tellvane {
namespace {

TEST(Crc32Test, MatchesTheZlibChecksumOverRawBytes) {
    // The classic check value of CRC-32/ISO-HDLC.
    const char* text = "123456789";
    uint32_t crc = 0xFFFFFFFFu;
    UpdateCRC32(text, static_cast<int32_t>(std::strlen(text)), crc);
    EXPECT_EQ(~crc, 0xCBF43926u);
}

TEST(Crc32Test, FoldsInSeveralCallsAsInOne) {
    const char* text = "The quick brown fox";
    uint32_t whole = 0xFFFFFFFFu, split = 0xFFFFFFFFu;
    UpdateCRC32(text, 19, whole);
    UpdateCRC32(text, 7, split);
    UpdateCRC32(text + 7, 12, split);
    EXPECT_EQ(whole, split);
}

TEST(Crc32Test, StringChecksumOfAbcIsOverUtf16LittleEndian) {
    uint32_t crc = 0;
    ASSERT_TRUE(StringCRC32(u"abc", crc));
    EXPECT_EQ(crc, 0xAD957AB0u);
    // The same as the raw bytes 61 00 62 00 63 00.
    const uint8_t bytes[] = {0x61, 0, 0x62, 0, 0x63, 0};
    uint32_t raw = 0xFFFFFFFFu;
    UpdateCRC32(bytes, 6, raw);
    EXPECT_EQ(~raw, crc);
}

TEST(Crc32Test, EmptyTextHasNoChecksumAndLeavesTheOutputAlone) {
    uint32_t crc = 0x12345678u;
    EXPECT_FALSE(StringCRC32(u"", crc));
    EXPECT_EQ(crc, 0x12345678u);
}

TEST(Crc32Test, CaseAndCodeUnitsMatter) {
    uint32_t lower = 0, upper = 0;
    ASSERT_TRUE(StringCRC32(u"report.txt", lower));
    ASSERT_TRUE(StringCRC32(u"Report.txt", upper));
    EXPECT_NE(lower, upper);
    // The name the format's example uses: stored as f3 a6 83 a2.
    EXPECT_EQ(lower, 0xA283A6F3u);
}

TEST(Crc32Test, OneCharacterFoldsTwoBytesAndSurrogatesAreTwoUnits) {
    uint32_t one = 0;
    ASSERT_TRUE(StringCRC32(u"\u00e9", one));
    const uint8_t e[] = {0xE9, 0x00};
    uint32_t raw = 0xFFFFFFFFu;
    UpdateCRC32(e, 2, raw);
    EXPECT_EQ(~raw, one);

    uint32_t pair = 0;
    ASSERT_TRUE(StringCRC32(u"\U0001F600", pair));  // D83D DE00
    const uint8_t units[] = {0x3D, 0xD8, 0x00, 0xDE};
    raw = 0xFFFFFFFFu;
    UpdateCRC32(units, 4, raw);
    EXPECT_EQ(~raw, pair);
}

}  // namespace
}  // namespace tellvane
