#pragma once
// Rijndael in its AES form (FIPS 197). Keys are zero-extended to 16, 24 or 32 bytes, so a
// 160-bit key runs as AES-192 on the key and four zero bytes, never Rijndael's own 160-bit variant.
#include "crypto/CryptoppBlockCipher.h"
#include "platform/SecureWipe.h"

namespace tellvane {

class TDCP_rijndael final : public TCryptoppBlockCipher<TDCP_blockcipher128> {
public:
    static constexpr uint32_t MaxKeySize = 256;
    uint32_t GetMaxKeySize() const override { return MaxKeySize; }
    void Burn() override;

protected:
    void ScheduleKey(const void* key, uint32_t size) override;
    // CBC encryption is serial, so the library's multi-block path gains nothing there; with the
    // processor's AES instructions a loop that keeps the round keys in registers is faster.
    void EncryptCBCBlocks(const uint8_t* in, uint8_t* out, size_t blocks, uint8_t* cv) override;

private:
    int rounds_ = 0;                     // 10, 12 or 14 when the AES-instruction path is keyed
    TWipedArray<uint8_t, 240> roundKeys_;  // encryption round keys in the instructions' byte order
};

}  // namespace tellvane
