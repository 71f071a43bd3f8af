#include "crypto/CipherTea.h"

#include <cstring>

#include "crypto/ByteOrder.h"

namespace tellvane {

namespace {
constexpr uint32_t Delta = 0x9E3779B9;
constexpr uint32_t DecryptSum = 0xC6EF3720;  // 32 * Delta
constexpr int Cycles = 32;
}  // namespace

void TDCP_tea::ScheduleKey(const void* key, uint32_t size) {
    uint8_t k[16] = {};
    std::memcpy(k, key, (size + 7) / 8);
    for (int i = 0; i < 4; ++i) KeyData[i] = LoadBE32(k + 4 * i);
    WipeBytes(k, sizeof k);
}

void TDCP_tea::Burn() {
    KeyData.Wipe();
    TDCP_blockcipher64::Burn();
}

void TDCP_tea::EncryptBlock(const uint8_t* in, uint8_t* out) const {
    const uint32_t k0 = KeyData[0], k1 = KeyData[1], k2 = KeyData[2], k3 = KeyData[3];
    uint32_t y = LoadBE32(in), z = LoadBE32(in + 4), sum = 0;
    for (int i = 0; i < Cycles; ++i) {
        sum += Delta;
        y += (z << 4) + (k0 ^ z) + ((z >> 5) ^ sum) + k1;
        z += (y << 4) + (k2 ^ y) + ((y >> 5) ^ sum) + k3;
    }
    StoreBE32(out, y);
    StoreBE32(out + 4, z);
}

void TDCP_tea::EncryptECB(const void* indata, void* outdata) {
    CheckInitialized();
    EncryptBlock(static_cast<const uint8_t*>(indata), static_cast<uint8_t*>(outdata));
}

void TDCP_tea::DecryptECB(const void* indata, void* outdata) {
    CheckInitialized();
    const auto* in = static_cast<const uint8_t*>(indata);
    auto* out = static_cast<uint8_t*>(outdata);
    const uint32_t k0 = KeyData[0], k1 = KeyData[1], k2 = KeyData[2], k3 = KeyData[3];
    uint32_t y = LoadBE32(in), z = LoadBE32(in + 4), sum = DecryptSum;
    for (int i = 0; i < Cycles; ++i) {
        z -= (y << 4) + (k2 ^ y) + ((y >> 5) ^ sum) + k3;
        y -= (z << 4) + (k0 ^ z) + ((z >> 5) ^ sum) + k1;
        sum -= Delta;
    }
    StoreBE32(out, y);
    StoreBE32(out + 4, z);
}

void TDCP_tea::EncryptCBCBlocks(const uint8_t* in, uint8_t* out, size_t blocks, uint8_t* cv) {
    for (size_t i = 0; i < blocks; ++i, in += 8, out += 8) {
        for (int j = 0; j < 8; ++j) out[j] = in[j] ^ cv[j];
        EncryptBlock(out, out);
        std::memcpy(cv, out, 8);
    }
}

}  // namespace tellvane
