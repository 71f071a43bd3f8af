#pragma once
// MISTY1 (RFC 2994): 64-bit blocks, 128-bit key, 8 rounds, big-endian; from Botan.
#include <memory>

#include "crypto/BlockCipher.h"

namespace Botan {
class MISTY1;
}

namespace tellvane {

class TDCP_misty1 final : public TDCP_blockcipher64 {
public:
    static constexpr uint32_t MaxKeySize = 128;

    TDCP_misty1();
    ~TDCP_misty1() override;

    uint32_t GetMaxKeySize() const override { return MaxKeySize; }
    void Burn() override;
    void EncryptECB(const void* indata, void* outdata) override;
    void DecryptECB(const void* indata, void* outdata) override;

protected:
    void ScheduleKey(const void* key, uint32_t size) override;

private:
    std::unique_ptr<Botan::MISTY1> cipher_;  // its schedule is secure memory, zeroed when cleared
};

}  // namespace tellvane
