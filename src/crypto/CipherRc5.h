#pragma once
// RC5-32/12/b: 64-bit blocks, 12 rounds, b = key bytes.
#include "crypto/CryptoppBlockCipher.h"

namespace tellvane {

class TDCP_rc5 final : public TCryptoppBlockCipher<TDCP_blockcipher64> {
public:
    static constexpr uint32_t MaxKeySize = 2048;
    uint32_t GetMaxKeySize() const override { return MaxKeySize; }

protected:
    void ScheduleKey(const void* key, uint32_t size) override;
};

}  // namespace tellvane
