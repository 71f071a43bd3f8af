#pragma once
// DES (FIPS 46-3, parity bits ignored) and Triple DES encrypt-decrypt-encrypt with three
// schedules; a key of 128 bits or less uses K3 = K1.
#include "crypto/CryptoppBlockCipher.h"

namespace tellvane {

// The DES family's common base.
class TDCP_customdes : public TCryptoppBlockCipher<TDCP_blockcipher64> {};

class TDCP_des final : public TDCP_customdes {
public:
    static constexpr uint32_t MaxKeySize = 64;
    uint32_t GetMaxKeySize() const override { return MaxKeySize; }

protected:
    void ScheduleKey(const void* key, uint32_t size) override;
};

class TDCP_3des final : public TDCP_customdes {
public:
    static constexpr uint32_t MaxKeySize = 192;
    uint32_t GetMaxKeySize() const override { return MaxKeySize; }

protected:
    void ScheduleKey(const void* key, uint32_t size) override;
};

}  // namespace tellvane
