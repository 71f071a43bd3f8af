#include "crypto/CipherCast.h"

#include <cryptopp/cast.h>

#include "crypto/CryptoppKeying.h"

namespace tellvane {

void TDCP_cast128::ScheduleKey(const void* key, uint32_t size) {
    // The algorithm zero-pads every key to 128 bits and picks 12 rounds up to 80 bits; the library
    // does the same from 5 bytes on, so shorter keys are padded to 5 bytes first.
    const size_t n = KeyBytes(size);
    const size_t length = n < 5 ? 5 : n;
    const auto k = ZeroExtendedKey(key, size, length);
    SetSchedules(MakeKeyed<CryptoPP::CAST128::Encryption>(k.data(), length),
                 MakeKeyed<CryptoPP::CAST128::Decryption>(k.data(), length));
}

void TDCP_cast256::ScheduleKey(const void* key, uint32_t size) {
    const auto k = ZeroExtendedKey(key, size, 32);
    SetSchedules(MakeKeyed<CryptoPP::CAST256::Encryption>(k.data(), 32),
                 MakeKeyed<CryptoPP::CAST256::Decryption>(k.data(), 32));
}

}  // namespace tellvane
