#include "crypto/BlockCipher.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "crypto/Base64.h"
#include "crypto/CorePool.h"
#include "crypto/DcpHash.h"
#include "crypto/SecureWipe.h"

namespace tellvane {

namespace {

constexpr size_t StreamBufferSize = 8192;
// Below this a share costs more to hand over than to decrypt.
constexpr size_t MinShareBytes = 32 * 1024;

const char* const InvalidKeySize = "Invalid key size";
const char* const NotInitialized = "Cipher not initialized";
const char* const DigestFailure = "Unable to allocate sufficient memory for hash digest";

inline void XorBytes(uint8_t* out, const uint8_t* a, const uint8_t* b, size_t n) {
    for (size_t i = 0; i < n; ++i) out[i] = a[i] ^ b[i];
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TDCP_cipher

void TDCP_cipher::Init(const void* /*key*/, uint32_t size, const void* /*initVector*/) {
    if (fInitialized) Burn();
    if (size == 0 || size % 4 != 0 || size > GetMaxKeySize()) throw EDCP_cipher(InvalidKeySize);
    fInitialized = true;
}

void TDCP_cipher::Burn() { fInitialized = false; }

void TDCP_cipher::InitStr(const std::string& key) {
    if (fInitialized) Burn();
    std::vector<uint8_t> digest;
    try {
        TDCP_sha1 hash;
        digest.resize(hash.GetHashSize() / 8);
        hash.Init();
        hash.UpdateStr(key);
        hash.Final(digest.data());
        const uint32_t hashBits = hash.GetHashSize();
        Init(digest.data(), GetMaxKeySize() < hashBits ? GetMaxKeySize() : hashBits, nullptr);
    } catch (...) {
        WipeBytes(digest.data(), digest.size(), 0xFF);
        throw EDCP_cipher(DigestFailure);
    }
    WipeBytes(digest.data(), digest.size(), 0xFF);
}

namespace {

using BlockOperation = void (TDCP_cipher::*)(const void*, void*, size_t);

uint64_t PumpStream(TDCP_cipher& cipher, BlockOperation operation, TCipherReader& in, TCipherWriter& out,
                    uint64_t size) {
    std::vector<uint8_t> buffer(StreamBufferSize);
    uint64_t total = 0;
    // Each part is a whole number of blocks except possibly the last, so splitting never changes
    // the bytes produced.
    auto pass = [&](size_t want) {
        const size_t got = in.Read(buffer.data(), want);
        (cipher.*operation)(buffer.data(), buffer.data(), got);
        out.Write(buffer.data(), got);
        total += got;
    };
    try {
        for (uint64_t i = size / StreamBufferSize; i > 0; --i) pass(StreamBufferSize);
        if (size % StreamBufferSize != 0) pass(static_cast<size_t>(size % StreamBufferSize));
    } catch (...) {
        WipeBytes(buffer.data(), buffer.size());
        throw;
    }
    WipeBytes(buffer.data(), buffer.size());
    return total;
}

}  // namespace

uint64_t TDCP_cipher::EncryptStream(TCipherReader& inStream, TCipherWriter& outStream, uint64_t size) {
    return PumpStream(*this, &TDCP_cipher::Encrypt, inStream, outStream, size);
}

uint64_t TDCP_cipher::DecryptStream(TCipherReader& inStream, TCipherWriter& outStream, uint64_t size) {
    return PumpStream(*this, &TDCP_cipher::Decrypt, inStream, outStream, size);
}

// ---------------------------------------------------------------------------------------------
// TDCP_blockcipher

TDCP_blockcipher::~TDCP_blockcipher() {
    WipeBytes(IV.data(), IV.size(), 0xFF);
    WipeBytes(CV.data(), CV.size(), 0xFF);
}

void TDCP_blockcipher::CheckInitialized() const {
    if (!fInitialized) throw EDCP_blockcipher(NotInitialized);
}

void TDCP_blockcipher::Init(const void* key, uint32_t size, const void* initVector) {
    TDCP_cipher::Init(key, size, initVector);
    try {
        ScheduleKey(key, size);
        if (initVector == nullptr) {
            IV.fill(0);
            EncryptECB(IV.data(), IV.data());
        } else {
            std::memcpy(IV.data(), initVector, blockBytes_);
        }
    } catch (...) {
        Burn();
        throw;
    }
    Reset();
}

void TDCP_blockcipher::Burn() {
    WipeBytes(IV.data(), IV.size(), 0xFF);
    WipeBytes(CV.data(), CV.size(), 0xFF);
    TDCP_cipher::Burn();
}

void TDCP_blockcipher::Reset() {
    CheckInitialized();
    CV = IV;
}

void TDCP_blockcipher::Encrypt(const void* indata, void* outdata, size_t size) {
    switch (fCipherMode) {
        case cmCBC:
            EncryptCBC(indata, outdata, size);
            return;
        case cmCFB8bit:
            EncryptCFB8bit(indata, outdata, size);
            return;
        default:
            throw EDCP_blockcipher("Unsupported cipher mode");
    }
}

void TDCP_blockcipher::Decrypt(const void* indata, void* outdata, size_t size) {
    switch (fCipherMode) {
        case cmCBC:
            DecryptCBC(indata, outdata, size);
            return;
        case cmCFB8bit:
            DecryptCFB8bit(indata, outdata, size);
            return;
        default:
            throw EDCP_blockcipher("Unsupported cipher mode");
    }
}

void TDCP_blockcipher::EncryptCBCBlocks(const uint8_t* in, uint8_t* out, size_t blocks, uint8_t* cv) {
    const size_t b = blockBytes_;
    for (size_t i = 0; i < blocks; ++i, in += b, out += b) {
        XorBytes(out, in, cv, b);
        EncryptECB(out, out);
        std::memcpy(cv, out, b);
    }
}

void TDCP_blockcipher::DecryptCBCBlocks(const uint8_t* in, uint8_t* out, size_t blocks, uint8_t* cv) {
    const size_t b = blockBytes_;
    uint8_t saved[MaxBlockBytes];
    for (size_t i = 0; i < blocks; ++i, in += b, out += b) {
        std::memcpy(saved, in, b);  // IN may be OUT
        DecryptECB(in, out);
        XorBytes(out, out, cv, b);
        std::memcpy(cv, saved, b);
    }
    WipeBytes(saved, sizeof saved);
}

void TDCP_blockcipher::EncryptCBC(const void* indata, void* outdata, size_t size) {
    CheckInitialized();
    const auto* in = static_cast<const uint8_t*>(indata);
    auto* out = static_cast<uint8_t*>(outdata);
    const size_t blocks = size / blockBytes_;
    if (blocks > 0) EncryptCBCBlocks(in, out, blocks, CV.data());
    const size_t done = blocks * blockBytes_;
    CbcTail(in + done, out + done, size - done);
}

void TDCP_blockcipher::DecryptCBC(const void* indata, void* outdata, size_t size) {
    CheckInitialized();
    const auto* in = static_cast<const uint8_t*>(indata);
    auto* out = static_cast<uint8_t*>(outdata);
    const size_t blocks = size / blockBytes_;
    if (blocks > 0) DecryptCBCBlocks(in, out, blocks, CV.data());
    const size_t done = blocks * blockBytes_;
    CbcTail(in + done, out + done, size - done);
}

void TDCP_blockcipher::DecryptCBC(const void* indata, void* outdata, size_t size, TCorePool& pool) {
    CheckInitialized();
    const size_t b = blockBytes_;
    const size_t blocks = size / b;
    // A few shares per thread, so that a thread the system holds back delays little.
    const size_t shares = std::min<size_t>(4 * pool.Width(), blocks * b / MinShareBytes);
    if (shares < 2) {
        DecryptCBC(indata, outdata, size);
        return;
    }
    const auto* in = static_cast<const uint8_t*>(indata);
    auto* out = static_cast<uint8_t*>(outdata);
    // Each share's chaining value is taken before any share runs: in place, the share before it
    // overwrites that ciphertext block.
    std::vector<std::array<uint8_t, MaxBlockBytes>> cvs(shares);
    std::vector<size_t> first(shares + 1);
    for (size_t i = 0; i <= shares; ++i) first[i] = blocks * i / shares;
    cvs[0] = CV;
    for (size_t i = 1; i < shares; ++i) std::memcpy(cvs[i].data(), in + (first[i] - 1) * b, b);
    std::array<uint8_t, MaxBlockBytes> last{};
    std::memcpy(last.data(), in + (blocks - 1) * b, b);
    try {
        pool.Run(shares, [&](size_t i) {
            const size_t at = first[i] * b;
            DecryptCBCShare(in + at, out + at, first[i + 1] - first[i], cvs[i].data());
        });
    } catch (...) {
        for (auto& cv : cvs) WipeBytes(cv.data(), cv.size());
        throw;
    }
    for (auto& cv : cvs) WipeBytes(cv.data(), cv.size());
    CV = last;
    WipeBytes(last.data(), last.size());
    const size_t done = blocks * b;
    CbcTail(in + done, out + done, size - done);
}

void TDCP_blockcipher::CbcTail(const uint8_t* in, uint8_t* out, size_t size) {
    if (size == 0) return;
    // A stream cipher on E_K(CV), also when decrypting; the ciphertext is not fed back.
    EncryptECB(CV.data(), CV.data());
    XorBytes(out, in, CV.data(), size);
}

void TDCP_blockcipher::EncryptCFB8bit(const void* indata, void* outdata, size_t size) {
    CheckInitialized();
    const auto* in = static_cast<const uint8_t*>(indata);
    auto* out = static_cast<uint8_t*>(outdata);
    uint8_t t[MaxBlockBytes];
    const size_t b = blockBytes_;
    for (size_t i = 0; i < size; ++i) {
        EncryptECB(CV.data(), t);
        const uint8_t c = in[i] ^ t[0];
        out[i] = c;
        std::memmove(CV.data(), CV.data() + 1, b - 1);
        CV[b - 1] = c;
    }
    WipeBytes(t, sizeof t);
}

void TDCP_blockcipher::DecryptCFB8bit(const void* indata, void* outdata, size_t size) {
    CheckInitialized();
    const auto* in = static_cast<const uint8_t*>(indata);
    auto* out = static_cast<uint8_t*>(outdata);
    uint8_t t[MaxBlockBytes];
    const size_t b = blockBytes_;
    for (size_t i = 0; i < size; ++i) {
        EncryptECB(CV.data(), t);
        const uint8_t c = in[i];
        out[i] = c ^ t[0];
        std::memmove(CV.data(), CV.data() + 1, b - 1);
        CV[b - 1] = c;
    }
    WipeBytes(t, sizeof t);
}

std::string TDCP_blockcipher::EncryptString(const std::string& str) {
    std::string work(str);
    EncryptCFB8bit(work.data(), work.data(), work.size());
    return Base64Encode(work);
}

std::string TDCP_blockcipher::DecryptString(const std::string& str) {
    std::string work = Base64Decode(str);
    DecryptCFB8bit(work.data(), work.data(), work.size());
    return work;
}

}  // namespace tellvane
