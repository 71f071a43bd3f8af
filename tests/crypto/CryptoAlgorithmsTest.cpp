// The algorithm registry: entries and their order, look-up by signature, pass count and the
// description file read at every call.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/Options.h"
#include "crypto/CryptoAlgorithms.h"
#include "crypto/EncTestSupport.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"

namespace tellvane {
namespace {

using test::WriteText;

TEST(CryptoAlgorithmsTest, TwentyEntriesInOrderWithSignaturesAndCaptions) {
    test::TRegistryScope scope;
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"BFS", "Blowfish"}, {"CS1", "CAST-128"}, {"CS2", "CAST-256"}, {"DES", "DES"},          {"3DE", "3DES"},
        {"ICE", "ICE"},      {"TIC", "Thin ICE"}, {"IC2", "ICE2"},     {"IDE", "IDEA"},         {"MAR", "MARS"},
        {"MI1", "MISTY 1"},  {"RC2", "RC2"},      {"RC5", "RC5"},      {"RC6", "RC6"},          {"RIJ", "RIJNDAEL"},
        {"SER", "Serpent"},  {"TEA", "TEA"},      {"TFS", "TWOFISH"},  {"ALL", "All at once"},
        {"C2P", "ChaCha20-Poly1305 (Argon2id)"}};
    auto& list = AlgorithmList();
    ASSERT_EQ(list.size(), expected.size());
    for (size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(list[i]->Sign(), expected[i].first) << i;
        EXPECT_EQ(list[i]->Caption(), expected[i].second) << i;
    }
    EXPECT_EQ(list[AllAtOnceIndex]->Sign(), "ALL");
    // Creating again keeps the one registry.
    CreateAlgorithms();
    EXPECT_EQ(AlgorithmList().size(), 20u);
}

TEST(CryptoAlgorithmsTest, LookUpBySignatureIsExactAndCaseSensitive) {
    test::TRegistryScope scope;
    EXPECT_EQ(FindAlgorithmBySign("RIJ"), AlgorithmList()[14].get());
    EXPECT_EQ(FindAlgorithmBySign("3DE"), AlgorithmList()[4].get());
    EXPECT_EQ(FindAlgorithmBySign("ALL"), AlgorithmList()[18].get());
    EXPECT_EQ(FindAlgorithmBySign("rij"), nullptr);
    EXPECT_EQ(FindAlgorithmBySign("RI"), nullptr);
    EXPECT_EQ(FindAlgorithmBySign(std::string("RIJ\0", 4)), nullptr);
}

TEST(CryptoAlgorithmsTest, PassCountStartsAtOne) {
    SetAlgorithmPassCount(5);
    test::TRegistryScope scope;
    EXPECT_EQ(AlgorithmPassCount(), 1);
    SetAlgorithmPassCount(18);
    EXPECT_EQ(AlgorithmPassCount(), 18);
    SetAlgorithmPassCount(1);
}

TEST(CryptoAlgorithmsTest, DescriptionsAreReadFromTheFileAtEveryCall) {
    test::TRegistryScope scope;
    const std::string file = scope.App().file("cryptos1033.ini");
    EXPECT_EQ(AlgorithmDescriptionsFile(), file);
    TCryptoAlgorithm& bfs = *FindAlgorithmBySign("BFS");
    EXPECT_EQ(bfs.GetDesc(), "");  // no file yet
    WriteText(file, "[algos]\nbfs=First text\nRIJ=Rijndael text\n");
    EXPECT_EQ(bfs.GetDesc(), "First text");
    EXPECT_EQ(FindAlgorithmBySign("RIJ")->GetDesc(), "Rijndael text");
    EXPECT_EQ(FindAlgorithmBySign("TEA")->GetDesc(), "");
    WriteText(file, "[Algos]\nBFS=Second text\n");
    EXPECT_EQ(bfs.GetDesc(), "Second text");
    WriteText(file, "garbage without sections\n\x01\x02");
    EXPECT_EQ(bfs.GetDesc(), "");
}

TEST(CryptoAlgorithmsTest, LanguageOptionChoosesTheDescriptionFileOnce) {
    test::TRegistryScope scope;
    WriteText(scope.Data().file("options.ini"), "[Options]\nLanguageID=1031\n");
    WriteText(scope.App().file("cryptos1031.ini"), "[Algos]\nSER=Beschreibung\n");
    WriteText(scope.App().file("cryptos1033.ini"), "[Algos]\nSER=Description\n");
    FreeAlgorithms();
    CreateAlgorithms(ReadLanguageChoice(TOptions()));
    EXPECT_EQ(FindAlgorithmBySign("SER")->GetDesc(), "Beschreibung");
    // Changed later, the option does not move the file of this process.
    WriteText(scope.Data().file("options.ini"), "[Options]\nLanguageID=1033\n");
    EXPECT_EQ(FindAlgorithmBySign("SER")->GetDesc(), "Beschreibung");
}

TEST(CryptoAlgorithmsTest, ShippedDescriptionsCoverEveryEntry) {
    const std::string shipped = ExtractFilePath(ExecutablePath()) + "cryptos1033.ini";
    ASSERT_TRUE(std::filesystem::exists(shipped)) << shipped;
    TIniFile ini(shipped);
    test::TRegistryScope scope;
    for (const auto& entry : AlgorithmList()) {
        const std::string desc = ini.ReadString("Algos", entry->Sign(), "");
        EXPECT_GT(desc.size(), 20u) << entry->Sign();
    }
    EXPECT_EQ(ini.ReadSectionKeys("Algos").size(), 20u);
}

}  // namespace
}  // namespace tellvane
