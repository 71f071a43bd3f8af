// The pass-phrase string: values kept through copies and growth, and no copy left readable in a
// std::string handed over to it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "crypto/SecureWipe.h"

namespace tellvane {
namespace {

bool AllZero(const char* p, size_t n) { return std::all_of(p, p + n, [](char c) { return c == 0; }); }

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
    const std::string longer(TSecretString::ReservedBytes * 3, 'x');
    b = longer;
    EXPECT_EQ(b, longer);
    b = a;
    EXPECT_EQ(b, "pass");
    std::string plain = "abc";
    TSecretString::Wipe(plain);
    EXPECT_TRUE(plain.empty());
    EXPECT_TRUE(AllZero(plain.data(), plain.capacity()));
}

}  // namespace
}  // namespace tellvane
