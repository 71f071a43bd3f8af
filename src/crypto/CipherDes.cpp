#include "crypto/CipherDes.h"

#include <cryptopp/des.h>

#include "crypto/CryptoppKeying.h"

namespace tellvane {

void TDCP_des::ScheduleKey(const void* key, uint32_t size) {
    const auto k = ZeroExtendedKey(key, size, 8);
    SetSchedules(MakeKeyed<CryptoPP::DES::Encryption>(k.data(), 8), MakeKeyed<CryptoPP::DES::Decryption>(k.data(), 8));
}

void TDCP_3des::ScheduleKey(const void* key, uint32_t size) {
    // K1 | K2 | K3 from the zero-extended key; two-key 3DES when there is no third key.
    auto k = ZeroExtendedKey(key, size, 24);
    if (size <= 128) std::memcpy(k.data() + 16, k.data(), 8);
    SetSchedules(MakeKeyed<CryptoPP::DES_EDE3::Encryption>(k.data(), 24),
                 MakeKeyed<CryptoPP::DES_EDE3::Decryption>(k.data(), 24));
}

}  // namespace tellvane
