// Every fuzz target replayed over its seed corpus and over the malformed-file kit: inputs that once
// broke a parser, kept as tests/data/malformed/TARGET/NAME. A broken property aborts the run.
#include <gtest/gtest.h>

#include <filesystem>

#include "FuzzTargets.h"
#include "support/TestSupport.h"

namespace tellvane::test {
namespace {

namespace fs = std::filesystem;

const fs::path SourceRoot = fs::path(__FILE__).parent_path().parent_path().parent_path();

TEST(MalformedFiles, EveryParserTakesItsSeedsAndTheKitWithoutFault) {
    size_t replayed = 0;
    for (const auto& target : fuzz::FuzzTargets) {
        const fs::path seeds = SourceRoot / "fuzz" / "corpus" / target.name;
        const fs::path kit = SourceRoot / "tests" / "data" / "malformed" / target.name;
        EXPECT_TRUE(fs::is_directory(seeds)) << seeds;
        for (const fs::path& folder : {seeds, kit}) {
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

}  // namespace
}  // namespace tellvane::test
