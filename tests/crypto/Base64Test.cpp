// Base64 of encrypted names: RFC 4648 answers, lengths, and the decoding rules for padding,
// trailing fragments and foreign characters.
#include <gtest/gtest.h>

#include "crypto/Base64.h"
#include "crypto/BlockCipher.h"

namespace tellvane {
namespace {

TEST(Base64, Rfc4648Answers) {
    const std::pair<std::string, std::string> cases[] = {{"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},
                                                         {"foo", "Zm9v"}, {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="},
                                                         {"foobar", "Zm9vYmFy"}};
    for (const auto& [plain, text] : cases) {
        EXPECT_EQ(Base64Encode(plain), text);
        EXPECT_EQ(Base64Decode(text), plain);
    }
}

TEST(Base64, EveryByteAndLengthRoundTrips) {
    std::string all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    for (size_t n = 0; n <= all.size(); ++n) {
        const std::string bytes = all.substr(all.size() - n);
        const std::string text = Base64Encode(bytes);
        ASSERT_EQ(text.size(), 4 * ((n + 2) / 3)) << n;
        ASSERT_EQ(text.find_first_of("\r\n"), std::string::npos);
        ASSERT_EQ(Base64Decode(text), bytes) << n;
    }
    EXPECT_EQ(Base64Encode("\xFB\xFF\xBF"), "+/+/");
}

TEST(Base64, DecodingRules) {
    // A third "=" yields one byte whatever follows; a fourth "=" two bytes.
    EXPECT_EQ(Base64Decode("Zg=x"), "f");
    EXPECT_EQ(Base64Decode("Zm8="), "fo");
    // A trailing group of fewer than four characters is ignored.
    EXPECT_EQ(Base64Decode("Zm9vYg"), "foo");
    EXPECT_EQ(Base64Decode("Zm9vY"), "foo");
    EXPECT_EQ(Base64Decode("Zm9"), "");
    // Groups after a padded group still decode.
    EXPECT_EQ(Base64Decode("Zg==Zg=="), "ff");
    // Characters outside the alphabet are refused.
    for (const char* bad : {"Zm9*", "Zm 9", "=m9v", "Z=9v", "Zm9vZm9v-m9v"}) {
        try {
            Base64Decode(bad);
            ADD_FAILURE() << "accepted " << bad;
        } catch (const EDCP_cipher& e) {
            EXPECT_STREQ(e.what(), "Invalid Base64 text");
        }
    }
    EXPECT_THROW(Base64Decode(std::string("Zm\0v", 4)), EDCP_cipher);
    EXPECT_THROW(Base64Decode("Zm9v\xC3\xA9==="), EDCP_cipher);
}

}  // namespace
}  // namespace tellvane
