// Known answers of all eighteen ciphers from tests/data/cipher_vectors.txt, both directions, plus
// the Twofish chains and the keying rules that decide which key a cipher really runs with.
#include <filesystem>
#include <fstream>

#include "crypto/CipherTestUtil.h"
#include "support/TestSupport.h"

namespace tellvane::test {
namespace {

struct KnownAnswer {
    std::string sign;
    std::string source;
    int line = 0;
    Bytes key, in, out;
};

std::string VectorFile() {
    return (std::filesystem::path(TELLVANE_SOURCE_DIR) / "tests" / "data" / "cipher_vectors.txt").string();
}

std::vector<KnownAnswer> LoadKnownAnswers() {
    std::ifstream file(VectorFile());
    if (!file) throw std::runtime_error("cannot read " + VectorFile());
    std::vector<KnownAnswer> result;
    KnownAnswer current;
    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
        if (line.rfind("# Source:", 0) == 0) {
            current.source = line.substr(10);
        } else if (line.size() > 2 && line.front() == '[' && line.back() == ']') {
            current.sign = line.substr(1, line.size() - 2);
            current.source.clear();
        } else if (line.empty() || line[0] == '#') {
            continue;
        } else {
            const auto eq = line.find('=');
            if (eq == std::string::npos) throw std::runtime_error("bad vector line " + std::to_string(number));
            std::string name = line.substr(0, eq);
            name.erase(name.find_last_not_of(' ') + 1);
            std::string value = line.substr(eq + 1);
            value.erase(0, value.find_first_not_of(' '));
            if (name == "Key") {
                current.key = FromHex(value);
                current.line = number;
            } else if (name == "In") {
                current.in = FromHex(value);
            } else if (name == "Out") {
                current.out = FromHex(value);
                result.push_back(current);
            } else {
                throw std::runtime_error("bad vector field " + name);
            }
        }
    }
    return result;
}

const std::vector<KnownAnswer>& KnownAnswers() {
    static const std::vector<KnownAnswer> answers = LoadKnownAnswers();
    return answers;
}

class CipherKnownAnswer : public testing::TestWithParam<KnownAnswer> {};

TEST_P(CipherKnownAnswer, EncryptsAndDecryptsTheBlock) {
    const KnownAnswer& v = GetParam();
    SCOPED_TRACE(v.sign + " vector at line " + std::to_string(v.line) + " (" + v.source + ")");
    auto cipher = KeyedCipher(v.sign, v.key);
    ASSERT_EQ(v.in.size(), BlockBytes(*cipher));

    Bytes out(v.in.size()), back(v.in.size());
    cipher->EncryptECB(v.in.data(), out.data());
    EXPECT_EQ(ToHex(out), ToHex(v.out));
    cipher->DecryptECB(v.out.data(), back.data());
    EXPECT_EQ(ToHex(back), ToHex(v.in));

    // The same buffer for input and output.
    Bytes buffer = v.in;
    cipher->EncryptECB(buffer.data(), buffer.data());
    EXPECT_EQ(ToHex(buffer), ToHex(v.out));
    cipher->DecryptECB(buffer.data(), buffer.data());
    EXPECT_EQ(ToHex(buffer), ToHex(v.in));
}

INSTANTIATE_TEST_SUITE_P(Vectors, CipherKnownAnswer, testing::ValuesIn(KnownAnswers()),
                         [](const testing::TestParamInfo<KnownAnswer>& info) {
                             return "S" + info.param.sign + "_line" + std::to_string(info.param.line);
                         });

TEST(CipherKnownAnswerFile, CoversEveryCipher) {
    for (const auto& sign : AllSigns()) {
        bool found = false;
        for (const auto& v : KnownAnswers()) found = found || v.sign == sign;
        EXPECT_TRUE(found) << "no known answer for " << sign;
    }
    for (const auto& v : KnownAnswers()) EXPECT_NE(CreateCipher(v.sign), nullptr) << "unknown sign " << v.sign;
}

// The Twofish paper's chained known-answer test: each step keys with the previous plaintext and
// the start of the previous key, and encrypts the previous ciphertext.
TEST(TwofishChain, FortyNineStepsEndInThePublishedBlock) {
    struct Chain {
        size_t keyBytes;
        const char* last;
    };
    const Chain chains[] = {{16, "5d9d4eeffa9151575524f115815a12e0"},
                            {24, "e75449212beef9f4a390bd860a640941"},
                            {32, "37fe26ff1cf66175f5ddf4c33b97a205"}};
    for (const auto& chain : chains) {
        SCOPED_TRACE("key bytes " + std::to_string(chain.keyBytes));
        Bytes key(chain.keyBytes, 0), plain(16, 0), cipherText;
        for (int step = 1; step <= 49; ++step) {
            auto cipher = KeyedCipher("TFS", key);
            cipherText = EncryptBlock(*cipher, plain);
            Bytes back(16);
            cipher->DecryptECB(cipherText.data(), back.data());
            ASSERT_EQ(ToHex(back), ToHex(plain)) << "step " << step;
            Bytes next(plain);
            next.insert(next.end(), key.begin(), key.begin() + (chain.keyBytes - 16));
            key = next;
            plain = cipherText;
        }
        EXPECT_EQ(ToHex(cipherText), chain.last);
    }
}

// Two keyings that must give the same cipher.
void ExpectSameCipher(const std::string& sign, const Bytes& keyA, uint32_t bitsA, const Bytes& keyB, uint32_t bitsB) {
    auto a = KeyedCipher(sign, keyA, bitsA);
    auto b = KeyedCipher(sign, keyB, bitsB);
    const Bytes block = PatternBytes(BlockBytes(*a), 7);
    EXPECT_EQ(ToHex(EncryptBlock(*a, block)), ToHex(EncryptBlock(*b, block)));
}

void ExpectOtherCipher(const std::string& sign, const Bytes& keyA, uint32_t bitsA, const Bytes& keyB, uint32_t bitsB) {
    auto a = KeyedCipher(sign, keyA, bitsA);
    auto b = KeyedCipher(sign, keyB, bitsB);
    const Bytes block = PatternBytes(BlockBytes(*a), 7);
    EXPECT_NE(ToHex(EncryptBlock(*a, block)), ToHex(EncryptBlock(*b, block)));
}

Bytes Concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes Zeros(size_t n) { return Bytes(n, 0); }

const Bytes Digest = Sha1("keying edges");  // 20 bytes, the key size in use

TEST(CipherKeying, TripleDesWithoutThirdKeyReusesTheFirst) {
    const Bytes k = FromHex("0123456789abcdeffedcba9876543210");
    ExpectSameCipher("3DE", k, 128, Concat(k, Bytes(k.begin(), k.begin() + 8)), 192);
    // With the 160-bit key, K3 is digest bytes 16 to 19 and four zero bytes.
    ExpectSameCipher("3DE", Digest, 160, Concat(Digest, Zeros(4)), 192);
    ExpectOtherCipher("3DE", Digest, 160, Concat(Bytes(Digest.begin(), Digest.begin() + 16),
                                                 Bytes(Digest.begin(), Digest.begin() + 8)), 192);
}

TEST(CipherKeying, RijndaelRunsTheVariantOfTheZeroExtendedKey) {
    // 17 to 24 bytes: AES-192 on the zero-extended key, not Rijndael's own shorter schedules.
    ExpectSameCipher("RIJ", Digest, 160, Concat(Digest, Zeros(4)), 192);
    const Bytes k17(Digest.begin(), Digest.begin() + 17);
    ExpectSameCipher("RIJ", k17, 136, Concat(k17, Zeros(7)), 192);
    // Up to 16 bytes: AES-128, which differs from AES-192 on the same bytes.
    const Bytes k16(Digest.begin(), Digest.begin() + 16);
    ExpectSameCipher("RIJ", Bytes(k16.begin(), k16.begin() + 12), 96, Concat(Bytes(k16.begin(), k16.begin() + 12), Zeros(4)), 128);
    ExpectOtherCipher("RIJ", k16, 128, Concat(k16, Zeros(8)), 192);
    ExpectSameCipher("RIJ", Concat(Digest, Zeros(5)), 200, Concat(Digest, Zeros(12)), 256);
}

TEST(CipherKeying, SerpentPadsShortKeysWithOneBit) {
    // The 160-bit key is the 256-bit key with bit 160 set; a full 256-bit key gets no pad.
    Bytes padded = Concat(Digest, Zeros(12));
    padded[20] = 0x01;
    ExpectSameCipher("SER", Digest, 160, padded, 256);
    ExpectOtherCipher("SER", Digest, 160, Concat(Digest, Zeros(12)), 256);
    // A key of 164 bits: the pad bit follows bit 163, the unused high bits of its byte are cleared.
    Bytes k164 = Concat(Digest, Bytes{0xF5});
    Bytes padded164 = Concat(Digest, Zeros(12));
    padded164[20] = 0x15;
    ExpectSameCipher("SER", k164, 164, padded164, 256);
}

TEST(CipherKeying, TwofishAndCast256ZeroExtendTheKey) {
    ExpectSameCipher("TFS", Digest, 160, Concat(Digest, Zeros(4)), 192);
    ExpectSameCipher("CS2", Digest, 160, Concat(Digest, Zeros(12)), 256);
}

TEST(CipherKeying, BlowfishUsesTheKeyBytesCyclically) {
    ExpectSameCipher("BFS", Digest, 160, Concat(Digest, Digest), 320);
    ExpectSameCipher("BFS", Bytes{0x5A}, 8, Bytes{0x5A, 0x5A, 0x5A, 0x5A, 0x5A}, 40);
    ExpectSameCipher("BFS", Bytes{1, 2, 3}, 24, Bytes{1, 2, 3, 1, 2, 3, 1, 2, 3}, 72);
    ExpectOtherCipher("BFS", Digest, 160, Concat(Digest, Zeros(20)), 320);
}

TEST(CipherKeying, Cast128PadsShortKeysWithZeros) {
    ExpectSameCipher("CS1", Bytes{1, 2, 3, 4}, 32, Bytes{1, 2, 3, 4, 0}, 40);
    ExpectSameCipher("CS1", Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, 88, Concat(Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, Zeros(5)), 128);
}

TEST(CipherKeying, FixedSizeCiphersZeroExtendShortKeys) {
    for (const char* sign : {"DES", "ICE", "TIC", "IC2", "IDE", "MI1", "TEA"}) {
        SCOPED_TRACE(sign);
        auto probe = NewCipher(sign);
        const size_t full = probe->GetMaxKeySize() / 8;
        const Bytes k(Digest.begin(), Digest.begin() + full - 2);
        ExpectSameCipher(sign, k, static_cast<uint32_t>(k.size() * 8), Concat(k, Zeros(2)),
                         static_cast<uint32_t>(full * 8));
    }
}

}  // namespace
}  // namespace tellvane::test
