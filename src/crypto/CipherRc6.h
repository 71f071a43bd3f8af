#pragma once
// RC6-32/20/b: 128-bit blocks, 20 rounds, b = key bytes.
#include "crypto/CryptoppBlockCipher.h"

namespace tellvane {

class TDCP_rc6 final : public TCryptoppBlockCipher<TDCP_blockcipher128> {
public:
    static constexpr uint32_t MaxKeySize = 2048;
    uint32_t GetMaxKeySize() const override { return MaxKeySize; }

protected:
    void ScheduleKey(const void* key, uint32_t size) override;
};

}  // namespace tellvane
