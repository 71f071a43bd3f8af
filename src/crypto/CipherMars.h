#pragma once
// MARS as first submitted (1998): the published cipher with the original key expansion (the
// revised expansion gives other keys). 128-bit blocks and keys as little-endian 32-bit words.
#include "crypto/BlockCipher.h"
#include "platform/SecureWipe.h"

namespace tellvane {

class TDCP_mars final : public TDCP_blockcipher128 {
public:
    static constexpr uint32_t MaxKeySize = 1248;

    TDCP_mars();
    uint32_t GetMaxKeySize() const override { return MaxKeySize; }
    void Burn() override;
    void EncryptECB(const void* indata, void* outdata) override;
    void DecryptECB(const void* indata, void* outdata) override;

protected:
    void ScheduleKey(const void* key, uint32_t size) override;

private:
    TWipedArray<uint32_t, 40> KeyData;
};

}  // namespace tellvane
