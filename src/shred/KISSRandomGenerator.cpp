#include "shred/KISSRandomGenerator.h"

#include <immintrin.h>

#include <array>
#include <chrono>
#include <stdexcept>

namespace tellvane {

namespace {

constexpr uint32_t kLcgMul = 69069u;
constexpr uint32_t kLcgAdd = 12345u;
constexpr uint64_t kMwcMul = 698769069u;
// The multiply-with-carry pair (c, z) read as s = c * 2^32 + z is a multiplicative congruential
// generator: the next s is kMwcMul * s mod kMwcMod. That is what lets a lane jump ahead.
constexpr uint64_t kMwcMod = (kMwcMul << 32) - 1;

TKISSState g_state = KISSInitialState;

// Seeds before anything else of the program runs, as the generator's unit did at load time.
struct TKISSSeeder {
    TKISSSeeder() { KISSRandomize(); }
} g_seeder;

inline uint32_t Step(TKISSState& s) {
    s.x = kLcgMul * s.x + kLcgAdd;
    s.y ^= s.y << 13;
    s.y ^= s.y >> 17;
    s.y ^= s.y << 5;
    const uint64_t t = kMwcMul * s.z + s.c;
    s.c = static_cast<uint32_t>(t >> 32);
    s.z = static_cast<uint32_t>(t);
    return s.x + s.y + s.z;
}

// ---- Jumping ahead, so that sixteen lanes can each start at their own segment of the output. ----

// A linear map over GF(2)^32 kept as its 32 columns.
struct TBitMatrix {
    std::array<uint32_t, 32> col{};
};

uint32_t Apply(const TBitMatrix& m, uint32_t v) {
    uint32_t r = 0;
    for (int b = 0; v != 0; ++b, v >>= 1)
        if (v & 1u) r ^= m.col[b];
    return r;
}

// The xorshift step raised to the powers 2^0 .. 2^63.
const std::array<TBitMatrix, 64>& XorShiftPowers() {
    static const std::array<TBitMatrix, 64> powers = [] {
        std::array<TBitMatrix, 64> p{};
        for (int b = 0; b < 32; ++b) {
            uint32_t y = 1u << b;
            y ^= y << 13;
            y ^= y >> 17;
            y ^= y << 5;
            p[0].col[b] = y;
        }
        for (int k = 1; k < 64; ++k)
            for (int b = 0; b < 32; ++b) p[k].col[b] = Apply(p[k - 1], p[k - 1].col[b]);
        return p;
    }();
    return powers;
}

uint64_t MulMod(uint64_t a, uint64_t b, uint64_t m) {
    return static_cast<uint64_t>(static_cast<unsigned __int128>(a) * b % m);
}

// The three parts of the state advanced by one fixed distance.
struct TKISSJump {
    uint32_t lcgMul = 1, lcgAdd = 0;
    uint64_t distance = 0;
    uint64_t mwcMul = 1;

    explicit TKISSJump(uint64_t k) : distance(k) {
        uint32_t curMul = kLcgMul, curAdd = kLcgAdd;
        uint64_t mwcCur = kMwcMul;
        for (uint64_t n = k; n != 0; n >>= 1) {
            if (n & 1u) {
                lcgAdd = curMul * lcgAdd + curAdd;
                lcgMul *= curMul;
                mwcMul = MulMod(mwcMul, mwcCur, kMwcMod);
            }
            curAdd = curMul * curAdd + curAdd;
            curMul *= curMul;
            mwcCur = MulMod(mwcCur, mwcCur, kMwcMod);
        }
    }

