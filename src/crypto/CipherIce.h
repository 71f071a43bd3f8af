#pragma once
// ICE (Kwan, 1997) and its levels: Thin-ICE (level 0, 8 rounds), ICE (level 1, 16 rounds) and
// ICE-2 (level 2, 32 rounds). 64-bit blocks as two big-endian 32-bit halves.
#include "crypto/BlockCipher.h"
#include "platform/SecureWipe.h"

namespace tellvane {

class TDCP_customice : public TDCP_blockcipher64 {
public:
    void Burn() override;
    void EncryptECB(const void* indata, void* outdata) override;
    void DecryptECB(const void* indata, void* outdata) override;

protected:
    // Builds the process-wide S-box and permutation table on first use.
    TDCP_customice();
    // The key schedule of LEVEL from the zero-extended key bytes.
    void ScheduleIceKey(const void* key, uint32_t size, int level);

private:
    struct SubKey {
        uint32_t val[3];
    };
    void Schedule(uint16_t kb[4], int n, const int* keyrot);

    int rounds = 0;
    TWipedArray<SubKey, 32> ik_keysched;
};

class TDCP_ice final : public TDCP_customice {
public:
    static constexpr uint32_t MaxKeySize = 64;
    uint32_t GetMaxKeySize() const override { return MaxKeySize; }

protected:
    void ScheduleKey(const void* key, uint32_t size) override { ScheduleIceKey(key, size, 1); }
};

class TDCP_thinice final : public TDCP_customice {
public:
    static constexpr uint32_t MaxKeySize = 64;
    uint32_t GetMaxKeySize() const override { return MaxKeySize; }

protected:
    void ScheduleKey(const void* key, uint32_t size) override { ScheduleIceKey(key, size, 0); }
};

class TDCP_ice2 final : public TDCP_customice {
public:
    static constexpr uint32_t MaxKeySize = 128;
    uint32_t GetMaxKeySize() const override { return MaxKeySize; }

protected:
    void ScheduleKey(const void* key, uint32_t size) override { ScheduleIceKey(key, size, 2); }
};

}  // namespace tellvane
