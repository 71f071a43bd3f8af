#pragma once
// Keying of Crypto++ objects for the cipher files (included by .cpp files only): library errors
// become EDCP_cipher, and the zero-extended key buffer every schedule starts from.
#include <cryptopp/argnames.h>
#include <cryptopp/cryptlib.h>
#include <cryptopp/secblock.h>

#include <cstring>
#include <memory>

#include "crypto/BlockCipher.h"

namespace tellvane {

// Bytes holding SIZE key bits.
inline size_t KeyBytes(uint32_t size) { return (size + 7) / 8; }

// The key's bytes copied into a zeroed buffer of LENGTH bytes (LENGTH >= KeyBytes(size)).
inline CryptoPP::SecByteBlock ZeroExtendedKey(const void* key, uint32_t size, size_t length) {
    CryptoPP::SecByteBlock buffer(length);
    std::memset(buffer.data(), 0, length);
    std::memcpy(buffer.data(), key, KeyBytes(size));
    return buffer;
}

// A library object of type T keyed with LENGTH bytes of KEY. UNCHECKED bypasses the library's
// list of key lengths for ciphers whose algorithm is defined on more lengths than it lists
// (RC5 with 256 bytes, RC6 with any length).
template <class T>
std::unique_ptr<CryptoPP::BlockTransformation> MakeKeyed(
    const CryptoPP::byte* key, size_t length,
    const CryptoPP::NameValuePairs& params = CryptoPP::g_nullNameValuePairs, bool unchecked = false) {
    try {
        auto object = std::make_unique<T>();
        if (unchecked)
            object->UncheckedSetKey(key, static_cast<unsigned int>(length), params);
        else
            object->SetKey(key, length, params);
        return object;
    } catch (const CryptoPP::Exception& e) {
        throw EDCP_cipher(e.what());
    }
}

}  // namespace tellvane
