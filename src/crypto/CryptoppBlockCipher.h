#pragma once
// Ciphers whose block transformation comes from Crypto++: the keyed library objects live here,
// library exceptions end here, and whole CBC runs go through the library's multi-block path
// (AES-NI and friends) instead of one virtual call per block.
#include <memory>

#include "crypto/BlockCipher.h"

namespace CryptoPP {
class BlockTransformation;
}

namespace tellvane {

template <class Base>  // TDCP_blockcipher64 or TDCP_blockcipher128
class TCryptoppBlockCipher : public Base {
public:
    ~TCryptoppBlockCipher() override;
    // Destroys the library objects, whose schedules wipe themselves, then wipes IV and CV.
    void Burn() override;
    void EncryptECB(const void* indata, void* outdata) override;
    void DecryptECB(const void* indata, void* outdata) override;

protected:
    TCryptoppBlockCipher();
    // Installs the keyed encryption and decryption objects; called from ScheduleKey.
    void SetSchedules(std::unique_ptr<CryptoPP::BlockTransformation> encryption,
                      std::unique_ptr<CryptoPP::BlockTransformation> decryption);
    void EncryptCBCBlocks(const uint8_t* in, uint8_t* out, size_t blocks, uint8_t* cv) override;
    void DecryptCBCBlocks(const uint8_t* in, uint8_t* out, size_t blocks, uint8_t* cv) override;
    // Some library objects (CAST's) keep scratch space of their own: a share works on a copy.
    void DecryptCBCShare(const uint8_t* in, uint8_t* out, size_t blocks, uint8_t* cv) override;

private:
    std::unique_ptr<CryptoPP::BlockTransformation> encryption_;
    std::unique_ptr<CryptoPP::BlockTransformation> decryption_;
};

extern template class TCryptoppBlockCipher<TDCP_blockcipher64>;
extern template class TCryptoppBlockCipher<TDCP_blockcipher128>;

}  // namespace tellvane
