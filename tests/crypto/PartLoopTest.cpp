// The part loop: part lengths and counts, and that reading, ciphering and writing in overlapped
// buffers gives exactly the bytes of one cipher call per part.
#include <gtest/gtest.h>

#include <algorithm>

#include <sys/resource.h>

#include <csignal>
#include <cstring>

#include "crypto/EncFileIO.h"
#include "crypto/PartLoop.h"
#include "platform/FileSystem.h"
#include "support/TestSupport.h"

namespace tellvane {
namespace {

using test::PatternBytes;
using test::ReadAll;
using test::TempDir;
using test::WriteAll;

// A toy cipher in CBC with the format's tail rule: a call whose size is not a whole number of
// blocks gives different bytes from the same data split otherwise, so any split that differs from
// one call per part shows.
class ToyCbc {
public:
    explicit ToyCbc(size_t block) : b_(block), cv_(block, 0x5A) {}
    void operator()(uint8_t* data, size_t size) {
        size_t i = 0;
        for (; i + b_ <= size; i += b_) {
            for (size_t k = 0; k < b_; ++k) data[i + k] ^= cv_[k];
            Scramble(data + i);
            std::memcpy(cv_.data(), data + i, b_);
        }
        if (i < size) {
            Scramble(cv_.data());
            for (size_t k = 0; i + k < size; ++k) data[i + k] ^= cv_[k];
        }
    }

private:
    void Scramble(uint8_t* block) {
        std::vector<uint8_t> t(block, block + b_);
        for (size_t k = 0; k < b_; ++k) block[k] = static_cast<uint8_t>(t[(k + 1) % b_] * 31 + 7 + k);
    }
    size_t b_;
    std::vector<uint8_t> cv_;
};

struct Report {
    int64_t done, total, part;
};

struct LoopRun {
    bool completed = false;
    std::vector<uint8_t> output;
    std::vector<Report> reports;
    int haltChecks = 0;
};

// Runs the loop over BODY (after a 5-byte prefix in the input, to exercise the offset).
LoopRun RunLoop(const std::vector<uint8_t>& body, size_t block, int haltAtCheck = -1, int64_t divisor = 1,
                bool overlapped = true) {
    TempDir dir;
    std::vector<uint8_t> input(5 + body.size());
    for (uint8_t i = 0; i < 5; ++i) input[i] = static_cast<uint8_t>(i + 1);
    std::copy(body.begin(), body.end(), input.begin() + 5);
    WriteAll(dir.file("in"), input);
    TInputFile in(dir.file("in"));
    TOutputFile out(dir.file("out"));
    ToyCbc cipher(block);
    LoopRun run;
    TPartLoopJob job;
    job.input = &in;
    job.inputOffset = 5;
    job.output = &out;
    job.totalSize = static_cast<int64_t>(body.size());
    job.blockBytes = block;
    job.transform = [&](uint8_t* d, size_t n) { cipher(d, n); };
    job.onHalt = [&] { return run.haltChecks++ == haltAtCheck; };
    job.onProgress = [&](int64_t d, int64_t t, int64_t p, double time) {
        EXPECT_GE(time, 0.0);
        run.reports.push_back({d, t, p});
    };
    job.partSizeDivisor = divisor;
    job.overlapped = overlapped;
    run.completed = ProcessInParts(job);
    out.Commit();
    run.output = ReadAll(dir.file("out"));
    return run;
}

std::vector<uint8_t> OneCallPerPart(std::vector<uint8_t> body, size_t block) {
    ToyCbc cipher(block);
    const auto total = static_cast<int64_t>(body.size());
    if (total == 0) return body;
    const int64_t p = PartLength(total);
    for (int64_t pos = 0; pos < total; pos += p) cipher(body.data() + pos, static_cast<size_t>(std::min(p, total - pos)));
    return body;
}

TEST(PartLoopTest, PartLengthIsOneBelowAHundredElseAHundredth) {
    EXPECT_EQ(PartLength(1), 1);
    EXPECT_EQ(PartLength(99), 1);
    EXPECT_EQ(PartLength(100), 1);
    EXPECT_EQ(PartLength(199), 1);
    EXPECT_EQ(PartLength(200), 2);
    EXPECT_EQ(PartLength(12345), 123);
    // 64-bit throughout: a part of 2^32 bytes and more does not wrap.
    EXPECT_EQ(PartLength(int64_t(100) << 32), int64_t(1) << 32);
    EXPECT_EQ(PartLength((int64_t(100) << 32) + 99), int64_t(1) << 32);
}

TEST(PartLoopTest, PartCountsAndProgressArguments) {
    struct Case {
        size_t size;
        size_t parts;
        int64_t firstPart, lastPart;
    };
    for (const Case& c : {Case{250, 125, 2, 2}, Case{12345, 101, 123, 45}, Case{99, 99, 1, 1}, Case{100, 100, 1, 1},
                          Case{199, 199, 1, 1}, Case{200, 100, 2, 2}, Case{1, 1, 1, 1}}) {
        SCOPED_TRACE(c.size);
        const LoopRun run = RunLoop(PatternBytes(c.size), 8);
        ASSERT_TRUE(run.completed);
        ASSERT_EQ(run.reports.size(), c.parts);
        EXPECT_EQ(run.haltChecks, static_cast<int>(c.parts));
        EXPECT_EQ(run.reports.front().part, c.firstPart);
        EXPECT_EQ(run.reports.back().part, c.lastPart);
        int64_t prev = 0;
        for (const Report& r : run.reports) {
            EXPECT_EQ(r.total, static_cast<int64_t>(c.size));
            EXPECT_EQ(r.done - prev, r.part);
            prev = r.done;
        }
        EXPECT_EQ(prev, static_cast<int64_t>(c.size));
    }
}

TEST(PartLoopTest, EmptyBodyHasNoPartNoHaltCheckNoReport) {
    const LoopRun run = RunLoop({}, 16);
    EXPECT_TRUE(run.completed);
    EXPECT_TRUE(run.reports.empty());
    EXPECT_EQ(run.haltChecks, 0);
    EXPECT_TRUE(run.output.empty());
}

TEST(PartLoopTest, PartSizeIsDividedByThePassCountAndZeroWithDivisorZero) {
    LoopRun run = RunLoop(PatternBytes(12345), 8, -1, 18);
    ASSERT_EQ(run.reports.size(), 101u);
    EXPECT_EQ(run.reports.front().part, 123 / 18);
    EXPECT_EQ(run.reports.back().part, 45 / 18);
    EXPECT_EQ(run.reports.back().done, 12345);
    run = RunLoop(PatternBytes(300), 8, -1, 0);
    for (const Report& r : run.reports) EXPECT_EQ(r.part, 0);
}

// Sizes around the loop's buffer, where overlapped buffers cut parts in the middle.
TEST(PartLoopTest, BytesEqualOneCipherCallPerPartAtEverySize) {
    const size_t m = PartLoopBufferBytes;
    for (size_t block : {size_t(8), size_t(16)}) {
        for (size_t size : {size_t(0), size_t(1), block - 1, block, block + 1, size_t(99), size_t(250), size_t(8193),
                            size_t(12345), m - 1, m, m + 7, 3 * m + 12345, 5 * m + 99}) {
            SCOPED_TRACE(testing::Message() << "block " << block << " size " << size);
            const auto body = PatternBytes(size, static_cast<uint32_t>(size + block));
            const auto expected = OneCallPerPart(body, block);
            for (bool overlapped : {true, false}) {
                const LoopRun run = RunLoop(body, block, -1, 1, overlapped);
                ASSERT_TRUE(run.completed);
                ASSERT_EQ(run.output.size(), size);
                EXPECT_TRUE(run.output == expected) << "overlapped " << overlapped;
            }
        }
    }
}

TEST(PartLoopTest, HaltStopsBeforeTheNextPart) {
    LoopRun run = RunLoop(PatternBytes(12345), 16, 0);
    EXPECT_FALSE(run.completed);
    EXPECT_TRUE(run.reports.empty());
    EXPECT_TRUE(run.output.empty());
    // In the middle of a body that runs through the overlapped buffers.
    // The 41st check: 39 before parts, one between the two buffers of part 33, this one.
    run = RunLoop(PatternBytes(3 * PartLoopBufferBytes + 5), 16, 40);
    EXPECT_FALSE(run.completed);
    EXPECT_EQ(run.reports.size(), 39u);
    EXPECT_EQ(run.haltChecks, 41);
}

// A part of a big file is read in several buffers; Cancel is heard between them, so a slow disk
// delays it by one buffer at most, not by a part.
TEST(PartLoopTest, HaltIsHeardBetweenTheBuffersOfOnePart) {
    const size_t size = 100 * (PartLoopBufferBytes + 16);  // each part just over one buffer
    for (bool overlapped : {true, false}) {
        SCOPED_TRACE(overlapped);
        LoopRun run = RunLoop(PatternBytes(size), 16, 1, 1, overlapped);
        EXPECT_FALSE(run.completed);
        EXPECT_TRUE(run.reports.empty());  // stopped inside the first part
        EXPECT_EQ(run.haltChecks, 2);
        EXPECT_LE(run.output.size(), 4 * PartLoopBufferBytes);
    }
}

TEST(PartLoopTest, InputShorterThanAnnouncedIsAReadError) {
    for (int64_t size : {int64_t(5000), int64_t(3 * PartLoopBufferBytes)}) {
        TempDir dir;
        WriteAll(dir.file("in"), PatternBytes(static_cast<size_t>(size)));
        TInputFile in(dir.file("in"));
        TOutputFile out(dir.file("out"));
        TPartLoopJob job;
        job.input = &in;
        job.output = &out;
        job.totalSize = size + 10;
        job.transform = [](uint8_t*, size_t) {};
        try {
            ProcessInParts(job);
            ADD_FAILURE() << "no error for " << size;
        } catch (const EFileError& e) {
            EXPECT_STREQ(e.what(), "Stream read error");
        }
    }
}

TEST(PartLoopTest, WriteFailureInTheWriterThreadSurfacesAsTheOutputsError) {
    TempDir dir;
    const size_t size = 4 * PartLoopBufferBytes;
    WriteAll(dir.file("in"), PatternBytes(size));
    // A file-size limit makes writes fail past 1 MiB, as a full disk would.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit lim = old;
    lim.rlim_cur = PartLoopBufferBytes + 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &lim), 0);
    std::string message;
    {
        TInputFile in(dir.file("in"));
        TOutputFile out(dir.file("out"));
        TPartLoopJob job;
        job.input = &in;
        job.output = &out;
        job.totalSize = static_cast<int64_t>(size);
        job.transform = [](uint8_t*, size_t) {};
        try {
            ProcessInParts(job);
        } catch (const EFileError& e) {
            message = e.what();
        }
    }
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_NE(message.find("Cannot create file \"" + dir.file("out") + "\". Error 27"), std::string::npos) << message;
    EXPECT_FALSE(PathExists(dir.file("out")));
}

}  // namespace
}  // namespace tellvane
