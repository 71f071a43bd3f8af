#include "crypto/CryptoppBlockCipher.h"

#include <cryptopp/cryptlib.h>

#include <cstring>
#include <memory>

#include "crypto/SecureWipe.h"

namespace tellvane {

namespace {

using BT = CryptoPP::BlockTransformation;

// CBC decryption of BLOCKS whole blocks of B bytes through DECRYPTION, from CV.
void DecryptBlocksWith(const CryptoPP::BlockTransformation& decryption, size_t b, const uint8_t* in, uint8_t* out,
                       size_t blocks, uint8_t* cv) {
    uint8_t last[TDCP_blockcipher::MaxBlockBytes];
    std::memcpy(last, in + (blocks - 1) * b, b);  // before an in-place run overwrites it
    try {
        // Backwards, so that in place every block still sees the ciphertext before it; the
        // library decrypts several blocks at once here.
        if (blocks > 1)
            decryption.AdvancedProcessBlocks(in + b, in, out + b, (blocks - 1) * b,
                                             BT::BT_ReverseDirection | BT::BT_AllowParallel);
        decryption.ProcessAndXorBlock(in, cv, out);
    } catch (const CryptoPP::Exception& e) {
        WipeBytes(last, sizeof last);
        throw EDCP_blockcipher(e.what());
    }
    std::memcpy(cv, last, b);
    WipeBytes(last, sizeof last);
}

}  // namespace

template <class Base>
TCryptoppBlockCipher<Base>::TCryptoppBlockCipher() = default;

template <class Base>
TCryptoppBlockCipher<Base>::~TCryptoppBlockCipher() = default;

template <class Base>
void TCryptoppBlockCipher<Base>::Burn() {
    encryption_.reset();
    decryption_.reset();
    Base::Burn();
}

template <class Base>
void TCryptoppBlockCipher<Base>::SetSchedules(std::unique_ptr<BT> encryption, std::unique_ptr<BT> decryption) {
    encryption_ = std::move(encryption);
    decryption_ = std::move(decryption);
}

template <class Base>
void TCryptoppBlockCipher<Base>::EncryptECB(const void* indata, void* outdata) {
    this->CheckInitialized();
    try {
        encryption_->ProcessBlock(static_cast<const CryptoPP::byte*>(indata), static_cast<CryptoPP::byte*>(outdata));
    } catch (const CryptoPP::Exception& e) {
        throw EDCP_blockcipher(e.what());
    }
}

template <class Base>
void TCryptoppBlockCipher<Base>::DecryptECB(const void* indata, void* outdata) {
    this->CheckInitialized();
    try {
        decryption_->ProcessBlock(static_cast<const CryptoPP::byte*>(indata), static_cast<CryptoPP::byte*>(outdata));
    } catch (const CryptoPP::Exception& e) {
        throw EDCP_blockcipher(e.what());
    }
}

template <class Base>
void TCryptoppBlockCipher<Base>::EncryptCBCBlocks(const uint8_t* in, uint8_t* out, size_t blocks, uint8_t* cv) {
    const size_t b = this->BlockBytes();
    try {
        // Serial by nature: each block is XORed with the ciphertext block just written.
        encryption_->AdvancedProcessBlocks(in, cv, out, b, BT::BT_XorInput);
        if (blocks > 1) encryption_->AdvancedProcessBlocks(in + b, out, out + b, (blocks - 1) * b, BT::BT_XorInput);
    } catch (const CryptoPP::Exception& e) {
        throw EDCP_blockcipher(e.what());
    }
    std::memcpy(cv, out + (blocks - 1) * b, b);
}

template <class Base>
void TCryptoppBlockCipher<Base>::DecryptCBCBlocks(const uint8_t* in, uint8_t* out, size_t blocks, uint8_t* cv) {
    DecryptBlocksWith(*decryption_, this->BlockBytes(), in, out, blocks, cv);
}

template <class Base>
void TCryptoppBlockCipher<Base>::DecryptCBCShare(const uint8_t* in, uint8_t* out, size_t blocks, uint8_t* cv) {
    std::unique_ptr<CryptoPP::Clonable> copy;
    try {
        copy.reset(decryption_->Clone());
    } catch (const CryptoPP::Exception& e) {
        throw EDCP_blockcipher(e.what());
    }
    DecryptBlocksWith(dynamic_cast<const CryptoPP::BlockTransformation&>(*copy), this->BlockBytes(), in, out, blocks,
                      cv);
}

template class TCryptoppBlockCipher<TDCP_blockcipher64>;
template class TCryptoppBlockCipher<TDCP_blockcipher128>;

}  // namespace tellvane
