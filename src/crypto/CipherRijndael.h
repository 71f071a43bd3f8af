#pragma once
// Rijndael in its AES form (FIPS 197). Keys are zero-extended to 16, 24 or 32 bytes, so a
// 160-bit key runs as AES-192 on the key and four zero bytes, never Rijndael's own 160-bit variant.
#include "crypto/CryptoppBlockCipher.h"

namespace tellvane {

class TDCP_rijndael final : public TCryptoppBlockCipher<TDCP_blockcipher128> {
public:
    static constexpr uint32_t MaxKeySize = 256;
    uint32_t GetMaxKeySize() const override { return MaxKeySize; }

protected:
    void ScheduleKey(const void* key, uint32_t size) override;
};

}  // namespace tellvane
