#include "crypto/CipherRc5.h"

#include <cryptopp/algparam.h>
#include <cryptopp/rc5.h>

#include "crypto/CryptoppKeying.h"

namespace tellvane {

void TDCP_rc5::ScheduleKey(const void* key, uint32_t size) {
    const size_t n = KeyBytes(size);
    const auto k = ZeroExtendedKey(key, size, n);
    const auto params = CryptoPP::MakeParameters(CryptoPP::Name::Rounds(), 12);
    // The library lists keys up to 255 bytes; its expansion is the algorithm's for 256 as well.
    const bool unchecked = n > 255;
    SetSchedules(MakeKeyed<CryptoPP::RC5::Encryption>(k.data(), n, params, unchecked),
                 MakeKeyed<CryptoPP::RC5::Decryption>(k.data(), n, params, unchecked));
}

}  // namespace tellvane
