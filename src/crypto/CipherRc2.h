#pragma once
// RC2 (RFC 2268) with the effective key length fixed at 1024 bits, whatever the key length.
#include "crypto/CryptoppBlockCipher.h"

namespace tellvane {

class TDCP_rc2 final : public TCryptoppBlockCipher<TDCP_blockcipher64> {
public:
    static constexpr uint32_t MaxKeySize = 1024;
    uint32_t GetMaxKeySize() const override { return MaxKeySize; }

protected:
    void ScheduleKey(const void* key, uint32_t size) override;
};

}  // namespace tellvane
