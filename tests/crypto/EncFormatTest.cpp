// The .enc format through the registry: header bytes, part loop, round trips for every cipher,
// passwords, halts, forged and truncated files, and the format checked against an independent
// reader and writer.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "crypto/BlockCipher.h"
#include "crypto/CipherFactory.h"
#include "crypto/Crc32.h"
#include "crypto/CryptoAlgorithms.h"
#include "crypto/EncFileFormat.h"
#include "crypto/EncFileIO.h"
#include "crypto/EncLayer.h"
#include "crypto/EncTestSupport.h"
#include "platform/ByteSource.h"
#include "platform/FileSystem.h"

namespace tellvane {
namespace {

using test::PatternBytes;
using test::ReadAll;
using test::TempDir;
using test::WriteAll;
using test::WriteText;

std::vector<std::string> Listing(const TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

struct Recorder {
    std::vector<int64_t> parts;
    std::vector<int64_t> totals;
    int haltChecks = 0;
    int haltAt = -1;  // the halt check that answers true
    std::vector<std::string> promptedFiles;
    std::vector<std::string> answers;  // passwords the prompt gives, in turn; declines after them

    THaltOperationCallback Halt() {
        return [this] { return haltChecks++ == haltAt; };
    }
    TProgressOperationCallback Progress() {
        return [this](int64_t, int64_t total, int64_t part, double) {
            parts.push_back(part);
            totals.push_back(total);
        };
    }
    TInvalidPasswordCallback Prompt() {
        return [this](const std::string& file, std::string& pw) {
            promptedFiles.push_back(file);
            if (promptedFiles.size() > answers.size()) return false;
            pw = answers[promptedFiles.size() - 1];
            return true;
        };
    }
};

class EncFormatTest : public testing::Test {
protected:
    TCryptoAlgorithm& Entry(const std::string& sign) {
        TCryptoAlgorithm* a = FindAlgorithmBySign(sign);
        if (a == nullptr) throw std::runtime_error("no entry " + sign);
        return *a;
    }
    bool Encrypt(const std::string& sign, const std::string& path, const std::string& pw, Recorder& r) {
        return Entry(sign).Encrypt(path, pw, r.Halt(), r.Progress(), r.Prompt());
    }
    bool Decrypt(const std::string& sign, const std::string& path, const std::string& pw, Recorder& r) {
        return Entry(sign).Decrypt(path, pw, r.Halt(), r.Progress(), r.Prompt());
    }
    // Writes an .enc whose stored name is chosen freely, as a forger with the password could.
    void WriteLayer(const std::string& sign, const std::string& source, const std::string& storedName,
                    const std::string& target, const std::string& pw) {
        auto cipher = CreateCipher(sign);
        TInputFile in(source);
        TOutputFile out(target);
        ASSERT_TRUE(EncryptLayer(*cipher, sign, pw, in, storedName, out, nullptr, nullptr, 1));
        out.Commit();
    }

    test::TRegistryScope registry;
    TempDir src, dst;
};

TEST_F(EncFormatTest, ReportTxtHeaderBytes) {
    WriteText(src.file("report.txt"), "hello");
    Recorder r;
    ASSERT_TRUE(Encrypt("RIJ", src.file("report.txt"), "secret", r));
    const auto file = ReadAll(src.file("report.txt.enc"));
    ASSERT_EQ(file.size(), 27u + 5u);
    EXPECT_EQ(test::ToHex(std::vector<uint8_t>(file.begin(), file.begin() + 11)), "52494af3a683a210000000");
    // Body at 27: the name takes 16 Base64 characters.
    for (size_t i = 11; i < 27; ++i) EXPECT_TRUE(std::isalnum(file[i]) || file[i] == '+' || file[i] == '/' || file[i] == '=');
}

TEST_F(EncFormatTest, PartCountsThroughOnProgress) {
    for (auto [size, parts, first, last] : {std::tuple{250, 125u, 2, 2}, std::tuple{12345, 101u, 123, 45},
                                            std::tuple{99, 99u, 1, 1}, std::tuple{0, 0u, 0, 0}}) {
        SCOPED_TRACE(size);
        WriteAll(src.file("f"), PatternBytes(static_cast<size_t>(size)));
        Recorder enc;
        ASSERT_TRUE(Encrypt("BFS", src.file("f"), "pw", enc));
        ASSERT_EQ(enc.parts.size(), parts);
        EXPECT_EQ(enc.haltChecks, static_cast<int>(parts));
        if (parts > 0) {
            EXPECT_EQ(enc.parts.front(), first);
            EXPECT_EQ(enc.parts.back(), last);
        }
        std::filesystem::rename(src.file("f.enc"), dst.file("f.enc"));
        Recorder dec;
        ASSERT_TRUE(Decrypt("BFS", dst.file("f.enc"), "pw", dec));
        EXPECT_EQ(dec.parts, enc.parts);
        EXPECT_EQ(ReadAll(dst.file("f")), PatternBytes(static_cast<size_t>(size)));
        // An empty body: header and name only.
        if (size == 0) {
            EXPECT_EQ(GetFileSize(dst.file("f.enc")), 11 + 4);
        }
    }
}

TEST_F(EncFormatTest, PartSizeIsDividedByThePassCountWhenEncryptingOnly) {
    WriteAll(src.file("f"), PatternBytes(12345));
    SetAlgorithmPassCount(18);
    Recorder enc;
    ASSERT_TRUE(Encrypt("TEA", src.file("f"), "pw", enc));
    EXPECT_EQ(enc.parts.front(), 123 / 18);
    EXPECT_EQ(enc.parts.back(), 45 / 18);
    Recorder dec;
    ASSERT_TRUE(Decrypt("TEA", src.file("f.enc"), "pw", dec));
    EXPECT_EQ(dec.parts.front(), 123);
    SetAlgorithmPassCount(1);
}

// Every cipher, every size where blocks, parts and buffers meet.
TEST_F(EncFormatTest, RoundTripForEveryCipherAndBodySize) {
    for (const auto& entry : CipherFactoryTable()) {
        const std::string sign(entry.Sign);
        const size_t b = entry.Create()->GetBlockSize() / 8;
        for (size_t size : {size_t(0), size_t(1), b - 1, b, b + 1, size_t(99), size_t(100), size_t(199), size_t(200),
                            size_t(250), size_t(8191), size_t(8193), size_t(12345), size_t(1048576 + 7)}) {
            SCOPED_TRACE(sign + " " + std::to_string(size));
            const auto body = PatternBytes(size, static_cast<uint32_t>(size * 31 + sign[0]));
            const std::string name = "file " + sign + ".bin";
            WriteAll(src.file(name), body);
            Recorder r;
            ASSERT_TRUE(Encrypt(sign, src.file(name), "pass phrase", r));
            const auto enc = ReadAll(src.file(name + ".enc"));
            const size_t nameLength = 4 * ((name.size() + 2) / 3);
            ASSERT_EQ(enc.size(), 11 + nameLength + size);
            EXPECT_EQ(std::string(enc.begin(), enc.begin() + 3), sign);
            if (size >= 16) {
                EXPECT_NE(std::vector<uint8_t>(enc.end() - 16, enc.end()), std::vector<uint8_t>(body.end() - 16, body.end()));
            }
            std::filesystem::rename(src.file(name + ".enc"), dst.file("moved.enc"));
            ASSERT_TRUE(Decrypt(sign, dst.file("moved.enc"), "pass phrase", r));
            ASSERT_TRUE(r.promptedFiles.empty());
            EXPECT_TRUE(ReadAll(dst.file(name)) == body);
            std::filesystem::remove(dst.file(name));
            std::filesystem::remove(dst.file("moved.enc"));
        }
    }
    EXPECT_TRUE(Listing(dst).empty());
}

TEST_F(EncFormatTest, OurRijFilesMatchAnIndependentReaderByteForByte) {
    for (size_t size : {size_t(0), size_t(1), size_t(15), size_t(16), size_t(17), size_t(99), size_t(250),
                        size_t(12345), size_t(3 * 1048576 + 11)}) {
        SCOPED_TRACE(size);
        const auto body = PatternBytes(size, static_cast<uint32_t>(size));
        WriteAll(src.file("report.txt"), body);
        Recorder r;
        ASSERT_TRUE(Encrypt("RIJ", src.file("report.txt"), "Tr0ub4dor&3", r));
        const auto ours = ReadAll(src.file("report.txt.enc"));
        const test::TReferenceDecoded ref = test::ReferenceDecodeRij(ours, "Tr0ub4dor&3");
        EXPECT_TRUE(ref.nameMatches);
        EXPECT_EQ(ref.name, "report.txt");
        EXPECT_TRUE(ref.body == body);
        // And the reference writer's bytes are ours exactly.
        EXPECT_TRUE(test::ReferenceEncodeRij("report.txt", body, "Tr0ub4dor&3") == ours);
    }
}

TEST_F(EncFormatTest, FilesOfAnIndependentWriterDecrypt) {
    const auto body = PatternBytes(54321, 7);
    WriteAll(dst.file("x.enc"), test::ReferenceEncodeRij("notes.md", body, "pw"));
    Recorder r;
    ASSERT_TRUE(Decrypt("RIJ", dst.file("x.enc"), "pw", r));
    EXPECT_TRUE(ReadAll(dst.file("notes.md")) == body);
}

TEST_F(EncFormatTest, Utf8NamesAreStoredAndRestored) {
    const std::string name = "Übersicht €\xF0\x9F\x98\x80.txt";
    WriteText(src.file(name), "x");
    Recorder r;
    ASSERT_TRUE(Encrypt("SER", src.file(name), "pw", r));
    std::filesystem::rename(src.file(name + ".enc"), dst.file("a.enc"));
    ASSERT_TRUE(Decrypt("SER", dst.file("a.enc"), "pw", r));
    EXPECT_EQ(test::ReadText(dst.file(name)), "x");
}

// A Linux name in Latin-1 comes back as its very bytes; the checksum stays the CRC-32 of the
// UTF-16LE text with the invalid byte read as U+FFFD, so other readers still accept the file.
TEST_F(EncFormatTest, NamesThatAreNotUtf8AreRestoredByteForByte) {
    const std::string name = "caf\xE9.txt";
    WriteText(src.file(name), "latin");
    Recorder r;
    ASSERT_TRUE(Encrypt("RIJ", src.file(name), "pw", r));
    const auto enc = ReadAll(src.file(name + ".enc"));
    const test::TReferenceDecoded ref = test::ReferenceDecodeRij(enc, "pw");
    EXPECT_EQ(ref.name, name);
    const std::string utf16le("c\0a\0f\0\xFD\xFF.\0t\0x\0t\0", 16);
    uint32_t crc = 0xFFFFFFFF;
    UpdateCRC32(utf16le.data(), static_cast<int32_t>(utf16le.size()), crc);
    EXPECT_EQ(uint32_t(enc[3] | enc[4] << 8 | enc[5] << 16 | uint32_t(enc[6]) << 24), ~crc);
    std::filesystem::rename(src.file(name + ".enc"), dst.file("a.enc"));
    ASSERT_TRUE(Decrypt("RIJ", dst.file("a.enc"), "pw", r));
    EXPECT_EQ(Listing(dst), (std::vector<std::string>{"a.enc", name}));
    EXPECT_EQ(test::ReadText(dst.file(name)), "latin");
}

TEST_F(EncFormatTest, WrongPasswordThenRightThroughTheCallback) {
    WriteAll(src.file("doc"), PatternBytes(5000));
    Recorder enc;
    ASSERT_TRUE(Encrypt("CS2", src.file("doc"), "right", enc));
    std::filesystem::rename(src.file("doc.enc"), dst.file("doc.enc"));
    Recorder r;
    r.answers = {"still wrong", "right"};
    ASSERT_TRUE(Decrypt("CS2", dst.file("doc.enc"), "wrong", r));
    ASSERT_EQ(r.promptedFiles.size(), 2u);
    EXPECT_EQ(r.promptedFiles[0], dst.file("doc.enc"));
    EXPECT_TRUE(ReadAll(dst.file("doc")) == PatternBytes(5000));
}

TEST_F(EncFormatTest, DeclinedPasswordWritesNothingAndKeepsAnExistingFile) {
    WriteAll(src.file("doc"), PatternBytes(5000));
    Recorder enc;
    ASSERT_TRUE(Encrypt("IDE", src.file("doc"), "right", enc));
    std::filesystem::rename(src.file("doc.enc"), dst.file("doc.enc"));
    WriteText(dst.file("doc"), "keep me");
    Recorder r;
    EXPECT_FALSE(Decrypt("IDE", dst.file("doc.enc"), "wrong", r));
    EXPECT_EQ(r.promptedFiles.size(), 1u);
    EXPECT_TRUE(r.parts.empty());
    EXPECT_EQ(test::ReadText(dst.file("doc")), "keep me");
    EXPECT_EQ(Listing(dst), (std::vector<std::string>{"doc", "doc.enc"}));
}

TEST_F(EncFormatTest, HaltBeforeTheFirstPartLeavesNoOutputAndTheOldOneIntact) {
    WriteAll(src.file("f"), PatternBytes(20000));
    WriteText(src.file("f.enc"), "older");
    Recorder r;
    r.haltAt = 0;
    EXPECT_FALSE(Encrypt("RC6", src.file("f"), "pw", r));
    EXPECT_TRUE(r.parts.empty());
    EXPECT_EQ(test::ReadText(src.file("f.enc")), "older");
    EXPECT_EQ(Listing(src), (std::vector<std::string>{"f", "f.enc"}));
}

TEST_F(EncFormatTest, HaltInTheMiddleLeavesNoPartialFile) {
    const auto body = PatternBytes(3 * 1048576 + 5);
    WriteAll(src.file("f"), body);
    Recorder r;
    r.haltAt = 50;
    EXPECT_FALSE(Encrypt("RC5", src.file("f"), "pw", r));
    EXPECT_EQ(r.parts.size(), 49u);  // one check fell between the buffers of part 33
    EXPECT_EQ(Listing(src), (std::vector<std::string>{"f"}));

    Recorder full;
    ASSERT_TRUE(Encrypt("RC5", src.file("f"), "pw", full));
    std::filesystem::rename(src.file("f.enc"), dst.file("f.enc"));
    Recorder d;
    d.haltAt = 70;
    EXPECT_FALSE(Decrypt("RC5", dst.file("f.enc"), "pw", d));
    EXPECT_EQ(Listing(dst), (std::vector<std::string>{"f.enc"}));
}

// The header reader over bytes alone: the fields of a good header, and every way a header can be
// cut short or forged is the same read error.
TEST(EncHeaderBytes, FieldsOrReadError) {
    const std::string good = EncodeEncHeader("RIJ", 0xA1B2C3D4, "QUJD") + "body";
    const TEncHeader h = ReadEncHeader(TMemorySource(good));
    EXPECT_EQ(h.sign, "RIJ");
    EXPECT_EQ(h.nameCrc, 0xA1B2C3D4u);
    EXPECT_EQ(h.encryptedName, "QUJD");
    EXPECT_EQ(h.bodyOffset, 15);
    EXPECT_EQ(h.bodySize, 4);
    EXPECT_EQ(ReadEncHeader(TMemorySource(good.substr(0, 15))).bodySize, 0);
    auto withLength = [&](const char* le32) { return good.substr(0, 7) + std::string(le32, 4) + "QUJDbody"; };
    const std::vector<std::pair<std::string, std::string>> bad = {
        {"empty", ""},
        {"short 10", good.substr(0, 10)},
        {"name cut short", good.substr(0, 14)},
        {"NameLength -1", withLength("\xFF\xFF\xFF\xFF")},
        {"NameLength past the end", withLength("\x09\x00\x00\x00")},
        {"NameLength 70000", withLength("\x70\x11\x01\x00") + std::string(70000, 'A')},
    };
    for (const auto& [what, bytes] : bad) {
        try {
            ReadEncHeader(TMemorySource(bytes));
            ADD_FAILURE() << what << ": no error";
        } catch (const EFileError& e) {
            EXPECT_STREQ(e.what(), "Stream read error") << what;
        }
    }
}

TEST_F(EncFormatTest, TruncatedAndForgedHeadersAreReadErrors) {
    WriteAll(src.file("f"), PatternBytes(300));
    Recorder enc;
    ASSERT_TRUE(Encrypt("RIJ", src.file("f"), "pw", enc));
    const auto good = ReadAll(src.file("f.enc"));
    auto expectReadError = [&](const std::vector<uint8_t>& bytes, const std::string& what) {
        SCOPED_TRACE(what);
        WriteAll(dst.file("x.enc"), bytes);
        Recorder r;
        try {
            Decrypt("RIJ", dst.file("x.enc"), "pw", r);
            ADD_FAILURE() << "no error";
        } catch (const EFileError& e) {
            EXPECT_STREQ(e.what(), "Stream read error");
        }
        EXPECT_TRUE(r.promptedFiles.empty());
        EXPECT_EQ(Listing(dst), (std::vector<std::string>{"x.enc"}));
    };
    for (size_t n : {3, 7, 10}) expectReadError(std::vector<uint8_t>(good.begin(), good.begin() + n), "short " + std::to_string(n));
    auto negative = good;
    negative[7] = negative[8] = negative[9] = negative[10] = 0xFF;
    expectReadError(negative, "NameLength -1");
    auto huge = good;
    huge[10] = 0x7F;
    expectReadError(huge, "NameLength past the end");
    auto forged = good;  // a name length no writer produces, inside a file long enough for it
    forged.resize(70000 + 11);
    forged[7] = 0x70;
    forged[8] = 0x11;
    forged[9] = 0x01;
    forged[10] = 0x00;
    expectReadError(forged, "NameLength 70000");
    auto cut = std::vector<uint8_t>(good.begin(), good.begin() + 14);
    expectReadError(cut, "name cut short");
}

TEST_F(EncFormatTest, BrokenBase64IsAMismatchThatAsksForAnotherPassword) {
    WriteAll(src.file("f"), PatternBytes(300));
    Recorder enc;
    ASSERT_TRUE(Encrypt("RIJ", src.file("f"), "pw", enc));
    auto bytes = ReadAll(src.file("f.enc"));
    bytes[11] = '!';
    bytes[12] = '*';
    WriteAll(dst.file("x.enc"), bytes);
    Recorder r;
    r.answers = {"pw"};
    EXPECT_FALSE(Decrypt("RIJ", dst.file("x.enc"), "pw", r));
    EXPECT_EQ(r.promptedFiles.size(), 2u);
    EXPECT_EQ(Listing(dst), (std::vector<std::string>{"x.enc"}));
}

TEST(EncNameFormTest, WholeBase64GroupsPaddedOnlyAtTheEnd) {
    const std::pair<const char*, bool> cases[] = {
        {"YQ==", true},  {"YWI=", true},  {"YWJj", true},      {"YWJjZA==", true}, {"", false},
        {"YWJ", false},  {"YWJjZ", false}, {"YQ==YWJj", false}, {"YW=j", false},    {"Y===", false},
        {"====", false}, {"YW!j", false},
    };
    for (const auto& [name, wellFormed] : cases) EXPECT_EQ(IsWellFormedEncName(name), wellFormed) << name;
}

TEST_F(EncFormatTest, StoredNamesThatAreNotPlainFileNamesAreRefused) {
    WriteText(src.file("payload"), "evil");
    for (const std::string stored : {"../escaped", "sub/inner", "..", ".", "/etc/passwd"}) {
        SCOPED_TRACE(stored);
        WriteLayer("BFS", src.file("payload"), stored, dst.file("x.enc"), "pw");
        Recorder r;
        EXPECT_THROW(Decrypt("BFS", dst.file("x.enc"), "pw", r), EFileSkipped);
        EXPECT_EQ(Listing(dst), (std::vector<std::string>{"x.enc"}));
        EXPECT_FALSE(PathExists((dst.path().parent_path() / "escaped").string()));
    }
}

TEST_F(EncFormatTest, RestoredFileNeverReplacesItsOwnInput) {
    WriteText(src.file("payload"), "inner");
    WriteLayer("DES", src.file("payload"), "same", dst.file("same"), "pw");
    const auto before = ReadAll(dst.file("same"));
    Recorder r;
    EXPECT_THROW(Decrypt("DES", dst.file("same"), "pw", r), EFileSkipped);
    EXPECT_TRUE(ReadAll(dst.file("same")) == before);
    EXPECT_EQ(Listing(dst), (std::vector<std::string>{"same"}));
}

TEST_F(EncFormatTest, ReadOnlyTargetIsRefusedAndKept) {
    WriteText(src.file("doc"), "new");
    Recorder r;
    ASSERT_TRUE(Encrypt("MI1", src.file("doc"), "pw", r));
    std::filesystem::rename(src.file("doc.enc"), dst.file("doc.enc"));
    WriteText(dst.file("doc"), "old");
    chmod(dst.file("doc").c_str(), 0444);
    try {
        Decrypt("MI1", dst.file("doc.enc"), "pw", r);
        ADD_FAILURE() << "no error";
    } catch (const EFileError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot create file \"" + dst.file("doc") + "\". Error 13", 0), 0u) << e.what();
    }
    EXPECT_EQ(test::ReadText(dst.file("doc")), "old");
    EXPECT_EQ(Listing(dst), (std::vector<std::string>{"doc", "doc.enc"}));
}

TEST_F(EncFormatTest, MissingSourceIsACannotOpenError) {
    Recorder r;
    try {
        Encrypt("BFS", src.file("absent"), "pw", r);
        ADD_FAILURE() << "no error";
    } catch (const EFileError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot open file \"" + src.file("absent") + "\". Error 2", 0), 0u) << e.what();
    }
    EXPECT_TRUE(Listing(src).empty());
}

