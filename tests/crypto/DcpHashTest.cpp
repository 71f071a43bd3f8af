// SHA-1 behind the hash interface: FIPS 180 answers, piecewise input, and the states in which
// the hash refuses work.
#include <gtest/gtest.h>

#include "crypto/DcpHash.h"
#include "support/TestSupport.h"

namespace tellvane::test {
namespace {

std::string Digest(TDCP_hash& hash) {
    std::vector<uint8_t> digest(hash.GetHashSize() / 8);
    hash.Final(digest.data());
    return ToHex(digest);
}

TEST(Sha1, PublishedAnswers) {
    // FIPS 180 examples and the usual empty and one-million-"a" messages.
    struct Case {
        std::string message;
        const char* digest;
    };
    const Case cases[] = {
        {"", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
        {"abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
        {std::string(1000000, 'a'), "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
    };
    TDCP_sha1 hash;
    EXPECT_EQ(hash.GetHashSize(), 160u);
    for (const auto& c : cases) {
        hash.Init();
        hash.UpdateStr(c.message);
        EXPECT_EQ(Digest(hash), c.digest) << c.message.size() << " bytes";
    }
}

TEST(Sha1, PiecewiseInputGivesTheSameDigest) {
    const auto data = PatternBytes(1000, 5);
    TDCP_sha1 whole, pieces;
    whole.Init();
    whole.Update(data.data(), data.size());
    pieces.Init();
    for (size_t pos = 0, step = 1; pos < data.size(); pos += step, step = step * 2 + 1)
        pieces.Update(data.data() + pos, std::min(step, data.size() - pos));
    EXPECT_EQ(Digest(whole), Digest(pieces));
    // Bytes are hashed as they are: no terminator, no conversion of NUL or high bytes.
    pieces.Init();
    pieces.UpdateStr(std::string("a\0b\xFF", 4));
    whole.Init();
    const uint8_t raw[] = {'a', 0, 'b', 0xFF};
    whole.Update(raw, 4);
    EXPECT_EQ(Digest(whole), Digest(pieces));
}

TEST(Sha1, RefusesWorkWithoutInit) {
    TDCP_sha1 hash;
    uint8_t digest[20];
    try {
        hash.Update("x", 1);
        ADD_FAILURE() << "Update accepted";
    } catch (const EDCP_hash& e) {
        EXPECT_STREQ(e.what(), "Hash not initialized");
    }
    EXPECT_THROW(hash.Final(digest), EDCP_hash);
    // Final leaves the hash burnt; a fresh Init starts a new message.
    hash.Init();
    hash.UpdateStr("abc");
    hash.Final(digest);
    EXPECT_FALSE(hash.Initialized());
    EXPECT_THROW(hash.UpdateStr("abc"), EDCP_hash);
    hash.Init();
    hash.UpdateStr("partial");
    hash.Burn();
    EXPECT_THROW(hash.Final(digest), EDCP_hash);
    hash.Init();
    hash.UpdateStr("abc");
    EXPECT_EQ(Digest(hash), "a9993e364706816aba3e25717850c26c9cd0d89d");
}

}  // namespace
}  // namespace tellvane::test
