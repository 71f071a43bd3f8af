#include "crypto/CipherRijndael.h"

#include <cryptopp/aes.h>
#include <immintrin.h>

#include "crypto/ByteOrder.h"
#include "crypto/CryptoppKeying.h"

namespace tellvane {

namespace {

bool HasAesInstructions() {
    static const bool has = __builtin_cpu_supports("aes") && __builtin_cpu_supports("sse2");
    return has;
}

// SubWord of FIPS 197 through the key-generation assist instruction (its word 1 input comes
// back substituted in word 0).
__attribute__((target("aes,sse2"))) uint32_t SubWord(uint32_t w) {
    const __m128i r = _mm_aeskeygenassist_si128(_mm_set_epi32(0, 0, static_cast<int>(w), 0), 0);
    return static_cast<uint32_t>(_mm_cvtsi128_si32(r));
}

// The FIPS 197 key expansion, words stored little-endian so that each 16 bytes load as the
// instructions' round key. Returns the number of rounds.
int ExpandEncryptionKey(const uint8_t* key, size_t length, uint8_t* roundKeys) {
    const int nk = static_cast<int>(length / 4);
    const int rounds = nk + 6;
    uint32_t w[60];
    for (int i = 0; i < nk; ++i) w[i] = LoadLE32(key + 4 * i);
    uint32_t rcon = 1;
    for (int i = nk; i < 4 * (rounds + 1); ++i) {
        uint32_t t = w[i - 1];
        if (i % nk == 0) {
            t = SubWord(Rotr32(t, 8)) ^ rcon;
            rcon = ((rcon << 1) ^ ((rcon & 0x80) ? 0x1B : 0)) & 0xFF;
        } else if (nk > 6 && i % nk == 4) {
            t = SubWord(t);
        }
        w[i] = w[i - nk] ^ t;
    }
    for (int i = 0; i < 4 * (rounds + 1); ++i) StoreLE32(roundKeys + 4 * i, w[i]);
    WipeBytes(w, sizeof w);
    return rounds;
}

template <int Rounds>
__attribute__((target("aes,sse2"))) void CbcEncryptAesni(const uint8_t* roundKeys, const uint8_t* in, uint8_t* out,
                                                          size_t blocks, uint8_t* cv) {
    __m128i k[Rounds + 1];
    for (int i = 0; i <= Rounds; ++i) k[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(roundKeys + 16 * i));
    __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cv));
    for (size_t b = 0; b < blocks; ++b) {
        // The plaintext side (in ^ k0) does not wait for the previous block.
        __m128i x = _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 16 * b)), k[0]);
        x = _mm_xor_si128(x, c);
        for (int r = 1; r < Rounds; ++r) x = _mm_aesenc_si128(x, k[r]);
        c = _mm_aesenclast_si128(x, k[Rounds]);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16 * b), c);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(cv), c);
    WipeBytes(k, sizeof k);
}

}  // namespace

void TDCP_rijndael::ScheduleKey(const void* key, uint32_t size) {
    const size_t n = KeyBytes(size);
    const size_t length = n <= 16 ? 16 : (n <= 24 ? 24 : 32);
    const auto k = ZeroExtendedKey(key, size, length);
    SetSchedules(MakeKeyed<CryptoPP::AES::Encryption>(k.data(), length),
                 MakeKeyed<CryptoPP::AES::Decryption>(k.data(), length));
    rounds_ = HasAesInstructions() ? ExpandEncryptionKey(k.data(), length, roundKeys_.data) : 0;
}

void TDCP_rijndael::Burn() {
    roundKeys_.Wipe();
    rounds_ = 0;
    TCryptoppBlockCipher<TDCP_blockcipher128>::Burn();
}

void TDCP_rijndael::EncryptCBCBlocks(const uint8_t* in, uint8_t* out, size_t blocks, uint8_t* cv) {
    switch (rounds_) {
        case 10:
            CbcEncryptAesni<10>(roundKeys_.data, in, out, blocks, cv);
            return;
        case 12:
            CbcEncryptAesni<12>(roundKeys_.data, in, out, blocks, cv);
            return;
        case 14:
            CbcEncryptAesni<14>(roundKeys_.data, in, out, blocks, cv);
            return;
        default:
            TCryptoppBlockCipher<TDCP_blockcipher128>::EncryptCBCBlocks(in, out, blocks, cv);
    }
}

}  // namespace tellvane
