// CBC decryption shared out over threads: the same bytes and the same chaining value as one
// thread, for every cipher, across share, block and call boundaries.
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>

#include "crypto/BlockCipher.h"
#include "crypto/CipherFactory.h"
#include "crypto/CorePool.h"
#include "support/TestSupport.h"

namespace tellvane {
namespace {

using test::PatternBytes;

TEST(CorePoolTest, RunsEachTaskOnceAndRethrows) {
    TCorePool pool(3);
    for (size_t count : {size_t(1), size_t(2), size_t(3), size_t(7), size_t(200)}) {
        SCOPED_TRACE(count);
        std::mutex m;
        std::multiset<size_t> seen;
        std::set<std::thread::id> threads;
        pool.Run(count, [&](size_t i) {
            std::lock_guard lock(m);
            seen.insert(i);
            threads.insert(std::this_thread::get_id());
        });
        EXPECT_EQ(seen.size(), count);
        for (size_t i = 0; i < count; ++i) EXPECT_EQ(seen.count(i), 1u);
        EXPECT_LE(threads.size(), 3u);
    }
    for (size_t failing : {size_t(0), size_t(2)}) {
        EXPECT_THROW(pool.Run(3, [&](size_t i) { if (i == failing) throw std::runtime_error("x"); }), std::runtime_error);
    }
    // Still serves after a failure, three tasks at once: each waits until all three are running.
    std::mutex m;
    std::condition_variable cv;
    int running = 0;
    bool together = true;
    pool.Run(3, [&](size_t) {
        std::unique_lock lock(m);
        ++running;
        cv.notify_all();
        together &= cv.wait_for(lock, std::chrono::seconds(10), [&] { return running == 3; });
    });
    EXPECT_TRUE(together);
}

// Every cipher, over runs of calls as the part loop makes them: whole or cut parts, partial-block
// tails in the middle, lengths just below and above the size where a run is shared out.
TEST(ParallelDecryptTest, SameBytesAndChainingAsOneThread) {
    struct Case {
        size_t size, callLength;
    };
    const size_t share = 64 * 1024;  // two shares of the smallest size that is split
    for (const TCipherFactoryEntry& entry : CipherFactoryTable()) {
        const size_t b = CreateCipher(entry.Sign)->GetBlockSize() / 8;
        for (const Case& c : {Case{0, 1}, Case{1, 1}, Case{b - 1, b - 1}, Case{share - b, share - b},
                              Case{share, share}, Case{share + 1, share + 1}, Case{share - 1, share - 1},
                              Case{5 * 70001 + 3, 70001}, Case{3 * share + 5 * b, 3 * share + 5 * b}}) {
            SCOPED_TRACE(testing::Message() << entry.Sign << " size " << c.size << " call " << c.callLength);
            const auto cipherText = PatternBytes(c.size, static_cast<uint32_t>(c.size + b));
            auto run = [&](TCorePool* pool) {
                auto cipher = CreateCipher(entry.Sign);
                cipher->InitStr("pass phrase");
                auto bytes = cipherText;
                for (size_t pos = 0; pos < bytes.size(); pos += c.callLength) {
                    const size_t n = std::min(c.callLength, bytes.size() - pos);
                    if (pool) cipher->DecryptCBC(bytes.data() + pos, bytes.data() + pos, n, *pool);
                    else cipher->DecryptCBC(bytes.data() + pos, bytes.data() + pos, n);
                }
                // The chaining value left shows in the next call's bytes.
                std::vector<uint8_t> next(2 * b + 3, 0x6B);
                cipher->DecryptCBC(next.data(), next.data(), next.size());
                bytes.insert(bytes.end(), next.begin(), next.end());
                return bytes;
            };
            const auto serial = run(nullptr);
            for (unsigned width : {2u, 3u}) {
                TCorePool pool(width);
                EXPECT_TRUE(run(&pool) == serial) << "width " << width;
            }
        }
    }
}

}  // namespace
}  // namespace tellvane