TEST_F(EncFormatTest, EncryptionReplacesAnExistingEncFile) {
    WriteText(src.file("a"), "abc");
    WriteText(src.file("a.enc"), "stale");
    Recorder r;
    ASSERT_TRUE(Encrypt("TIC", src.file("a"), "pw", r));
    EXPECT_EQ(GetFileSize(src.file("a.enc")), 11 + 4 + 3);
}

TEST_F(EncFormatTest, AllAtOnceEncryptsInCascadeAndDecryptUnwrapsEveryLayer) {
    const auto body = PatternBytes(40000, 3);
    WriteAll(src.file("deep.bin"), body);
    SetAlgorithmPassCount(18);
    Recorder enc;
    ASSERT_TRUE(Encrypt("ALL", src.file("deep.bin"), "pw", enc));
    SetAlgorithmPassCount(1);
    EXPECT_EQ(Listing(src), (std::vector<std::string>{"deep.bin", "deep.bin.enc"}));
    const auto file = ReadAll(src.file("deep.bin.enc"));
    EXPECT_EQ(std::string(file.begin(), file.begin() + 3), "TFS");
    // Eighteen headers of 11 + 12 bytes around the body.
    EXPECT_EQ(file.size(), 18 * (11 + 12) + body.size());
    // Every pass reports its parts with the file's share divided by eighteen.
    // Pass k reads the body plus the k headers before it: 100 parts and one per extra P bytes.
    size_t expectedParts = 0;
    for (int64_t k = 0; k < 18; ++k) {
        const int64_t total = static_cast<int64_t>(body.size()) + 23 * k, p = total / 100;
        expectedParts += static_cast<size_t>(total / p + (total % p != 0));
    }
    EXPECT_EQ(enc.parts.size(), expectedParts);
    EXPECT_EQ(enc.parts.front(), 400 / 18);

    std::filesystem::rename(src.file("deep.bin.enc"), dst.file("deep.bin.enc"));
    Recorder dec;
    dec.answers = {"pw"};
    ASSERT_TRUE(Decrypt("TFS", dst.file("deep.bin.enc"), "wrong", dec));
    EXPECT_EQ(dec.promptedFiles.size(), 1u);  // the new password serves every layer
    EXPECT_TRUE(ReadAll(dst.file("deep.bin")) == body);
    EXPECT_EQ(Listing(dst), (std::vector<std::string>{"deep.bin", "deep.bin.enc"}));
    // Only the outer layer counts the file's bytes.
    int64_t share = 0;
    for (int64_t p : dec.parts) share += p;
    EXPECT_EQ(share, static_cast<int64_t>(body.size() + 17 * 23));
    // The entry itself decrypts by the file's own signature.
    std::filesystem::remove(dst.file("deep.bin"));
    Recorder again;
    ASSERT_TRUE(Decrypt("ALL", dst.file("deep.bin.enc"), "pw", again));
    EXPECT_TRUE(ReadAll(dst.file("deep.bin")) == body);
}

