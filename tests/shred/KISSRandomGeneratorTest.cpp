#include "shred/KISSRandomGenerator.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "shred/KissReference.h"

namespace tellvane {
namespace {

using test::ReferenceStep;

bool SameState(const TKISSState& a, const TKISSState& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z && a.c == b.c;
}

TKISSState WithX(uint32_t x) {
    TKISSState s = KISSInitialState;
    s.x = x;
    return s;
}

TEST(KISSRandom, KnownSequencesFromFixedSeeds) {
    KISSSetState(WithX(0));
    EXPECT_EQ(KISSRandom(), 552798226u);
    EXPECT_EQ(KISSRandom(), 2953259842u);
    EXPECT_EQ(KISSRandom(), 1936757130u);

    KISSSetState(KISSInitialState);
    EXPECT_EQ(KISSRandom(), 2079675107u);
    EXPECT_EQ(KISSRandom(), 4185567647u);
    EXPECT_EQ(KISSRandom(), 2837635843u);
}

TEST(KISSRandom, RandomizeSeedsOnlyXFromTheClock) {
    KISSSetState(KISSInitialState);
    KISSRandomize();
    const TKISSState first = KISSGetState();
    EXPECT_EQ(first.y, KISSInitialState.y);
    EXPECT_EQ(first.z, KISSInitialState.z);
    EXPECT_EQ(first.c, KISSInitialState.c);
    // The clock runs in nanoseconds: two seedings a few steps apart differ.
    for (int i = 0; i < 1000; ++i) KISSRandom();
    KISSSetState(KISSInitialState);
    KISSRandomize();
    EXPECT_NE(KISSGetState().x, first.x);
}

TEST(KISSRandomBelow, StaysBelowTheBoundAndAdvancesTheState) {
    KISSSetState(WithX(0));
    EXPECT_EQ(KISSRandomBelow(255), 552798226u % 255u);
    EXPECT_EQ(KISSRandomBelow(1), 0u);  // still one step: the third result follows
    EXPECT_EQ(KISSRandomBelow(1000), 1936757130u % 1000u);

    KISSSetState(WithX(7));
    for (int i = 0; i < 100000; ++i) ASSERT_LT(KISSRandomBelow(255), 255u);
    EXPECT_THROW(KISSRandomBelow(0), std::invalid_argument);
}

// The block fill against one reference step per byte: same bytes, same state afterwards, across
// sizes around the lane geometry (16 lanes x multiples of 16 bytes) and the 64 KiB chunk.
TEST(KISSFillBelow, MatchesOneDrawPerByteAtEverySize) {
    const std::vector<size_t> sizes{0, 1, 15, 16, 255, 256, 257, 511, 512, 4095, 4096, 4097, 65535, 65536, 65537,
                                    200003};
    const std::vector<TKISSState> seeds{KISSInitialState, WithX(0), WithX(0xFFFFFFFFu),
                                        TKISSState{0xDEADBEEFu, 0x12345678u, 0xFFFFFFFFu, 698769068u}};
    for (const TKISSState& seed : seeds) {
        for (size_t size : sizes) {
            TKISSState ref = seed;
            std::vector<uint8_t> expected(size);
            for (auto& b : expected) b = static_cast<uint8_t>(ReferenceStep(ref) % 255u);

            std::vector<uint8_t> lanes(size, 0xFF), serial(size, 0xFF), generic(size, 0xFF);
            KISSSetState(seed);
            KISSFillBelow255Lanes(lanes.data(), size);
            EXPECT_TRUE(SameState(KISSGetState(), ref)) << "lanes, size " << size;
            KISSSetState(seed);
            KISSFillBelow255Serial(serial.data(), size);
            EXPECT_TRUE(SameState(KISSGetState(), ref)) << "serial, size " << size;
            KISSSetState(seed);
            KISSFillBelow(generic.data(), size, 255);
            EXPECT_TRUE(SameState(KISSGetState(), ref)) << "fill, size " << size;

            ASSERT_EQ(lanes, expected) << "lanes, size " << size << ", seed x " << seed.x;
            ASSERT_EQ(serial, expected) << "serial, size " << size;
            ASSERT_EQ(generic, expected) << "fill, size " << size;
        }
    }
}

TEST(KISSFillBelow, UsesTheLanesOnThisMachineForLargeBlocks) {
    if (!__builtin_cpu_supports("avx2")) GTEST_SKIP() << "no AVX2: the serial loop serves";
    std::vector<uint8_t> buf(65536);
    KISSSetState(WithX(1));
    EXPECT_TRUE(KISSFillBelow255Lanes(buf.data(), buf.size()));
    EXPECT_FALSE(KISSFillBelow255Lanes(buf.data(), 255));  // too short for the lanes
}

TEST(KISSFillBelow, HandSetStatesOutsideTheReachableOnesFallBackAndStayExact) {
    // A carry at or above the multiplier, and the multiply-with-carry fixed point: no jump-ahead.
    for (const TKISSState seed : {TKISSState{1u, 2u, 3u, 0xFFFFFFFFu}, TKISSState{5u, 6u, 0xFFFFFFFFu, 698769068u}}) {
        TKISSState ref = seed;
        std::vector<uint8_t> expected(70000);
        for (auto& b : expected) b = static_cast<uint8_t>(ReferenceStep(ref) % 255u);
        std::vector<uint8_t> got(expected.size());
        KISSSetState(seed);
        KISSFillBelow(got.data(), got.size(), 255);
        EXPECT_EQ(got, expected);
        EXPECT_TRUE(SameState(KISSGetState(), ref));
    }
}

TEST(KISSFillBelow, OtherBoundsDrawOnePerByte) {
    TKISSState ref = WithX(42);
    std::vector<uint8_t> expected(1000);
    for (auto& b : expected) b = static_cast<uint8_t>(ReferenceStep(ref) % 7u);
    std::vector<uint8_t> got(expected.size());
    KISSSetState(WithX(42));
    KISSFillBelow(got.data(), got.size(), 7);
    EXPECT_EQ(got, expected);
    EXPECT_TRUE(SameState(KISSGetState(), ref));
    EXPECT_THROW(KISSFillBelow(got.data(), 1, 0), std::invalid_argument);
}

}  // namespace
}  // namespace tellvane
