#include "crypto/CipherMisty1.h"

#include <botan/exceptn.h>
#include <botan/misty1.h>

#include <cstring>

#include "platform/SecureWipe.h"

namespace tellvane {

TDCP_misty1::TDCP_misty1() = default;

TDCP_misty1::~TDCP_misty1() = default;

void TDCP_misty1::ScheduleKey(const void* key, uint32_t size) {
    uint8_t k[16] = {};
    std::memcpy(k, key, (size + 7) / 8);
    try {
        if (!cipher_) cipher_ = std::make_unique<Botan::MISTY1>();
        cipher_->set_key(k, sizeof k);
    } catch (const Botan::Exception& e) {
        WipeBytes(k, sizeof k);
        throw EDCP_cipher(e.what());
    }
    WipeBytes(k, sizeof k);
}

void TDCP_misty1::Burn() {
    if (cipher_) cipher_->clear();
    TDCP_blockcipher64::Burn();
}

void TDCP_misty1::EncryptECB(const void* indata, void* outdata) {
    CheckInitialized();
    try {
        cipher_->encrypt(static_cast<const uint8_t*>(indata), static_cast<uint8_t*>(outdata));
    } catch (const Botan::Exception& e) {
        throw EDCP_blockcipher(e.what());
    }
}

void TDCP_misty1::DecryptECB(const void* indata, void* outdata) {
    CheckInitialized();
    try {
        cipher_->decrypt(static_cast<const uint8_t*>(indata), static_cast<uint8_t*>(outdata));
    } catch (const Botan::Exception& e) {
        throw EDCP_blockcipher(e.what());
    }
}

}  // namespace tellvane
