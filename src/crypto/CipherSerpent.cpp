#include "crypto/CipherSerpent.h"

#include <cryptopp/serpent.h>

#include "crypto/CryptoppKeying.h"

namespace tellvane {

void TDCP_serpent::ScheduleKey(const void* key, uint32_t size) {
    // The full 256-bit key is built here (key bits, one 1 bit, zeros; little-endian bit order) so
    // that the library, given 32 bytes, adds no padding of its own.
    auto k = ZeroExtendedKey(key, size, 32);
    if (size < 256) {
        if (size % 8 != 0) k[size / 8] &= static_cast<uint8_t>((1u << (size % 8)) - 1);
        k[size / 8] |= static_cast<uint8_t>(1u << (size % 8));
    }
    SetSchedules(MakeKeyed<CryptoPP::Serpent::Encryption>(k.data(), 32),
                 MakeKeyed<CryptoPP::Serpent::Decryption>(k.data(), 32));
}

}  // namespace tellvane
