#pragma once
// Helpers of the cipher tests: keyed instances by signature, SHA-1 digests, block helpers.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "crypto/CipherFactory.h"
#include "crypto/DcpHash.h"

namespace tellvane::test {

using Bytes = std::vector<uint8_t>;

inline std::unique_ptr<TDCP_blockcipher> NewCipher(const std::string& sign) {
    auto cipher = CreateCipher(sign);
    if (!cipher) ADD_FAILURE() << "no cipher " << sign;
    return cipher;
}

inline std::unique_ptr<TDCP_blockcipher> KeyedCipher(const std::string& sign, const Bytes& key, uint32_t bits) {
    auto cipher = NewCipher(sign);
    cipher->Init(key.data(), bits, nullptr);
    return cipher;
}

inline std::unique_ptr<TDCP_blockcipher> KeyedCipher(const std::string& sign, const Bytes& key) {
    return KeyedCipher(sign, key, static_cast<uint32_t>(key.size() * 8));
}

inline Bytes Sha1(const std::string& text) {
    TDCP_sha1 hash;
    Bytes digest(20);
    hash.Init();
    hash.UpdateStr(text);
    hash.Final(digest.data());
    return digest;
}

inline size_t BlockBytes(const TDCP_blockcipher& cipher) { return cipher.GetBlockSize() / 8; }

inline Bytes EncryptBlock(TDCP_blockcipher& cipher, const Bytes& block) {
    Bytes out(block.size());
    cipher.EncryptECB(block.data(), out.data());
    return out;
}

inline Bytes EncryptAll(TDCP_blockcipher& cipher, Bytes data) {
    cipher.Encrypt(data.data(), data.data(), data.size());
    return data;
}

inline Bytes DecryptAll(TDCP_blockcipher& cipher, Bytes data) {
    cipher.Decrypt(data.data(), data.data(), data.size());
    return data;
}

inline std::string SignName(const testing::TestParamInfo<std::string>& info) { return "S" + info.param; }

inline std::vector<std::string> AllSigns() {
    std::vector<std::string> signs;
    for (const auto& entry : CipherFactoryTable()) signs.emplace_back(entry.Sign);
    return signs;
}

}  // namespace tellvane::test
