// Every fuzz target replayed over its seed corpus and over the malformed-file kit: inputs that once
// broke a parser or that stand for a way a file can be damaged, kept as tests/data/malformed/
// TARGET/NAME. A broken property aborts the run. Each kit file's outcome (accepted, with what was
// read, or refused, with the message) is written in tests/data/malformed/outcomes.txt and checked.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "FuzzTargets.h"
#include "support/TestSupport.h"

namespace tellvane::test {
namespace {

namespace fs = std::filesystem;

const fs::path SourceRoot = TELLVANE_SOURCE_DIR;
const fs::path Kit = SourceRoot / "tests" / "data" / "malformed";

// "TARGET/NAME: OUTCOME" lines; "#" starts a comment.
std::map<std::string, std::string> ExpectedOutcomes() {
    std::map<std::string, std::string> expected;
    std::ifstream in(Kit / "outcomes.txt");
    for (std::string line; std::getline(in, line);) {
        const size_t colon = line.find(": ");
        if (line.empty() || line[0] == '#' || colon == std::string::npos) continue;
        expected[line.substr(0, colon)] = line.substr(colon + 2);
    }
    return expected;
}

TEST(MalformedFiles, EveryParserTakesItsSeedsAndTheKitWithoutFault) {
    size_t replayed = 0;
    for (const auto& target : fuzz::FuzzTargets) {
        const fs::path seeds = SourceRoot / "fuzz" / "corpus" / target.name;
        EXPECT_TRUE(fs::is_directory(seeds)) << seeds;
        for (const fs::path& folder : {seeds, Kit / target.name}) {
            if (!fs::is_directory(folder)) continue;
            for (const auto& entry : fs::directory_iterator(folder)) {
                SCOPED_TRACE(entry.path().string());
                const std::vector<uint8_t> bytes = ReadAll(entry.path().string());
                EXPECT_EQ(target.run(bytes.data(), bytes.size()), 0);
                ++replayed;
            }
        }
    }
    EXPECT_GT(replayed, 50u);
}

TEST(MalformedFiles, EveryKitFileHasTheOutcomeWrittenForIt) {
    std::map<std::string, std::string> expected = ExpectedOutcomes();
    size_t checked = 0;
    for (const auto& target : fuzz::FuzzTargets) {
        const fs::path folder = Kit / target.name;
        if (!fs::is_directory(folder)) continue;
        ASSERT_NE(target.outcome, nullptr) << target.name << " has a kit but no outcome";
        for (const auto& entry : fs::directory_iterator(folder)) {
            const std::string key = std::string(target.name) + "/" + entry.path().filename().string();
            const auto it = expected.find(key);
            if (it == expected.end()) {
                ADD_FAILURE() << key << " has no line in outcomes.txt";
                continue;
            }
            const std::vector<uint8_t> bytes = ReadAll(entry.path().string());
            EXPECT_EQ(target.outcome(bytes.data(), bytes.size()), it->second) << key;
            expected.erase(it);
            ++checked;
        }
    }
    for (const auto& [key, outcome] : expected) ADD_FAILURE() << "outcomes.txt names a missing file: " << key;
    EXPECT_GT(checked, 10u);
}

}  // namespace
}  // namespace tellvane::test
