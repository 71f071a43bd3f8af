#pragma once
// Blowfish (1993): 64-bit blocks, 16 rounds, key bytes used cyclically.
#include "crypto/CryptoppBlockCipher.h"

namespace tellvane {

class TDCP_blowfish final : public TCryptoppBlockCipher<TDCP_blockcipher64> {
public:
    static constexpr uint32_t MaxKeySize = 448;
    uint32_t GetMaxKeySize() const override { return MaxKeySize; }

protected:
    void ScheduleKey(const void* key, uint32_t size) override;
};

}  // namespace tellvane
