#pragma once
// Twofish: 128-bit blocks; keys zero-extended to 128, 192 or 256 bits.
#include "crypto/CryptoppBlockCipher.h"

namespace tellvane {

class TDCP_twofish final : public TCryptoppBlockCipher<TDCP_blockcipher128> {
public:
    static constexpr uint32_t MaxKeySize = 256;
    uint32_t GetMaxKeySize() const override { return MaxKeySize; }

protected:
    void ScheduleKey(const void* key, uint32_t size) override;
};

}  // namespace tellvane
