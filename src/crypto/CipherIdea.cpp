#include "crypto/CipherIdea.h"

#include <cryptopp/idea.h>

#include "crypto/CryptoppKeying.h"

namespace tellvane {

void TDCP_idea::ScheduleKey(const void* key, uint32_t size) {
    const auto k = ZeroExtendedKey(key, size, 16);
    SetSchedules(MakeKeyed<CryptoPP::IDEA::Encryption>(k.data(), 16),
                 MakeKeyed<CryptoPP::IDEA::Decryption>(k.data(), 16));
}

}  // namespace tellvane
