#pragma once
// CAST-128 (RFC 2144, 12 rounds for keys of 80 bits or less) and CAST-256 (RFC 2612, keys
// zero-extended to 256 bits).
#include "crypto/CryptoppBlockCipher.h"

namespace tellvane {

class TDCP_cast128 final : public TCryptoppBlockCipher<TDCP_blockcipher64> {
public:
    static constexpr uint32_t MaxKeySize = 128;
    uint32_t GetMaxKeySize() const override { return MaxKeySize; }

protected:
    void ScheduleKey(const void* key, uint32_t size) override;
};

class TDCP_cast256 final : public TCryptoppBlockCipher<TDCP_blockcipher128> {
public:
    static constexpr uint32_t MaxKeySize = 256;
    uint32_t GetMaxKeySize() const override { return MaxKeySize; }

protected:
    void ScheduleKey(const void* key, uint32_t size) override;
};

}  // namespace tellvane
