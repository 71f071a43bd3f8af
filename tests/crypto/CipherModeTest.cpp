// The block-cipher layer run over every one of the eighteen ciphers: pass-phrase keying, the IV,
// CBC with its partial-block tail, 8-bit CFB, strings, streams, burning and key-size checks. The
// expected bytes are built from the cipher's own single-block operation by the rules of the
// modes, so every cipher is checked against the same definition.
#include <cstring>
#include <functional>
#include <set>

#include "crypto/Base64.h"

#include "crypto/CipherTestUtil.h"
#include "support/TestSupport.h"

namespace tellvane::test {
namespace {

class CipherMode : public testing::TestWithParam<std::string> {
protected:
    const std::string& Sign() const { return GetParam(); }
    std::unique_ptr<TDCP_blockcipher> Keyed(const std::string& pass) {
        auto cipher = NewCipher(Sign());
        cipher->InitStr(pass);
        return cipher;
    }
};

// Key size in bits and block size in bits of each cipher; the key taken from the digest is
// min(maximum, 160) bits, which is what decides the bytes of every file.
struct Sizes {
    const char* sign;
    uint32_t maxKey;
    uint32_t block;
};
constexpr Sizes CipherSizes[] = {
    {"BFS", 448, 64},  {"CS1", 128, 64},  {"CS2", 256, 128},  {"DES", 64, 64},   {"3DE", 192, 64},
    {"ICE", 64, 64},   {"TIC", 64, 64},   {"IC2", 128, 64},   {"IDE", 128, 64},  {"MAR", 1248, 128},
    {"MI1", 128, 64},  {"RC2", 1024, 64}, {"RC5", 2048, 64},  {"RC6", 2048, 128}, {"RIJ", 256, 128},
    {"SER", 256, 128}, {"TEA", 128, 64},  {"TFS", 256, 128}};

const Sizes& SizesOf(const std::string& sign) {
    for (const auto& s : CipherSizes)
        if (sign == s.sign) return s;
    throw std::runtime_error("no sizes for " + sign);
}

// CBC by its definition, on a twin instance's single-block encryption. CV is carried.
Bytes ReferenceCbcEncrypt(TDCP_blockcipher& twin, Bytes& cv, const Bytes& in) {
    const size_t b = cv.size();
    Bytes out(in.size());
    size_t i = 0;
    for (; i + b <= in.size(); i += b) {
        Bytes block(b);
        for (size_t j = 0; j < b; ++j) block[j] = in[i + j] ^ cv[j];
        cv = EncryptBlock(twin, block);
        std::copy(cv.begin(), cv.end(), out.begin() + i);
    }
    if (i < in.size()) {
        cv = EncryptBlock(twin, cv);
        for (size_t j = 0; i + j < in.size(); ++j) out[i + j] = in[i + j] ^ cv[j];
    }
    return out;
}

// 8-bit CFB by its definition. CV is carried.
Bytes ReferenceCfb8Encrypt(TDCP_blockcipher& twin, Bytes& cv, const Bytes& in) {
    Bytes out(in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        const Bytes t = EncryptBlock(twin, cv);
        out[i] = in[i] ^ t[0];
        cv.erase(cv.begin());
        cv.push_back(out[i]);
    }
    return out;
}

Bytes ZeroBlock(const TDCP_blockcipher& c) { return Bytes(BlockBytes(c), 0); }

TEST_P(CipherMode, InitStrKeysWithTheLeadingDigestBits) {
    const Sizes& sizes = SizesOf(Sign());
    auto probe = NewCipher(Sign());
    EXPECT_EQ(probe->GetMaxKeySize(), sizes.maxKey);
    EXPECT_EQ(probe->GetBlockSize(), sizes.block);
    const uint32_t keyBits = std::min<uint32_t>(sizes.maxKey, 160);
    const Bytes data = PatternBytes(100, 3);
    for (const std::string& pass : {std::string(), std::string("Pass phrase \xE9\xFC"), std::string(1000, 'x')}) {
        SCOPED_TRACE("pass phrase of " + std::to_string(pass.size()) + " bytes");
        auto fromPass = Keyed(pass);
        auto fromDigest = KeyedCipher(Sign(), Sha1(pass), keyBits);
        EXPECT_EQ(ToHex(EncryptAll(*fromPass, data)), ToHex(EncryptAll(*fromDigest, data)));
        // A key of other length from the same digest is another key.
        auto shorter = KeyedCipher(Sign(), Sha1(pass), keyBits - 32);
        Bytes block = PatternBytes(BlockBytes(*shorter), 9);
        EXPECT_NE(ToHex(EncryptBlock(*shorter, block)), ToHex(EncryptBlock(*fromDigest, block)));
    }
}

TEST_P(CipherMode, IvIsTheEncryptedZeroBlock) {
    auto keyed = Keyed("iv");
    auto twin = Keyed("iv");
    const Bytes iv = EncryptBlock(*twin, ZeroBlock(*twin));
    // The first CBC block of zeros is E_K(0 XOR IV) = E_K(IV).
    EXPECT_EQ(ToHex(EncryptAll(*keyed, ZeroBlock(*keyed))), ToHex(EncryptBlock(*twin, iv)));
    // An explicit IV equal to E_K(0) gives the same chain.
    const uint32_t bits = std::min<uint32_t>(keyed->GetMaxKeySize(), 160);
    auto explicitIv = NewCipher(Sign());
    const Bytes digest = Sha1("iv");
    explicitIv->Init(digest.data(), bits, iv.data());
    auto again = Keyed("iv");
    const Bytes data = PatternBytes(77, 5);
    EXPECT_EQ(ToHex(EncryptAll(*explicitIv, data)), ToHex(EncryptAll(*again, data)));
    // Reset returns to the IV.
    again->Reset();
    EXPECT_EQ(ToHex(EncryptAll(*again, data)), ToHex(EncryptAll(*Keyed("iv"), data)));
}

TEST_P(CipherMode, CbcFollowsTheBlockAndTailRules) {
    auto cipher = Keyed("cbc");
    auto twin = Keyed("cbc");
    const size_t b = BlockBytes(*cipher);
    Bytes cv = EncryptBlock(*twin, ZeroBlock(*twin));

    // Three blocks and a tail of 5 in one call.
    const Bytes message = PatternBytes(3 * b + 5, 11);
    EXPECT_EQ(ToHex(EncryptAll(*cipher, message)), ToHex(ReferenceCbcEncrypt(*twin, cv, message)));
    // The next call continues from the CV the tail left (E_K of the previous CV).
    const Bytes second = PatternBytes(2 * b, 12);
    EXPECT_EQ(ToHex(EncryptAll(*cipher, second)), ToHex(ReferenceCbcEncrypt(*twin, cv, second)));

    // Decryption with the same splits restores the bytes.
    auto decrypter = Keyed("cbc");
    EXPECT_EQ(ToHex(DecryptAll(*decrypter, EncryptAll(*Keyed("cbc"), message))), ToHex(message));
    auto splitEnc = Keyed("cbc");
    auto splitDec = Keyed("cbc");
    const Bytes c1 = EncryptAll(*splitEnc, message), c2 = EncryptAll(*splitEnc, second);
    EXPECT_EQ(ToHex(DecryptAll(*splitDec, c1)), ToHex(message));
    EXPECT_EQ(ToHex(DecryptAll(*splitDec, c2)), ToHex(second));
}

TEST_P(CipherMode, CbcSplitChangesTheBytes) {
    const size_t b = BlockBytes(*NewCipher(Sign()));
    // One call on 2B+4 bytes against two calls of B+2 bytes.
    const Bytes message = PatternBytes(2 * b + 4, 13);
    const Bytes whole = EncryptAll(*Keyed("split"), message);
    auto twoCalls = Keyed("split");
    const Bytes first = EncryptAll(*twoCalls, Bytes(message.begin(), message.begin() + b + 2));
    const Bytes rest = EncryptAll(*twoCalls, Bytes(message.begin() + b + 2, message.end()));
    EXPECT_EQ(ToHex(Bytes(whole.begin(), whole.begin() + b)), ToHex(Bytes(first.begin(), first.begin() + b)));
    Bytes joined = first;
    joined.insert(joined.end(), rest.begin(), rest.end());
    EXPECT_NE(ToHex(whole), ToHex(joined));
    auto twoDec = Keyed("split");
    EXPECT_EQ(ToHex(DecryptAll(*twoDec, first)), ToHex(Bytes(message.begin(), message.begin() + b + 2)));
    EXPECT_EQ(ToHex(DecryptAll(*twoDec, rest)), ToHex(Bytes(message.begin() + b + 2, message.end())));
}

TEST_P(CipherMode, ShortCbcCallsUseSuccessiveEncryptionsOfCv) {
    auto twin = Keyed("short");
    Bytes cv = EncryptBlock(*twin, ZeroBlock(*twin));  // the IV
    const Bytes plain = {0x41, 0x42, 0x43};

    // Three calls of one byte: byte k meets the first byte of E_K applied k+1 times to the IV.
    auto threeCalls = Keyed("short");
    Bytes out(3);
    Bytes state = cv;
    for (size_t k = 0; k < 3; ++k) {
        threeCalls->Encrypt(&plain[k], &out[k], 1);
        state = EncryptBlock(*twin, state);
        EXPECT_EQ(out[k], plain[k] ^ state[0]) << "byte " << k;
    }
    // One call on the same three bytes uses one E_K(IV) for all of them.
    const Bytes once = EncryptAll(*Keyed("short"), plain);
    const Bytes ekiv = EncryptBlock(*twin, cv);
    for (size_t k = 0; k < 3; ++k) EXPECT_EQ(once[k], plain[k] ^ ekiv[k]);

    // Five bytes, less than a block, decrypt with the same starting CV.
    const Bytes five = PatternBytes(5, 2);
    EXPECT_EQ(ToHex(DecryptAll(*Keyed("short"), EncryptAll(*Keyed("short"), five))), ToHex(five));
}

TEST_P(CipherMode, RoundTripsInPlaceAndMisaligned) {
    const size_t b = BlockBytes(*NewCipher(Sign()));
    for (size_t size : {size_t(0), size_t(1), b - 1, b, b + 1, 2 * b + 3, size_t(8191), size_t(8192), size_t(8193),
                        size_t(65536 + 7)}) {
        SCOPED_TRACE("size " + std::to_string(size));
        const Bytes plain = PatternBytes(size, static_cast<uint32_t>(size) + 1);
        // Misaligned: the data starts one byte into the buffer.
        Bytes buffer(size + 1);
        std::copy(plain.begin(), plain.end(), buffer.begin() + 1);
        Keyed("round")->Encrypt(buffer.data() + 1, buffer.data() + 1, size);
        const Bytes cipherText(buffer.begin() + 1, buffer.end());
        if (size >= b) {
            EXPECT_NE(ToHex(cipherText), ToHex(plain));
        }
        // Separate output buffer gives the same bytes as in place.
        Bytes separate(size);
        Keyed("round")->Encrypt(plain.data(), separate.data(), size);
        EXPECT_EQ(ToHex(separate), ToHex(cipherText));
        Keyed("round")->Decrypt(buffer.data() + 1, buffer.data() + 1, size);
        EXPECT_EQ(ToHex(Bytes(buffer.begin() + 1, buffer.end())), ToHex(plain));
        Bytes back(size);
        Keyed("round")->Decrypt(cipherText.data(), back.data(), size);
        EXPECT_EQ(ToHex(back), ToHex(plain));
    }
}

TEST_P(CipherMode, Cfb8FollowsItsDefinitionAndSharesCvWithCbc) {
    auto cipher = Keyed("cfb");
    auto twin = Keyed("cfb");
    Bytes cv = EncryptBlock(*twin, ZeroBlock(*twin));
    const Bytes a = PatternBytes(10, 21), b2 = PatternBytes(27, 22);
    Bytes outA(a.size()), outB(b2.size());
    cipher->EncryptCFB8bit(a.data(), outA.data(), a.size());
    cipher->EncryptCFB8bit(b2.data(), outB.data(), b2.size());
    EXPECT_EQ(ToHex(outA), ToHex(ReferenceCfb8Encrypt(*twin, cv, a)));
    EXPECT_EQ(ToHex(outB), ToHex(ReferenceCfb8Encrypt(*twin, cv, b2)));
    // CBC continues from the CV that CFB left.
    const Bytes body = PatternBytes(3 * BlockBytes(*cipher) + 1, 23);
    EXPECT_EQ(ToHex(EncryptAll(*cipher, body)), ToHex(ReferenceCbcEncrypt(*twin, cv, body)));

    auto decrypter = Keyed("cfb");
    Bytes backA(a.size()), backB(b2.size());
    decrypter->DecryptCFB8bit(outA.data(), backA.data(), outA.size());
    decrypter->DecryptCFB8bit(outB.data(), backB.data(), outB.size());
    EXPECT_EQ(ToHex(backA), ToHex(a));
    EXPECT_EQ(ToHex(backB), ToHex(b2));
}

TEST_P(CipherMode, StringsAreCfb8InBase64) {
    auto cipher = Keyed("strings");
    auto twin = Keyed("strings");
    Bytes cv = EncryptBlock(*twin, ZeroBlock(*twin));
    const std::string threeBytes = std::string("\0\xFF", 2) + "z";

    const std::string one = cipher->EncryptString("A");
    ASSERT_EQ(one.size(), 4u);
    EXPECT_EQ(one.substr(2), "==");
    const std::string three = cipher->EncryptString(threeBytes);
    ASSERT_EQ(three.size(), 4u);
    EXPECT_EQ(three.find('='), std::string::npos);
    EXPECT_EQ(cipher->EncryptString(""), "");
    // CFB over the bytes, then Base64; the empty string moved nothing.
    const Bytes refOne = ReferenceCfb8Encrypt(*twin, cv, Bytes{'A'});
    const Bytes refThree = ReferenceCfb8Encrypt(*twin, cv, Bytes{0x00, 0xFF, 'z'});
    EXPECT_EQ(one, Base64Encode(std::string(refOne.begin(), refOne.end())));
    EXPECT_EQ(three, Base64Encode(std::string(refThree.begin(), refThree.end())));

    auto reader = Keyed("strings");
    EXPECT_EQ(reader->DecryptString(one), "A");
    EXPECT_EQ(reader->DecryptString(three), threeBytes);
    EXPECT_EQ(reader->DecryptString(""), "");
    // After the strings both sides hold the same CV: the body continues from it.
    const Bytes body = PatternBytes(50, 31);
    const Bytes encrypted = EncryptAll(*cipher, body);
    EXPECT_EQ(ToHex(encrypted), ToHex(ReferenceCbcEncrypt(*twin, cv, body)));
    EXPECT_EQ(ToHex(DecryptAll(*reader, encrypted)), ToHex(body));

    const std::string name = "report \xC3\xA9t\xC3\xA9.txt";
    const std::string text = Keyed("strings")->EncryptString(name);
    EXPECT_EQ(text.size(), 4 * ((name.size() + 2) / 3));
    EXPECT_EQ(Keyed("strings")->DecryptString(text), name);
    // Text that is not Base64 is refused, not decoded to arbitrary bytes.
    EXPECT_THROW(Keyed("strings")->DecryptString("ab$d"), EDCP_cipher);
}

// A reader over memory that counts its calls and can be told to hand back short reads.
class CountingReader : public TCipherReader {
public:
    CountingReader(const Bytes& data, size_t maxPerRead = SIZE_MAX) : data_(data), max_(maxPerRead) {}
    size_t Read(uint8_t* buffer, size_t count) override {
        sizes.push_back(count);
        size_t n = std::min({count, max_, data_.size() - pos_});
        std::memcpy(buffer, data_.data() + pos_, n);
        pos_ += n;
        return n;
    }
    std::vector<size_t> sizes;

private:
    const Bytes& data_;
    size_t max_;
    size_t pos_ = 0;
};

class FailingWriter : public TCipherWriter {
public:
    void Write(const uint8_t*, size_t) override { throw std::runtime_error("disk full"); }
};

TEST_P(CipherMode, StreamsProcessWhatTheyRead) {
    const Bytes data = PatternBytes(8193 + 100, 41);
    // Size 0: nothing read, nothing written, CV untouched.
    {
        auto cipher = Keyed("stream");
        CountingReader reader(data);
        TMemoryWriter writer;
        EXPECT_EQ(cipher->EncryptStream(reader, writer, 0), 0u);
        EXPECT_TRUE(reader.sizes.empty());
        EXPECT_TRUE(writer.Data().empty());
        EXPECT_EQ(ToHex(EncryptAll(*cipher, data)), ToHex(EncryptAll(*Keyed("stream"), data)));
    }
    // Size 8193: one full buffer and one byte, the same bytes as one call over 8193.
    const Bytes part(data.begin(), data.begin() + 8193);
    const Bytes expected = EncryptAll(*Keyed("stream"), part);
    {
        auto cipher = Keyed("stream");
        CountingReader reader(data);
        TMemoryWriter writer;
        EXPECT_EQ(cipher->EncryptStream(reader, writer, 8193), 8193u);
        EXPECT_EQ(reader.sizes, (std::vector<size_t>{8192, 1}));
        EXPECT_EQ(ToHex(writer.Data()), ToHex(expected));

        auto decrypter = Keyed("stream");
        CountingReader back(writer.Data());
        TMemoryWriter plain;
        EXPECT_EQ(decrypter->DecryptStream(back, plain, 8193), 8193u);
        EXPECT_EQ(ToHex(plain.Data()), ToHex(part));
    }
    // Short reads: only what was read is processed and counted.
    {
        auto cipher = Keyed("stream");
        CountingReader reader(data, 1000);
        TMemoryWriter writer;
        EXPECT_EQ(cipher->EncryptStream(reader, writer, 8193), 1001u);
        EXPECT_EQ(writer.Data().size(), 1001u);
    }
    // A failing writer surfaces its error.
    {
        auto cipher = Keyed("stream");
        CountingReader reader(data);
        FailingWriter writer;
        EXPECT_THROW(cipher->EncryptStream(reader, writer, 100), std::runtime_error);
    }
}

TEST_P(CipherMode, BurnLeavesTheCipherUnkeyed) {
    auto expectUnkeyed = [](TDCP_blockcipher& c) {
        Bytes buffer(32);
        EXPECT_FALSE(c.Initialized());
        for (auto op : std::vector<std::function<void()>>{
                 [&] { c.Encrypt(buffer.data(), buffer.data(), 16); },
                 [&] { c.Decrypt(buffer.data(), buffer.data(), 16); },
                 [&] { c.EncryptECB(buffer.data(), buffer.data()); },
                 [&] { c.DecryptECB(buffer.data(), buffer.data()); },
                 [&] { c.EncryptCFB8bit(buffer.data(), buffer.data(), 1); },
                 [&] { c.EncryptString("x"); }, [&] { c.Reset(); }}) {
            try {
                op();
                ADD_FAILURE() << "no error";
            } catch (const EDCP_blockcipher& e) {
                EXPECT_STREQ(e.what(), "Cipher not initialized");
            }
        }
    };
    auto fresh = NewCipher(Sign());
    expectUnkeyed(*fresh);

    auto cipher = Keyed("burn");
    const Bytes data = PatternBytes(40, 51);
    const Bytes first = EncryptAll(*cipher, data);
    cipher->Burn();
    expectUnkeyed(*cipher);
    // Keying again rebuilds the same schedule; keying while keyed starts over.
    cipher->InitStr("burn");
    EXPECT_EQ(ToHex(EncryptAll(*cipher, data)), ToHex(first));
    cipher->InitStr("burn");
    EXPECT_EQ(ToHex(EncryptAll(*cipher, data)), ToHex(first));
    cipher->InitStr("other");
    EXPECT_NE(ToHex(EncryptAll(*cipher, data)), ToHex(first));
}

TEST_P(CipherMode, InvalidKeySizesAreRefused) {
    auto cipher = Keyed("size");
    const uint32_t max = cipher->GetMaxKeySize();
    const Bytes key(max / 8 + 16, 0x33);
    for (uint32_t bits : {0u, 2u, 6u, 10u, 63u, max + 4, max + 8, 0xFFFFFFFCu}) {
        SCOPED_TRACE("bits " + std::to_string(bits));
        try {
            cipher->Init(key.data(), bits, nullptr);
            ADD_FAILURE() << "accepted";
        } catch (const EDCP_cipher& e) {
            EXPECT_STREQ(e.what(), "Invalid key size");
        }
        // A refused keying leaves no earlier key behind.
        EXPECT_FALSE(cipher->Initialized());
        cipher->InitStr("size");
    }
}

TEST_P(CipherMode, EveryAcceptedKeySizeRoundTrips) {
    auto cipher = NewCipher(Sign());
    const uint32_t max = cipher->GetMaxKeySize();
    const Bytes key = PatternBytes(max / 8, 61);
    const Bytes data = PatternBytes(2 * BlockBytes(*cipher) + 3, 62);
    for (uint32_t bits = 4; bits <= max; bits += 4) {
        cipher->Init(key.data(), bits, nullptr);
        const Bytes encrypted = EncryptAll(*cipher, data);
        cipher->Reset();
        ASSERT_EQ(ToHex(DecryptAll(*cipher, encrypted)), ToHex(data)) << "bits " << bits;
    }
}

INSTANTIATE_TEST_SUITE_P(AllCiphers, CipherMode, testing::ValuesIn(AllSigns()), SignName);

TEST(CipherFactory, NamesTheEighteenCiphersInRegistryOrder) {
    std::string signs;
    for (const auto& entry : CipherFactoryTable()) signs += std::string(entry.Sign) + " ";
    EXPECT_EQ(signs, "BFS CS1 CS2 DES 3DE ICE TIC IC2 IDE MAR MI1 RC2 RC5 RC6 RIJ SER TEA TFS ");
    for (const auto& entry : CipherFactoryTable()) {
        auto a = CreateCipher(entry.Sign), b = CreateCipher(entry.Sign);
        ASSERT_NE(a, nullptr);
        EXPECT_NE(a.get(), b.get());
        EXPECT_FALSE(a->Initialized());
    }
    for (const char* unknown : {"ALL", "bfs", "BF", "BFSX", "", "XYZ"}) EXPECT_EQ(CreateCipher(unknown), nullptr) << unknown;
}

TEST(CipherFactory, CiphersDifferFromEachOther) {
    // Guards against two signatures wired to the same class.
    std::set<std::string> outputs;
    const Bytes data = PatternBytes(32, 71);
    for (const auto& entry : CipherFactoryTable()) {
        auto c = CreateCipher(entry.Sign);
        c->InitStr("same pass phrase");
        outputs.insert(ToHex(EncryptAll(*c, data)));
    }
    EXPECT_EQ(outputs.size(), CipherCount);
}

}  // namespace
}  // namespace tellvane::test
