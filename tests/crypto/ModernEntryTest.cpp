// The modern entry through the registry: its bytes at the chunk edges, every tampering refused with
// nothing left behind, one stretching per run, and Cancel.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>

#include "crypto/CryptoAlgorithms.h"
#include "crypto/EncTestSupport.h"
#include "crypto/ModernFormat.h"
#include "crypto/RunKeys.h"
#include "platform/FileSystem.h"

namespace tellvane {
namespace {

using Bytes = std::vector<uint8_t>;
constexpr char Pass[] = "\xE5\xAF\x86\xE7\xA0\x81\xE5\xAF\x86\xE7\xA0\x81";  // 密码密码: its UTF-8 bytes are the key

uint32_t Le32(const Bytes& b, size_t at) { return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24; }

TCryptFileOptions Sharing(TRunKeys& keys) {
    TCryptFileOptions options;
    options.runKeys = &keys;
    return options;
}

std::vector<std::string> Names(const test::TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class ModernEntryTest : public ::testing::Test {
protected:
    TCryptoAlgorithm& Entry() { return *FindAlgorithmBySign("C2P"); }
    // Encrypts DIR/NAME holding BODY into NAME.enc under the run's keys.
    Bytes EncryptFile(const std::string& name, const Bytes& body, TRunKeys& keys) {
        test::WriteAll(dir_.file(name), body);
        EXPECT_TRUE(Entry().Encrypt(dir_.file(name), Pass, nullptr, nullptr, nullptr, Sharing(keys)));
        std::filesystem::remove(dir_.file(name));
        return test::ReadAll(dir_.file(name + ".enc"));
    }

    test::TRegistryScope scope_;
    test::TempDir dir_;
    TRunKeys keys_;
};

TEST_F(ModernEntryTest, FileBytesAtTheChunkEdgesAndRoundTrip) {
    TRunKeys decryptKeys;
    for (const size_t size : {size_t(0), size_t(1), size_t(65535), size_t(65536), size_t(65537), size_t(2 * 65536 + 500)}) {
        SCOPED_TRACE("body of " + std::to_string(size) + " bytes");
        const Bytes body = test::PatternBytes(size, static_cast<uint32_t>(size));
        const Bytes file = EncryptFile("f.bin", body, keys_);
        ASSERT_GE(file.size(), 46u);
        EXPECT_EQ(std::string(file.begin(), file.begin() + 4), std::string("C2P\x01", 4));
        EXPECT_EQ(Le32(file, 4), 3u);
        EXPECT_EQ(Le32(file, 8), 65536u);
        EXPECT_EQ(file[44] | file[45] << 8, 5 + 16);  // "f.bin" and its tag
        const size_t chunks = std::max<size_t>(1, (size + 65535) / 65536);
        EXPECT_EQ(file.size(), 46 + 21 + size + 16 * chunks);
        ASSERT_TRUE(Entry().Decrypt(dir_.file("f.bin.enc"), Pass, nullptr, nullptr, nullptr,
                                    Sharing(decryptKeys)));
        EXPECT_EQ(test::ReadAll(dir_.file("f.bin")), body);
        std::filesystem::remove(dir_.file("f.bin"));
    }
    // One salt and one stretching for the whole run, each way; every file its own nonce.
    EXPECT_EQ(keys_.Stretchings(), 1);
    EXPECT_EQ(decryptKeys.Stretchings(), 1);
    const Bytes a = EncryptFile("a", {}, keys_), b = EncryptFile("b", {}, keys_);
    EXPECT_TRUE(std::equal(a.begin() + 12, a.begin() + 28, b.begin() + 12));
    EXPECT_FALSE(std::equal(a.begin() + 28, a.begin() + 44, b.begin() + 28));
}

struct Tampering {
    const char* what;
    std::function<void(Bytes&)> change;
    std::string password;  // the pass phrase handed to Decrypt
    bool asksPassPhrase;   // the name chunk does not open: the pass-phrase question, else "damaged"
};

TEST_F(ModernEntryTest, EveryTamperingIsRefusedAndLeavesNothing) {
    constexpr size_t body = 46 + 16 + 21;  // where the body of "f.bin.enc" starts
    constexpr size_t sealed = 65536 + 16;
    const std::vector<Tampering> table = {
        {"wrong pass phrase", [](Bytes&) {}, "wrong", true},
        {"pass phrase collapsed to the code page", [](Bytes&) {}, "????", true},
        {"salt changed", [](Bytes& f) { f[20] ^= 1; }, Pass, true},
        {"passes changed", [](Bytes& f) { f[4] = 2; }, Pass, true},
        {"file nonce changed", [](Bytes& f) { f[40] ^= 0x80; }, Pass, true},
        {"name chunk changed", [](Bytes& f) { f[50] ^= 4; }, Pass, true},
        {"version 2", [](Bytes& f) { f[3] = 2; }, Pass, false},
        {"name length changed", [](Bytes& f) { f[45] = 0xFF; }, Pass, true},
        {"byte in the first chunk", [](Bytes& f) { f[body + 7] ^= 1; }, Pass, false},
        {"tag of the last chunk", [](Bytes& f) { f.back() ^= 1; }, Pass, false},
        {"cut at a chunk boundary", [](Bytes& f) { f.resize(body + 2 * sealed); }, Pass, false},
        {"cut inside a chunk", [](Bytes& f) { f.resize(f.size() - 100); }, Pass, false},
        {"cut to the header", [](Bytes& f) { f.resize(body); }, Pass, false},
        {"first two chunks swapped",
         [](Bytes& f) { std::swap_ranges(f.begin() + body, f.begin() + body + sealed, f.begin() + body + sealed); },
         Pass, false},
        {"an empty chunk appended", [](Bytes& f) { f.insert(f.end(), 16, 0); }, Pass, false},
    };
    const Bytes good = EncryptFile("f.bin", test::PatternBytes(2 * 65536 + 500, 7), keys_);
    for (const Tampering& t : table) {
        SCOPED_TRACE(t.what);
        Bytes file = good;
        t.change(file);
        test::WriteAll(dir_.file("f.bin.enc"), file);
        int asked = 0;
        const TInvalidPasswordCallback decline = [&](const std::string&, TSecretString&) { return ++asked, false; };
        std::string message;
        try {
            EXPECT_FALSE(Entry().Decrypt(dir_.file("f.bin.enc"), t.password, nullptr, nullptr, decline,
                                         Sharing(keys_)));
        } catch (const EFileSkipped& e) {
            message = e.what();
        }
        EXPECT_EQ(asked, t.asksPassPhrase ? 1 : 0);
        EXPECT_EQ(message, t.asksPassPhrase ? "" : dir_.file("f.bin.enc") + " is damaged or was changed");
        EXPECT_EQ(Names(dir_), std::vector<std::string>{"f.bin.enc"});
    }
    // The question answered with the right pass phrase restores the file.
    test::WriteAll(dir_.file("f.bin.enc"), good);
    const TInvalidPasswordCallback answer = [](const std::string&, TSecretString& typed) { return typed = Pass, true; };
    EXPECT_TRUE(Entry().Decrypt(dir_.file("f.bin.enc"), "wrong", nullptr, nullptr, answer, {}));
    EXPECT_EQ(test::ReadAll(dir_.file("f.bin")), test::PatternBytes(2 * 65536 + 500, 7));
}

TEST_F(ModernEntryTest, CancelStopsTheChunkWorkersAndLeavesNoOutput) {
    const Bytes body = test::PatternBytes(size_t(512) << 20 >> 3, 3);  // 64 MiB: far more than one check's worth
    test::WriteAll(dir_.file("big"), body);
    int64_t reported = 0;
    const TProgressOperationCallback progress = [&](int64_t done, int64_t, int64_t, double) { reported = done; };
    const THaltOperationCallback haltAtOnce = [] { return true; };
    EXPECT_FALSE(Entry().Encrypt(dir_.file("big"), Pass, haltAtOnce, progress, nullptr, Sharing(keys_)));
    EXPECT_LT(reported, static_cast<int64_t>(body.size()));
    EXPECT_EQ(Names(dir_), std::vector<std::string>{"big"});
}

}  // namespace
}  // namespace tellvane
