// RC5 and RC6 are keyed with lengths the library does not list (20 bytes for RC6, 256 bytes for
// RC5), so they are compared here with small reference implementations written from Rivest's
// papers. The references are themselves checked against the published answers first.
#include <algorithm>

#include "crypto/CipherTestUtil.h"
#include "support/TestSupport.h"

namespace tellvane::test {
namespace {

uint32_t Rotl(uint32_t v, uint32_t r) {
    r &= 31;
    return r == 0 ? v : (v << r) | (v >> (32 - r));
}
uint32_t Le(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }
void PutLe(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

// The RC5/RC6 key expansion with T subkeys.
std::vector<uint32_t> ExpandKey(const Bytes& key, size_t t) {
    const size_t c = std::max<size_t>(1, (key.size() + 3) / 4);
    std::vector<uint32_t> l(c, 0), s(t);
    for (size_t i = 0; i < key.size(); ++i) l[i / 4] |= uint32_t(key[i]) << (8 * (i % 4));
    s[0] = 0xB7E15163;
    for (size_t i = 1; i < t; ++i) s[i] = s[i - 1] + 0x9E3779B9;
    uint32_t a = 0, b = 0;
    for (size_t k = 0, i = 0, j = 0; k < 3 * std::max(t, c); ++k, i = (i + 1) % t, j = (j + 1) % c) {
        a = s[i] = Rotl(s[i] + a + b, 3);
        b = l[j] = Rotl(l[j] + a + b, a + b);
    }
    return s;
}

Bytes Rc5Encrypt(const Bytes& key, const Bytes& in) {
    const int r = 12;
    const auto s = ExpandKey(key, 2 * (r + 1));
    uint32_t a = Le(&in[0]) + s[0], b = Le(&in[4]) + s[1];
    for (int i = 1; i <= r; ++i) {
        a = Rotl(a ^ b, b) + s[2 * i];
        b = Rotl(b ^ a, a) + s[2 * i + 1];
    }
    Bytes out(8);
    PutLe(&out[0], a);
    PutLe(&out[4], b);
    return out;
}

Bytes Rc6Encrypt(const Bytes& key, const Bytes& in) {
    const int r = 20;
    const auto s = ExpandKey(key, 2 * r + 4);
    uint32_t a = Le(&in[0]), b = Le(&in[4]) + s[0], c = Le(&in[8]), d = Le(&in[12]) + s[1];
    for (int i = 1; i <= r; ++i) {
        const uint32_t t = Rotl(b * (2 * b + 1), 5), u = Rotl(d * (2 * d + 1), 5);
        a = Rotl(a ^ t, u) + s[2 * i];
        c = Rotl(c ^ u, t) + s[2 * i + 1];
        const uint32_t x = a;
        a = b, b = c, c = d, d = x;
    }
    a += s[2 * r + 2];
    c += s[2 * r + 3];
    Bytes out(16);
    PutLe(&out[0], a);
    PutLe(&out[4], b);
    PutLe(&out[8], c);
    PutLe(&out[12], d);
    return out;
}

TEST(CipherReference, ReferencesReproduceThePublishedAnswers) {
    EXPECT_EQ(ToHex(Rc5Encrypt(FromHex("dc49db1375a5584f6485b413b5f12baf"), FromHex("2f42b3b70369fc92"))),
              "65c178b284d197cc");
    EXPECT_EQ(ToHex(Rc6Encrypt(FromHex("0123456789abcdef0112233445566778"),
                               FromHex("02132435465768798a9bacbdcedfe0f1"))),
              "524e192f4715c6231f51f6367ea43f18");
}

TEST(CipherReference, Rc5AndRc6MatchTheReferenceForEveryKeyLength) {
    for (size_t length : {1, 3, 5, 16, 20, 24, 31, 32, 33, 100, 255, 256}) {
        SCOPED_TRACE("key bytes " + std::to_string(length));
        const Bytes key = PatternBytes(length, static_cast<uint32_t>(length));
        const Bytes block8 = PatternBytes(8, 3), block16 = PatternBytes(16, 4);
        EXPECT_EQ(ToHex(EncryptBlock(*KeyedCipher("RC5", key), block8)), ToHex(Rc5Encrypt(key, block8)));
        EXPECT_EQ(ToHex(EncryptBlock(*KeyedCipher("RC6", key), block16)), ToHex(Rc6Encrypt(key, block16)));
    }
}

}  // namespace
}  // namespace tellvane::test
