#include "crypto/CipherBlowfish.h"

#include <cryptopp/blowfish.h>

#include "crypto/CryptoppKeying.h"

namespace tellvane {

void TDCP_blowfish::ScheduleKey(const void* key, uint32_t size) {
    const auto* bytes = static_cast<const uint8_t*>(key);
    const size_t n = KeyBytes(size);
    // The library wants 4 to 56 bytes and, like the algorithm, reads them cyclically; a shorter
    // key repeated to a multiple of its own length gives the same cyclic sequence.
    size_t length = n;
    while (length < 4) length += n;
    CryptoPP::SecByteBlock k(length);
    for (size_t i = 0; i < length; ++i) k[i] = bytes[i % n];
    SetSchedules(MakeKeyed<CryptoPP::Blowfish::Encryption>(k.data(), length),
                 MakeKeyed<CryptoPP::Blowfish::Decryption>(k.data(), length));
}

}  // namespace tellvane
