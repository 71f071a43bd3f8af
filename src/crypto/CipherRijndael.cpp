#include "crypto/CipherRijndael.h"

#include <cryptopp/aes.h>

#include "crypto/CryptoppKeying.h"

namespace tellvane {

void TDCP_rijndael::ScheduleKey(const void* key, uint32_t size) {
    const size_t n = KeyBytes(size);
    const size_t length = n <= 16 ? 16 : (n <= 24 ? 24 : 32);
    const auto k = ZeroExtendedKey(key, size, length);
    SetSchedules(MakeKeyed<CryptoPP::AES::Encryption>(k.data(), length),
                 MakeKeyed<CryptoPP::AES::Decryption>(k.data(), length));
}

}  // namespace tellvane
