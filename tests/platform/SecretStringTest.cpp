// The pass-phrase string: values kept through copies and growth, every buffer it gives back wiped,
// and no copy left readable in a std::string handed over to it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/SecretString.h"

namespace tellvane {
namespace {

bool AllZero(const char* p, size_t n) { return std::all_of(p, p + n, [](char c) { return c == 0; }); }

// Counts the buffers handed out and, at each one given back, whether any byte of it still holds data.
struct FreedBuffers {
    static inline int allocated = 0;
    static inline std::vector<bool> wiped;
};

template <class T>
struct CheckingAllocator {
    using value_type = T;
    CheckingAllocator() = default;
    template <class U>
    CheckingAllocator(const CheckingAllocator<U>&) {}
    T* allocate(size_t n) {
        ++FreedBuffers::allocated;
        T* p = std::allocator<T>().allocate(n);
        std::fill(p, p + n, T('#'));  // so that an unwiped tail shows as well as an unwiped text
        return p;
    }
    void deallocate(T* p, size_t n) {
        FreedBuffers::wiped.push_back(AllZero(reinterpret_cast<const char*>(p), n * sizeof(T)));
        std::allocator<T>().deallocate(p, n);
    }
    friend bool operator==(const CheckingAllocator&, const CheckingAllocator&) { return true; }
};

using TCheckedSecret = TBasicSecretString<CheckingAllocator<char>>;

TEST(SecretString, EveryBufferGivenBackIsWiped) {
    FreedBuffers::allocated = 0;
    FreedBuffers::wiped.clear();
    std::string expected;
    {
        // A pass phrase typed one key at a time past several buffer sizes, then copied, moved,
        // assigned a short text and a long one, and trimmed.
        TCheckedSecret typed;
        for (size_t i = 0; i < TCheckedSecret::ReservedBytes * 9; ++i) {
            typed += static_cast<char>('a' + i % 26);
            expected += static_cast<char>('a' + i % 26);
        }
        EXPECT_EQ(typed, expected);
        TCheckedSecret copy = typed;
        TCheckedSecret moved = std::move(copy);
        moved = std::string(TCheckedSecret::ReservedBytes * 20, 'z');
        moved.append(typed);
        EXPECT_EQ(moved.size(), TCheckedSecret::ReservedBytes * 29);
        typed = "short";
        typed.pop_back();
        EXPECT_EQ(typed, "shor");
        EXPECT_EQ(std::string(typed.c_str()), "shor");
    }
    // 256 -> 512 -> 1024 -> 2048 -> 4096 bytes while typing, the copy, and the moved one's growth.
    EXPECT_GE(FreedBuffers::allocated, 6);
    ASSERT_EQ(FreedBuffers::wiped.size(), static_cast<size_t>(FreedBuffers::allocated));
    for (size_t i = 0; i < FreedBuffers::wiped.size(); ++i) EXPECT_TRUE(FreedBuffers::wiped[i]) << "buffer " << i;
}

TEST(SecretString, AHandedOverStringIsCopiedAndWipedNotAdopted) {
    for (size_t length : {size_t(5), size_t(100), size_t(1000)}) {
        std::string source(length, 'k');
        const char* buffer = source.data();
        const size_t capacity = source.capacity();
        TSecretString secret(std::move(source));
        EXPECT_EQ(secret, std::string(length, 'k'));
        EXPECT_NE(secret.data(), buffer);
        EXPECT_TRUE(source.empty());
        EXPECT_EQ(source.data(), buffer);  // still owned by SOURCE, so readable here
        EXPECT_TRUE(AllZero(buffer, capacity)) << length;

        std::string again(length, 'q');
        const char* againBuffer = again.data();
        secret = std::move(again);
        EXPECT_EQ(secret, std::string(length, 'q'));
        EXPECT_TRUE(AllZero(againBuffer, again.capacity()));
    }
}

TEST(SecretString, CopiesAndGrowthKeepTheValue) {
    TSecretString a = "pass";
    TSecretString b = a;
    b += " phrase";
    EXPECT_EQ(a, "pass");
    EXPECT_EQ(b, "pass phrase");
    EXPECT_FALSE(a == b);
    const std::string longer(TSecretString::ReservedBytes * 3, 'x');
    b = longer;
    EXPECT_EQ(b, longer);
    b = a;
    EXPECT_EQ(b, "pass");
    TSecretString moved = std::move(b);
    EXPECT_EQ(moved, "pass");
    EXPECT_TRUE(b.empty());
    EXPECT_STREQ(b.c_str(), "");
    b += "again";  // a moved-from string is usable
    EXPECT_EQ(b, "again");
    std::string plain = "abc";
    WipeString(plain);
    EXPECT_TRUE(plain.empty());
    EXPECT_TRUE(AllZero(plain.data(), plain.capacity()));
}

}  // namespace
}  // namespace tellvane
