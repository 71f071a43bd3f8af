#include "crypto/CipherRc6.h"

#include <cryptopp/algparam.h>
#include <cryptopp/rc6.h>

#include "crypto/CryptoppKeying.h"

namespace tellvane {

void TDCP_rc6::ScheduleKey(const void* key, uint32_t size) {
    const size_t n = KeyBytes(size);
    const auto k = ZeroExtendedKey(key, size, n);
    const auto params = CryptoPP::MakeParameters(CryptoPP::Name::Rounds(), 20);
    // The library lists only the AES key lengths, but its expansion is the general one of the
    // algorithm (c = ceil(b/4) words, 3 * max(c, 44) mixing steps), which the 20-byte key needs.
    SetSchedules(MakeKeyed<CryptoPP::RC6::Encryption>(k.data(), n, params, true),
                 MakeKeyed<CryptoPP::RC6::Decryption>(k.data(), n, params, true));
}

}  // namespace tellvane
