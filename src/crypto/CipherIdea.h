#pragma once
// IDEA: 64-bit blocks of big-endian 16-bit words, 128-bit key.
#include "crypto/CryptoppBlockCipher.h"

namespace tellvane {

class TDCP_idea final : public TCryptoppBlockCipher<TDCP_blockcipher64> {
public:
    static constexpr uint32_t MaxKeySize = 128;
    uint32_t GetMaxKeySize() const override { return MaxKeySize; }

protected:
    void ScheduleKey(const void* key, uint32_t size) override;
};

}  // namespace tellvane
