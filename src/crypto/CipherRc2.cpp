#include "crypto/CipherRc2.h"

#include <cryptopp/algparam.h>
#include <cryptopp/rc2.h>

#include "crypto/CryptoppKeying.h"

namespace tellvane {

void TDCP_rc2::ScheduleKey(const void* key, uint32_t size) {
    // The expansion runs on the key's own bytes; only the effective length is fixed.
    const size_t n = KeyBytes(size);
    const auto k = ZeroExtendedKey(key, size, n);
    const auto params = CryptoPP::MakeParameters("EffectiveKeyLength", 1024);
    SetSchedules(MakeKeyed<CryptoPP::RC2::Encryption>(k.data(), n, params),
                 MakeKeyed<CryptoPP::RC2::Decryption>(k.data(), n, params));
}

}  // namespace tellvane
