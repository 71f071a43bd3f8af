#pragma once
// TEA with this system's altered round function (the three terms are added, not XORed, so a
// standard TEA does not read these files): 64-bit blocks and 128-bit keys as big-endian words.
#include "crypto/BlockCipher.h"
#include "platform/SecureWipe.h"

namespace tellvane {

class TDCP_tea final : public TDCP_blockcipher64 {
public:
    static constexpr uint32_t MaxKeySize = 128;

    uint32_t GetMaxKeySize() const override { return MaxKeySize; }
    void Burn() override;
    void EncryptECB(const void* indata, void* outdata) override;
    void DecryptECB(const void* indata, void* outdata) override;

protected:
    void ScheduleKey(const void* key, uint32_t size) override;
    void EncryptCBCBlocks(const uint8_t* in, uint8_t* out, size_t blocks, uint8_t* cv) override;

private:
    void EncryptBlock(const uint8_t* in, uint8_t* out) const;
    TWipedArray<uint32_t, 4> KeyData;
};

}  // namespace tellvane
