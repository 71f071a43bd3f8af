#include "crypto/CipherMars.h"

#include <cryptopp/mars.h>

#include <cstring>

#include "crypto/ByteOrder.h"

namespace tellvane {

namespace {

// The 512-word S-box of the MARS publication, as the library holds it.
class MarsSbox : public CryptoPP::MARS::Encryption {
public:
    static constexpr const uint32_t* Table() { return Sbox; }
};

// Address constants, so they are set before any dynamic initialisation could construct a cipher.
constexpr const uint32_t* S = MarsSbox::Table();
constexpr const uint32_t* S0 = S;
constexpr const uint32_t* S1 = S + 256;

inline unsigned B0(uint32_t x) { return x & 0xFF; }
inline unsigned B1(uint32_t x) { return (x >> 8) & 0xFF; }
inline unsigned B2(uint32_t x) { return (x >> 16) & 0xFF; }
inline unsigned B3(uint32_t x) { return x >> 24; }

// Bit l is set where bits l to l+9 of W are all equal, then spread to the whole run; the
// multiplication keys must not contain such runs.
uint32_t FixMask(uint32_t w) {
    auto runs = [](uint32_t v) {
        uint32_t a = v & (v >> 1);
        a &= a >> 2;
        a &= a >> 4;
        return a & (a >> 1) & (a >> 2);
    };
    const uint32_t c = runs(w) | runs(~w);
    uint32_t d = c;
    for (int i = 1; i <= 9; ++i) d |= c << i;
    return d & (~w ^ (w << 1)) & (~w ^ (w >> 1)) & 0xFFFFFFFCu;
}

// The E-function of the keyed rounds: (L, M, R) from the source word and two subkeys.
inline void EFunction(uint32_t in, uint32_t k1, uint32_t k2, uint32_t& l, uint32_t& m, uint32_t& r) {
    m = in + k1;
    r = Rotl32(in, 13) * k2;
    l = S[m & 0x1FF];
    r = Rotl32(r, 5);
    m = Rotl32(m, r & 31);
    l ^= r;
    r = Rotl32(r, 5);
    l ^= r;
    l = Rotl32(l, r & 31);
}

}  // namespace

TDCP_mars::TDCP_mars() = default;

void TDCP_mars::ScheduleKey(const void* key, uint32_t size) {
    constexpr size_t MaxWords = MaxKeySize / 32;
    uint8_t kb[MaxWords * 4] = {};
    std::memcpy(kb, key, (size + 7) / 8);
    const size_t n = (size + 31) / 32;  // key words; 5 for the 160-bit key in use
    uint32_t k[MaxWords];
    for (size_t i = 0; i < MaxWords; ++i) k[i] = LoadLE32(kb + 4 * i);

    uint32_t t[47];
    for (int i = 0; i < 7; ++i) t[i] = S[i];
    for (uint32_t i = 0; i < 39; ++i) t[i + 7] = Rotl32(t[i] ^ t[i + 5], 3) ^ k[i % n] ^ i;
    t[46] = static_cast<uint32_t>(n);
    for (int j = 0; j < 7; ++j) {
        for (int i = 1; i <= 39; ++i) t[i + 7] = Rotl32(t[i + 7] + S[t[i + 6] & 0x1FF], 9);
        t[7] = Rotl32(t[7] + S[t[46] & 0x1FF], 9);
    }
    for (int i = 0; i < 40; ++i) KeyData[(7 * i) % 40] = t[i + 7];

    for (int i = 5; i <= 35; i += 2) {
        const uint32_t w = KeyData[i] | 3;
        const uint32_t b = S[265 + (KeyData[i] & 3)];
        const unsigned r = KeyData[i + 3] & 31;
        KeyData[i] = w ^ (Rotl32(b, r) & FixMask(w));
    }
    WipeBytes(t, sizeof t);
    WipeBytes(k, sizeof k);
    WipeBytes(kb, sizeof kb);
}

void TDCP_mars::Burn() {
    KeyData.Wipe();
    TDCP_blockcipher128::Burn();
}

void TDCP_mars::EncryptECB(const void* indata, void* outdata) {
    CheckInitialized();
    const auto* in = static_cast<const uint8_t*>(indata);
    const uint32_t* K = KeyData.data;
    uint32_t a = LoadLE32(in) + K[0], b = LoadLE32(in + 4) + K[1], c = LoadLE32(in + 8) + K[2],
             d = LoadLE32(in + 12) + K[3];
    uint32_t t;

    // Forward mixing; (a, b, c, d) turn one word to the left each round.
    for (int i = 0; i < 8; ++i) {
        b ^= S0[B0(a)];
        b += S1[B1(a)];
        c += S0[B2(a)];
        d ^= S1[B3(a)];
        a = Rotr32(a, 24);
        if (i == 0 || i == 4) a += d;
        if (i == 1 || i == 5) a += b;
        t = a, a = b, b = c, c = d, d = t;
    }
    // Keyed core: eight forward rounds, eight backward.
    for (int i = 0; i < 16; ++i) {
        uint32_t l, m, r;
        EFunction(a, K[2 * i + 4], K[2 * i + 5], l, m, r);
        a = Rotl32(a, 13);
        c += m;
        if (i < 8) {
            b += l;
            d ^= r;
        } else {
            d += l;
            b ^= r;
        }
        t = a, a = b, b = c, c = d, d = t;
    }
    // Backward mixing.
    for (int i = 0; i < 8; ++i) {
        if (i == 2 || i == 6) a -= d;
        if (i == 3 || i == 7) a -= b;
        b ^= S1[B0(a)];
        c -= S0[B3(a)];
        d -= S1[B2(a)];
        d ^= S0[B1(a)];
        a = Rotl32(a, 24);
        t = a, a = b, b = c, c = d, d = t;
    }
    auto* out = static_cast<uint8_t*>(outdata);
    StoreLE32(out, a - K[36]);
    StoreLE32(out + 4, b - K[37]);
    StoreLE32(out + 8, c - K[38]);
    StoreLE32(out + 12, d - K[39]);
}

void TDCP_mars::DecryptECB(const void* indata, void* outdata) {
    CheckInitialized();
    const auto* in = static_cast<const uint8_t*>(indata);
    const uint32_t* K = KeyData.data;
    uint32_t a = LoadLE32(in) + K[36], b = LoadLE32(in + 4) + K[37], c = LoadLE32(in + 8) + K[38],
             d = LoadLE32(in + 12) + K[39];
    uint32_t t;

    // Each phase undone in reverse: turn one word to the right, then invert the round.
    for (int i = 7; i >= 0; --i) {
        t = d, d = c, c = b, b = a, a = t;
        a = Rotr32(a, 24);
        d ^= S0[B1(a)];
        d += S1[B2(a)];
        c += S0[B3(a)];
        b ^= S1[B0(a)];
        if (i == 3 || i == 7) a += b;
        if (i == 2 || i == 6) a += d;
    }
    for (int i = 15; i >= 0; --i) {
        t = d, d = c, c = b, b = a, a = t;
        a = Rotr32(a, 13);
        uint32_t l, m, r;
        EFunction(a, K[2 * i + 4], K[2 * i + 5], l, m, r);
        c -= m;
        if (i < 8) {
            b -= l;
            d ^= r;
        } else {
            d -= l;
            b ^= r;
        }
    }
    for (int i = 7; i >= 0; --i) {
        t = d, d = c, c = b, b = a, a = t;
        if (i == 1 || i == 5) a -= b;
        if (i == 0 || i == 4) a -= d;
        a = Rotl32(a, 24);
        d ^= S1[B3(a)];
        c -= S0[B2(a)];
        b -= S1[B1(a)];
        b ^= S0[B0(a)];
    }
    auto* out = static_cast<uint8_t*>(outdata);
    StoreLE32(out, a - K[0]);
    StoreLE32(out + 4, b - K[1]);
    StoreLE32(out + 8, c - K[2]);
    StoreLE32(out + 12, d - K[3]);
}

}  // namespace tellvane