    TKISSState operator()(const TKISSState& s) const {
        TKISSState r;
        r.x = lcgMul * s.x + lcgAdd;
        const auto& powers = XorShiftPowers();
        r.y = s.y;
        for (int b = 0; b < 64; ++b)
            if ((distance >> b) & 1u) r.y = Apply(powers[b], r.y);
        const uint64_t mwc = MulMod((static_cast<uint64_t>(s.c) << 32) | s.z, mwcMul, kMwcMod);
        r.c = static_cast<uint32_t>(mwc >> 32);
        r.z = static_cast<uint32_t>(mwc);
        return r;
    }
};

// The jump above holds for the states the generator can reach from its start: carry below the
// multiplier and s not the fixed point kMwcMod. A state set by hand may be outside.
bool CanJump(const TKISSState& s) {
    return s.c < kMwcMul && ((static_cast<uint64_t>(s.c) << 32) | s.z) != kMwcMod;
}

// ---- The sixteen-lane kernel. ----

constexpr int kLanes = 16;
constexpr size_t kMinLaneBytes = kLanes * kLanes;  // below this the serial loop is as good

// Lane (segment) held by element E of vector V; the packing at the end of a step places the bytes
// of vector 0 elements 0-3, vector 1 elements 0-3, vector 0 elements 4-7, vector 1 elements 4-7.
constexpr int SegmentOf(int v, int e) { return (e < 4 ? e : e + 4) + (v == 0 ? 0 : 4); }

__attribute__((target("avx2"))) inline void Transpose16x16(__m128i r[16]) {
    // Four rounds of interleaving rows i and i + 8 rotate the 8-bit (row, column) index by one
    // bit each; after four the row and column have swapped.
    for (int round = 0; round < 4; ++round) {
        __m128i t[16];
        for (int i = 0; i < 8; ++i) {
            t[2 * i] = _mm_unpacklo_epi8(r[i], r[i + 8]);
            t[2 * i + 1] = _mm_unpackhi_epi8(r[i], r[i + 8]);
        }
        for (int i = 0; i < 16; ++i) r[i] = t[i];
    }
}

// Writes SEGMENT bytes (a multiple of 16) for each of the sixteen lanes: lane l starts in state
// LANES[l] and fills OUT[l * SEGMENT ..]. LANES receives each lane's final state.
__attribute__((target("avx2"))) void FillLanesAvx2(uint8_t* out, size_t segment, TKISSState lanes[kLanes]) {
    __m256i x[2], y[2], ze[2], ce[2], zo[2], co[2];
    for (int v = 0; v < 2; ++v) {
        alignas(32) uint32_t xs[8], ys[8];
        alignas(32) uint64_t zes[4], ces[4], zos[4], cos_[4];
        for (int e = 0; e < 8; ++e) {
            const TKISSState& s = lanes[SegmentOf(v, e)];
            xs[e] = s.x;
            ys[e] = s.y;
            if (e % 2 == 0) {
                zes[e / 2] = s.z;
                ces[e / 2] = s.c;
            } else {
                zos[e / 2] = s.z;
                cos_[e / 2] = s.c;
            }
        }
        x[v] = _mm256_load_si256(reinterpret_cast<const __m256i*>(xs));
        y[v] = _mm256_load_si256(reinterpret_cast<const __m256i*>(ys));
        ze[v] = _mm256_load_si256(reinterpret_cast<const __m256i*>(zes));
        ce[v] = _mm256_load_si256(reinterpret_cast<const __m256i*>(ces));
        zo[v] = _mm256_load_si256(reinterpret_cast<const __m256i*>(zos));
        co[v] = _mm256_load_si256(reinterpret_cast<const __m256i*>(cos_));
    }

    const __m256i lcgMul = _mm256_set1_epi32(static_cast<int>(kLcgMul));
    const __m256i lcgAdd = _mm256_set1_epi32(static_cast<int>(kLcgAdd));
    const __m256i mwcMul = _mm256_set1_epi64x(static_cast<long long>(kMwcMul));
    const __m256i ones8 = _mm256_set1_epi8(1);
    const __m256i ones16 = _mm256_set1_epi16(1);
    const __m256i one32 = _mm256_set1_epi32(1);
    const __m256i c257 = _mm256_set1_epi32(257);
    const __m256i c255 = _mm256_set1_epi32(255);

    for (size_t i0 = 0; i0 < segment; i0 += 16) {
        __m128i rows[16];
        for (int i = 0; i < 16; ++i) {
            __m256i res[2];
            for (int v = 0; v < 2; ++v) {
                x[v] = _mm256_add_epi32(_mm256_mullo_epi32(x[v], lcgMul), lcgAdd);
                __m256i yy = y[v];
                yy = _mm256_xor_si256(yy, _mm256_slli_epi32(yy, 13));
                yy = _mm256_xor_si256(yy, _mm256_srli_epi32(yy, 17));
                yy = _mm256_xor_si256(yy, _mm256_slli_epi32(yy, 5));
                y[v] = yy;
                // The product only reads the low half of each 64-bit lane, so the carry left in
                // the high half of t needs no masking before the next step.
                const __m256i te = _mm256_add_epi64(_mm256_mul_epu32(ze[v], mwcMul), ce[v]);
                const __m256i to = _mm256_add_epi64(_mm256_mul_epu32(zo[v], mwcMul), co[v]);
                ze[v] = te;
                zo[v] = to;
                ce[v] = _mm256_srli_epi64(te, 32);
                co[v] = _mm256_srli_epi64(to, 32);
                const __m256i z = _mm256_blend_epi32(te, _mm256_slli_epi64(to, 32), 0xAA);
                const __m256i r = _mm256_add_epi32(_mm256_add_epi32(x[v], yy), z);
                // r mod 255: 256 is 1 mod 255, so r is congruent to the sum s of its four bytes
                // (at most 1020), and s div 255 equals ((s + 1) * 257) >> 16 over that range.
                const __m256i s = _mm256_madd_epi16(_mm256_maddubs_epi16(r, ones8), ones16);
                const __m256i q = _mm256_mulhi_epu16(_mm256_add_epi32(s, one32), c257);
                res[v] = _mm256_sub_epi32(s, _mm256_mullo_epi16(q, c255));
            }
            __m256i packed = _mm256_packus_epi32(res[0], res[1]);
            packed = _mm256_packus_epi16(packed, packed);
            packed = _mm256_permute4x64_epi64(packed, 0x08);
            rows[i] = _mm256_castsi256_si128(packed);
        }
        Transpose16x16(rows);
        for (int l = 0; l < kLanes; ++l)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + l * segment + i0), rows[l]);
    }

