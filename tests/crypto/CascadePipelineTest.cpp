// "All at once" in a pipeline: the file of the serial cascade byte for byte, the same progress
// shares, and halts and write failures that end every thread and leave no file.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "crypto/BlockCipher.h"
#include "crypto/CipherFactory.h"
#include "crypto/CorePool.h"
#include "crypto/CryptoAlgorithms.h"
#include "crypto/EncFileIO.h"
#include "crypto/EncLayer.h"
#include "crypto/EncTestSupport.h"
#include "crypto/LayerPipeline.h"
#include "platform/FileSystem.h"
#include "support/TestSupport.h"

namespace tellvane {
namespace {

using test::PatternBytes;
using test::ReadAll;
using test::TempDir;
using test::WriteAll;

struct Encrypted {
    bool completed = false;
    std::vector<uint8_t> file;
    std::vector<int64_t> parts;
    int64_t lastDone = 0, lastTotal = 0;
    bool backwards = false;
};

class CascadePipelineTest : public testing::Test {
protected:
    void TearDown() override {
        SetCoreCount(0);
        SetAlgorithmPassCount(1);
    }
    Encrypted EncryptAll(unsigned cores, size_t size, int haltAt = -1) {
        SetCoreCount(cores);
        SetAlgorithmPassCount(18);
        WriteAll(dir.file("f"), PatternBytes(size, static_cast<uint32_t>(size) + 9));
        Encrypted e;
        int checks = 0;
        e.completed = FindAlgorithmBySign("ALL")->Encrypt(
            dir.file("f"), "pw", [&] { return checks++ == haltAt; },
            [&](int64_t done, int64_t total, int64_t part, double) {
                e.backwards |= done < e.lastDone;
                e.lastDone = done;
                e.lastTotal = total;
                e.parts.push_back(part);
            },
            nullptr);
        if (PathExists(dir.file("f.enc"))) {
            e.file = ReadAll(dir.file("f.enc"));
            std::filesystem::remove(dir.file("f.enc"));
        }
        return e;
    }
    test::TRegistryScope registry;
    TempDir dir;
};

TEST_F(CascadePipelineTest, SameFileAndProgressAsTheSerialCascadeAndDecryptsBack) {
    // Sizes around parts, blocks and the 256 KiB chunks between layers, which cut parts anywhere.
    for (size_t size : {size_t(0), size_t(1), size_t(15), size_t(100), size_t(262143), size_t(262145),
                        size_t(300007), size_t(3 * 262144 + 77)}) {
        SCOPED_TRACE(size);
        const Encrypted serial = EncryptAll(1, size);
        const Encrypted piped = EncryptAll(2, size);
        ASSERT_TRUE(serial.completed);
        ASSERT_TRUE(piped.completed);
        EXPECT_TRUE(piped.file == serial.file);
        auto pipedParts = piped.parts, serialParts = serial.parts;
        std::sort(pipedParts.begin(), pipedParts.end());
        std::sort(serialParts.begin(), serialParts.end());
        EXPECT_EQ(serialParts, pipedParts);
        EXPECT_FALSE(piped.backwards);
        EXPECT_EQ(piped.lastDone, piped.lastTotal);

        // Decrypted in a pipeline too: the file back, the outer body's share credited once, never
        // backwards.
        WriteAll(dir.file("f.enc"), piped.file);
        std::filesystem::remove(dir.file("f"));
        int64_t share = 0, lastDone = 0;
        bool backwards = false;
        ASSERT_TRUE(FindAlgorithmBySign("ALL")->Decrypt(
            dir.file("f.enc"), "pw", nullptr,
            [&](int64_t done, int64_t, int64_t part, double) {
                share += part;
                backwards |= part < 0;
                lastDone = done;
            },
            nullptr));
        EXPECT_TRUE(ReadAll(dir.file("f")) == PatternBytes(size, static_cast<uint32_t>(size) + 9));
        EXPECT_EQ(share, static_cast<int64_t>(size + 17 * (11 + 4)));
        EXPECT_FALSE(backwards);
    }
}

// Deeper than the pipeline goes: the layers past it are unwrapped after it, none is left.
TEST_F(CascadePipelineTest, LayersBeyondThePipelineAreUnwrappedToo) {
    SetCoreCount(2);
    const auto body = PatternBytes(70000, 5);
    WriteAll(dir.file("layer0"), body);
    const char* signs[] = {"BFS", "RIJ", "TEA", "CS1"};
    const size_t depth = MaxPipelinedInnerLayers + 4;
    for (size_t k = 0; k < depth; ++k) {
        auto cipher = CreateCipher(signs[k % 4]);
        TInputFile in(dir.file("layer" + std::to_string(k)));
        TOutputFile out(dir.file("layer" + std::to_string(k + 1)));
        ASSERT_TRUE(EncryptLayer(*cipher, signs[k % 4], "pw", in, "deep", out, nullptr, nullptr, 1));
        out.Commit();
    }
    TempDir restored;
    std::filesystem::copy(dir.file("layer" + std::to_string(depth)), restored.file("deep.enc"));
    ASSERT_TRUE(FindAlgorithmBySign("ALL")->Decrypt(restored.file("deep.enc"), "pw", nullptr, nullptr, nullptr));
    EXPECT_TRUE(ReadAll(restored.file("deep")) == body);
}

TEST_F(CascadePipelineTest, HaltOrWriteFailureEndsEveryLayerAndLeavesNoFile) {
    const Encrypted halted = EncryptAll(2, 600000, 40);
    EXPECT_FALSE(halted.completed);
    EXPECT_TRUE(halted.file.empty());
    EXPECT_LE(halted.parts.size(), 40u);
    const Encrypted whole = EncryptAll(2, 600000);
    WriteAll(dir.file("f.enc"), whole.file);
    int checks = 0;
    EXPECT_FALSE(FindAlgorithmBySign("ALL")->Decrypt(dir.file("f.enc"), "pw", [&] { return ++checks == 40; },
                                                     nullptr, nullptr));
    std::filesystem::remove(dir.file("f.enc"));

    // A file-size limit makes the outer layer's writes fail, as a full disk would.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit lim = old;
    lim.rlim_cur = 700000;
    std::string message;
    WriteAll(dir.file("big"), PatternBytes(800000));
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &lim), 0);
    SetCoreCount(2);
    try {
        FindAlgorithmBySign("ALL")->Encrypt(dir.file("big"), "pw", nullptr, nullptr, nullptr);
    } catch (const EFileError& e) {
        message = e.what();
    }
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_NE(message.find("Error 27"), std::string::npos) << message;
    std::vector<std::string> left;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) left.push_back(e.path().filename());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"big", "f"}));
}

}  // namespace
}  // namespace tellvane
