#include "crypto/CipherTwofish.h"

#include <cryptopp/twofish.h>

#include "crypto/CryptoppKeying.h"

namespace tellvane {

void TDCP_twofish::ScheduleKey(const void* key, uint32_t size) {
    const size_t n = KeyBytes(size);
    const size_t length = n <= 16 ? 16 : (n <= 24 ? 24 : 32);
    const auto k = ZeroExtendedKey(key, size, length);
    SetSchedules(MakeKeyed<CryptoPP::Twofish::Encryption>(k.data(), length),
                 MakeKeyed<CryptoPP::Twofish::Decryption>(k.data(), length));
}

}  // namespace tellvane
