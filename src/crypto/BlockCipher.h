#pragma once
// The cipher layer under every algorithm: pass-phrase keying through SHA-1, IV = E_K(0), CBC for
// bodies (with its partial-block tail rule), 8-bit CFB + Base64 for strings, 8 KiB stream front
// ends, and wiping of key material. Concrete ciphers supply only their key schedule and one-block
// encryption and decryption.
#include <array>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "crypto/CipherStream.h"

namespace tellvane {

class TCorePool;

// A failure of a cipher; what() is the user's text, e.g. "Invalid key size".
class EDCP_cipher : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A failure of a block cipher, e.g. "Cipher not initialized".
class EDCP_blockcipher : public EDCP_cipher {
public:
    using EDCP_cipher::EDCP_cipher;
};

enum TDCP_ciphermode { cmCBC = 0, cmCFB8bit = 1, cmCFBblock = 2, cmOFB = 3, cmCTR = 4 };

class TDCP_cipher {
public:
    TDCP_cipher() = default;
    TDCP_cipher(const TDCP_cipher&) = delete;
    TDCP_cipher& operator=(const TDCP_cipher&) = delete;
    // Key material lives in self-wiping storage, so destroying a keyed instance also wipes it.
    virtual ~TDCP_cipher() = default;

    // Largest accepted key, in bits.
    virtual uint32_t GetMaxKeySize() const = 0;

    // Keys the cipher from SIZE bits of KEY (burning a previous keying first). SIZE must be a
    // non-zero multiple of 4 not above GetMaxKeySize(), else EDCP_cipher "Invalid key size".
    // INITVECTOR is one block, or null for IV = E_K(0).
    virtual void Init(const void* key, uint32_t size, const void* initVector);
    // Wipes key schedule and chaining state; the instance is unkeyed afterwards.
    virtual void Burn();
    // Chaining value back to the IV.
    virtual void Reset() = 0;
    // SIZE bytes in the current mode (CBC); INDATA and OUTDATA may be the same buffer.
    virtual void Encrypt(const void* indata, void* outdata, size_t size) = 0;
    virtual void Decrypt(const void* indata, void* outdata, size_t size) = 0;
    // 8-bit CFB over the string's bytes, returned as Base64 text; and back.
    virtual std::string EncryptString(const std::string& str) = 0;
    virtual std::string DecryptString(const std::string& str) = 0;

    // Keys the cipher with the first min(GetMaxKeySize(), 160) bits of SHA-1(KEY). Any failure
    // inside is reported as EDCP_cipher "Unable to allocate sufficient memory for hash digest".
    void InitStr(const std::string& key);
    // Reads SIZE bytes in 8192-byte parts, passes what was read through Encrypt/Decrypt and writes
    // it; returns the number of bytes read. Short reads are not errors. The output equals one
    // Encrypt/Decrypt call over the whole SIZE.
    uint64_t EncryptStream(TCipherReader& inStream, TCipherWriter& outStream, uint64_t size);
    uint64_t DecryptStream(TCipherReader& inStream, TCipherWriter& outStream, uint64_t size);

    bool Initialized() const { return fInitialized; }

protected:
    bool fInitialized = false;
};

class TDCP_blockcipher : public TDCP_cipher {
public:
    static constexpr size_t MaxBlockBytes = 16;

    ~TDCP_blockcipher() override;  // wipes IV and CV

    TDCP_ciphermode CipherMode() const { return fCipherMode; }

    void Init(const void* key, uint32_t size, const void* initVector) override;
    void Burn() override;
    void Reset() override;
    void Encrypt(const void* indata, void* outdata, size_t size) override;
    void Decrypt(const void* indata, void* outdata, size_t size) override;
    std::string EncryptString(const std::string& str) override;
    std::string DecryptString(const std::string& str) override;

    // Block size in bits (64 or 128).
    virtual uint32_t GetBlockSize() const = 0;
    // Exactly one block; IN and OUT may be the same. EDCP_blockcipher "Cipher not initialized"
    // when unkeyed.
    virtual void EncryptECB(const void* indata, void* outdata) = 0;
    virtual void DecryptECB(const void* indata, void* outdata) = 0;

    // CBC over whole blocks; a trailing partial block of r bytes is XORed with the first r bytes
    // of CV = E_K(CV) in both directions. CV carries over from call to call.
    void EncryptCBC(const void* indata, void* outdata, size_t size);
    void DecryptCBC(const void* indata, void* outdata, size_t size);
    // DecryptCBC with the whole blocks shared out over POOL: a plaintext block needs only its
    // ciphertext block and the one before, so every share starts from the block before it. The
    // bytes and the CV left are those of DecryptCBC. Small runs stay on the caller's thread.
    void DecryptCBC(const void* indata, void* outdata, size_t size, TCorePool& pool);
    // CFB with 8-bit feedback; shares CV with CBC.
    void EncryptCFB8bit(const void* indata, void* outdata, size_t size);
    void DecryptCFB8bit(const void* indata, void* outdata, size_t size);

protected:
    explicit TDCP_blockcipher(size_t blockBytes) : blockBytes_(blockBytes) {}

    // The concrete cipher's key schedule from SIZE bits of KEY; SIZE has been checked.
    virtual void ScheduleKey(const void* key, uint32_t size) = 0;

    // BLOCKS whole blocks in CBC from the chaining value CV (one block, updated to the last
    // ciphertext block). IN and OUT may be the same buffer. The defaults loop over the one-block
    // operations; ciphers with a faster multi-block path substitute it. Called only when keyed.
    virtual void EncryptCBCBlocks(const uint8_t* in, uint8_t* out, size_t blocks, uint8_t* cv);
    virtual void DecryptCBCBlocks(const uint8_t* in, uint8_t* out, size_t blocks, uint8_t* cv);
    // DecryptCBCBlocks for one share of a run that other threads decrypt at the same time. The
    // default's one-block operations change nothing but OUT and CV; a cipher whose block
    // operation keeps scratch space in the instance substitutes a version that does not.
    virtual void DecryptCBCShare(const uint8_t* in, uint8_t* out, size_t blocks, uint8_t* cv) {
        DecryptCBCBlocks(in, out, blocks, cv);
    }

    // Raises EDCP_blockcipher "Cipher not initialized" when unkeyed.
    void CheckInitialized() const;

    size_t BlockBytes() const { return blockBytes_; }

    std::array<uint8_t, MaxBlockBytes> IV{};
    std::array<uint8_t, MaxBlockBytes> CV{};

private:
    // The trailing partial block of a CBC call, the same in both directions.
    void CbcTail(const uint8_t* in, uint8_t* out, size_t size);

    TDCP_ciphermode fCipherMode = cmCBC;
    size_t blockBytes_;
};

class TDCP_blockcipher64 : public TDCP_blockcipher {
public:
    static constexpr uint32_t BlockSize = 64;
    uint32_t GetBlockSize() const override { return BlockSize; }

protected:
    TDCP_blockcipher64() : TDCP_blockcipher(8) {}
};

class TDCP_blockcipher128 : public TDCP_blockcipher {
public:
    static constexpr uint32_t BlockSize = 128;
    uint32_t GetBlockSize() const override { return BlockSize; }

protected:
    TDCP_blockcipher128() : TDCP_blockcipher(16) {}
};

}  // namespace tellvane