    for (int v = 0; v < 2; ++v) {
        alignas(32) uint32_t xs[8], ys[8];
        alignas(32) uint64_t zes[4], ces[4], zos[4], cos_[4];
        _mm256_store_si256(reinterpret_cast<__m256i*>(xs), x[v]);
        _mm256_store_si256(reinterpret_cast<__m256i*>(ys), y[v]);
        _mm256_store_si256(reinterpret_cast<__m256i*>(zes), ze[v]);
        _mm256_store_si256(reinterpret_cast<__m256i*>(ces), ce[v]);
        _mm256_store_si256(reinterpret_cast<__m256i*>(zos), zo[v]);
        _mm256_store_si256(reinterpret_cast<__m256i*>(cos_), co[v]);
        for (int e = 0; e < 8; ++e) {
            TKISSState& s = lanes[SegmentOf(v, e)];
            s.x = xs[e];
            s.y = ys[e];
            s.z = static_cast<uint32_t>(e % 2 == 0 ? zes[e / 2] : zos[e / 2]);
            s.c = static_cast<uint32_t>(e % 2 == 0 ? ces[e / 2] : cos_[e / 2]);
        }
    }
}

bool HasAvx2() {
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}

}  // namespace

void KISSRandomize() {
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    g_state.x = static_cast<uint32_t>(ticks);
}

uint32_t KISSRandom() { return Step(g_state); }

uint32_t KISSRandomBelow(uint32_t n) {
    if (n == 0) throw std::invalid_argument("KISSRandomBelow: the bound must be at least 1");
    return KISSRandom() % n;
}

TKISSState KISSGetState() { return g_state; }

void KISSSetState(const TKISSState& state) { g_state = state; }

void KISSFillBelow255Serial(uint8_t* out, size_t size) {
    TKISSState s = g_state;
    for (size_t i = 0; i < size; ++i) out[i] = static_cast<uint8_t>(Step(s) % 255u);
    g_state = s;
}

bool KISSFillBelow255Lanes(uint8_t* out, size_t size) {
    if (size < kMinLaneBytes || !HasAvx2() || !CanJump(g_state)) {
        KISSFillBelow255Serial(out, size);
        return false;
    }
    const size_t segment = size / kMinLaneBytes * kLanes;
    const TKISSJump jump(segment);
    TKISSState lanes[kLanes];
    lanes[0] = g_state;
    for (int l = 1; l < kLanes; ++l) lanes[l] = jump(lanes[l - 1]);
    FillLanesAvx2(out, segment, lanes);
    // The last lane ends where a serial run of kLanes * segment draws would.
    g_state = lanes[kLanes - 1];
    KISSFillBelow255Serial(out + kLanes * segment, size - kLanes * segment);
    return true;
}

void KISSFillBelow(uint8_t* out, size_t size, uint32_t n) {
    if (n == 0) throw std::invalid_argument("KISSFillBelow: the bound must be at least 1");
    if (n == 255) {
        KISSFillBelow255Lanes(out, size);
        return;
    }
    TKISSState s = g_state;
    for (size_t i = 0; i < size; ++i) out[i] = static_cast<uint8_t>(Step(s) % n);
    g_state = s;
}

}  // namespace tellvane
