#include "shred/CharGenerators.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <vector>

#include "shred/KISSRandomGenerator.h"
#include "support/TestSupport.h"

namespace tellvane {
namespace {

std::vector<uint8_t> GenerateEach(TCharGenerator& g, const std::vector<uint8_t>& input) {
    std::vector<uint8_t> out;
    for (uint8_t b : input) out.push_back(g.Generate(b));
    return out;
}

// GenerateBlock over uneven pieces, as a pass feeds it chunk after chunk.
std::vector<uint8_t> GenerateInBlocks(TCharGenerator& g, std::vector<uint8_t> data) {
    const size_t pieces[] = {1, 2, 3, 4, 5, 7, 64, 1000, 65536, 65537};
    size_t pos = 0;
    for (size_t k = 0; pos < data.size(); ++k) {
        const size_t n = std::min(pieces[k % std::size(pieces)], data.size() - pos);
        g.GenerateBlock(data.data() + pos, n);
        pos += n;
    }
    return data;
}

std::unique_ptr<THexGenerator> Pattern(std::vector<uint8_t> bytes) {
    auto g = std::make_unique<THexGenerator>(bytes[0]);
    for (size_t i = 1; i < bytes.size(); ++i) g->AddChar(bytes[i]);
    return g;
}

TEST(THexGenerator, SingleByteAndCyclicPatterns) {
    THexGenerator zero(0x00);
    for (uint8_t in : {0x00, 0x5A, 0xFF}) EXPECT_EQ(zero.Generate(in), 0x00);
    EXPECT_EQ(zero.Size(), 1);

    auto g = Pattern({0x92, 0x49, 0x24});
    EXPECT_EQ(g->Size(), 3);
    EXPECT_EQ(g->Chars(), (std::vector<uint8_t>{0x92, 0x49, 0x24}));
    std::vector<uint8_t> got;
    for (int i = 0; i < 7; ++i) got.push_back(g->Generate(0xEE));
    EXPECT_EQ(got, (std::vector<uint8_t>{0x92, 0x49, 0x24, 0x92, 0x49, 0x24, 0x92}));
    EXPECT_EQ(g->Index(), 1);
    EXPECT_FALSE(g->ReadsInput());
}

TEST(THexGenerator, BlocksContinueThePatternExactlyAsSingleCalls) {
    const auto input = test::PatternBytes(300000, 3);
    for (const auto& bytes : std::vector<std::vector<uint8_t>>{{0xAA}, {0xFF, 0xFF, 0xFF, 0xFD}, {0x6D, 0xB6, 0xDB},
                                                              {1, 2, 3, 4, 5, 6, 7}}) {
        auto each = Pattern(bytes);
        auto blocks = Pattern(bytes);
        EXPECT_EQ(GenerateInBlocks(*blocks, input), GenerateEach(*each, input));
        EXPECT_EQ(blocks->Index(), each->Index());
    }
}

TEST(TInvertGenerator, ComplementsAndUndoesItself) {
    TInvertGenerator g;
    EXPECT_EQ(g.Generate(0x00), 0xFF);
    EXPECT_EQ(g.Generate(0xA5), 0x5A);
    EXPECT_EQ(g.Generate(0xFF), 0x00);
    EXPECT_TRUE(g.ReadsInput());
    const auto input = test::PatternBytes(100003, 9);
    const auto once = GenerateInBlocks(g, input);
    EXPECT_EQ(once, GenerateEach(g, input));
    EXPECT_EQ(GenerateInBlocks(g, once), input);
}

TEST(TRandomCharGenerator, DrawsOneByteAtConstruction) {
    KISSSetState(KISSInitialState);
    TRandomCharGenerator a(0, 255);
    TRandomCharGenerator b(0, 255);
    EXPECT_EQ(a.Char(), 2079675107u % 255u);
    EXPECT_EQ(b.Char(), 4185567647u % 255u);
    EXPECT_NE(a.Char(), b.Char());
    const TKISSState after = KISSGetState();
    for (uint8_t in : {0x00, 0x7F, 0xFF}) EXPECT_EQ(a.Generate(in), a.Char());
    std::vector<uint8_t> block(70000, 0x11);
    b.GenerateBlock(block.data(), block.size());
    EXPECT_EQ(block, std::vector<uint8_t>(70000, b.Char()));
    EXPECT_EQ(KISSGetState().x, after.x);  // returning the byte draws nothing
    EXPECT_FALSE(a.ReadsInput());
    EXPECT_EQ(a.LeftBound(), 0);
    EXPECT_EQ(a.RightBound(), 255);
    EXPECT_THROW(TRandomCharGenerator(0, 0), std::invalid_argument);
}

TEST(TRandomGenerator, ConstructionDrawsNothingAndBlocksMatchSingleDraws) {
    TKISSState seed = KISSInitialState;
    seed.x = 99;
    KISSSetState(seed);
    TRandomGenerator g(0, 255);
    EXPECT_EQ(KISSGetState().x, 99u);
    EXPECT_FALSE(g.ReadsInput());

    const std::vector<uint8_t> input(250001, 0x00);
    const auto each = GenerateEach(g, input);
    const TKISSState afterEach = KISSGetState();
    KISSSetState(seed);
    const auto blocks = GenerateInBlocks(g, input);
    EXPECT_EQ(blocks, each);
    EXPECT_EQ(KISSGetState().x, afterEach.x);
    EXPECT_EQ(KISSGetState().y, afterEach.y);
    EXPECT_EQ(KISSGetState().z, afterEach.z);
    EXPECT_EQ(KISSGetState().c, afterEach.c);
    // With the bounds (0, 255) the byte 255 never comes, and every other byte does.
    std::vector<size_t> counts(256);
    for (uint8_t b : blocks) ++counts[b];
    EXPECT_EQ(counts[255], 0u);
    for (int v = 0; v < 255; ++v) EXPECT_GT(counts[v], 0u) << v;
    EXPECT_THROW(TRandomGenerator(0, 0), std::invalid_argument);
}

}  // namespace
}  // namespace tellvane