TEST_F(EncFormatTest, AllAtOnceHaltedOrFailedLeavesNoLayerBehind) {
    WriteAll(src.file("f"), PatternBytes(30000));
    Recorder r;
    r.haltAt = 950;  // in the tenth pass
    EXPECT_FALSE(Encrypt("ALL", src.file("f"), "pw", r));
    EXPECT_EQ(Listing(src), (std::vector<std::string>{"f"}));

    Recorder full;
    ASSERT_TRUE(Encrypt("ALL", src.file("f"), "pw", full));
    Recorder d;
    d.haltAt = 700;  // in the seventh layer
    EXPECT_FALSE(Decrypt("TFS", src.file("f.enc"), "pw", d));
    EXPECT_EQ(Listing(src), (std::vector<std::string>{"f", "f.enc"}));
}

TEST_F(EncFormatTest, AnEncFileEncryptedAgainIsRestoredOneLevelOnly) {
    WriteText(src.file("x"), "plain");
    Recorder r;
    ASSERT_TRUE(Encrypt("RIJ", src.file("x"), "pw", r));
    ASSERT_TRUE(Encrypt("RIJ", src.file("x.enc"), "pw", r));
    const auto inner = ReadAll(src.file("x.enc"));
    std::filesystem::rename(src.file("x.enc.enc"), dst.file("x.enc.enc"));
    ASSERT_TRUE(Decrypt("RIJ", dst.file("x.enc.enc"), "pw", r));
    EXPECT_TRUE(ReadAll(dst.file("x.enc")) == inner);
    EXPECT_FALSE(PathExists(dst.file("x")));
}

TEST_F(EncFormatTest, OnePassFilesOfEveryCipherStillDecryptWithTheCascadeReader) {
    // A single-layer file whose body happens to hold a layer of another name is left as it is.
    WriteText(src.file("inner"), "deep");
    WriteLayer("CS1", src.file("inner"), "other", src.file("layer"), "pw");
    WriteLayer("TFS", src.file("layer"), "outer", dst.file("o.enc"), "pw");
    Recorder r;
    ASSERT_TRUE(Decrypt("TFS", dst.file("o.enc"), "pw", r));
    EXPECT_TRUE(ReadAll(dst.file("outer")) == ReadAll(src.file("layer")));
}

}  // namespace
}  // namespace tellvane
