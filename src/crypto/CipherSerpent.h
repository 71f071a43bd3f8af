#pragma once
// Serpent: 128-bit blocks; a key shorter than 256 bits gets a single 1 bit after its last bit.
#include "crypto/CryptoppBlockCipher.h"

namespace tellvane {

class TDCP_serpent final : public TCryptoppBlockCipher<TDCP_blockcipher128> {
public:
    static constexpr uint32_t MaxKeySize = 256;
    uint32_t GetMaxKeySize() const override { return MaxKeySize; }

protected:
    void ScheduleKey(const void* key, uint32_t size) override;
};

}  // namespace tellvane
