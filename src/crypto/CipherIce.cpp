#include "crypto/CipherIce.h"

#include <cstring>

#include "crypto/ByteOrder.h"

namespace tellvane {

namespace {

// The constants of the ICE paper: S-box moduli and XOR offsets, the expansion permutation and
// the key rotation schedule.
constexpr unsigned SMod[4][4] = {
    {333, 313, 505, 369}, {379, 375, 319, 391}, {361, 445, 451, 397}, {397, 425, 395, 505}};
constexpr unsigned SXor[4][4] = {
    {0x83, 0x85, 0x9b, 0xcd}, {0xcc, 0xa7, 0xad, 0x41}, {0x4b, 0x2e, 0xd4, 0x33}, {0xea, 0xcb, 0x2e, 0x04}};
constexpr uint32_t PBox[32] = {
    0x00000001, 0x00000080, 0x00000400, 0x00002000, 0x00080000, 0x00200000, 0x01000000, 0x40000000,
    0x00000008, 0x00000020, 0x00000100, 0x00004000, 0x00010000, 0x00800000, 0x04000000, 0x20000000,
    0x00000004, 0x00000010, 0x00000200, 0x00008000, 0x00020000, 0x00400000, 0x08000000, 0x10000000,
    0x00000002, 0x00000040, 0x00000800, 0x00001000, 0x00040000, 0x00100000, 0x02000000, 0x80000000};
constexpr int KeyRot[16] = {0, 1, 2, 3, 2, 1, 3, 0, 1, 3, 2, 0, 3, 1, 0, 2};

// Multiplication in GF(2^8) modulo the polynomial M.
unsigned GfMult(unsigned a, unsigned b, unsigned m) {
    unsigned res = 0;
    while (b != 0) {
        if (b & 1) res ^= a;
        a <<= 1;
        b >>= 1;
        if (a >= 256) a ^= m;
    }
    return res;
}

// B to the 7th power in GF(2^8) modulo M.
uint32_t GfExp7(unsigned b, unsigned m) {
    if (b == 0) return 0;
    unsigned x = GfMult(b, b, m);
    x = GfMult(b, x, m);
    x = GfMult(x, x, m);
    return GfMult(b, x, m);
}

uint32_t Perm32(uint32_t x) {
    uint32_t res = 0;
    for (int i = 0; x != 0; ++i, x >>= 1)
        if (x & 1) res |= PBox[i];
    return res;
}

// The four S-boxes with the permutation folded in, 1024 entries each; built once per process
// (a function-local static is initialised thread-safely) and read-only afterwards.
struct IceTables {
    uint32_t sbox[4][1024];
    IceTables() {
        for (unsigned i = 0; i < 1024; ++i) {
            const unsigned col = (i >> 1) & 0xFF;
            const unsigned row = (i & 0x1) | ((i & 0x200) >> 8);
            sbox[0][i] = Perm32(GfExp7(col ^ SXor[0][row], SMod[0][row]) << 24);
            sbox[1][i] = Perm32(GfExp7(col ^ SXor[1][row], SMod[1][row]) << 16);
            sbox[2][i] = Perm32(GfExp7(col ^ SXor[2][row], SMod[2][row]) << 8);
            sbox[3][i] = Perm32(GfExp7(col ^ SXor[3][row], SMod[3][row]));
        }
    }
};

const IceTables& Tables() {
    static const IceTables tables;
    return tables;
}

inline uint32_t RoundF(const IceTables& t, uint32_t p, const uint32_t* sk) {
    // Expand the 32-bit half into two 20-bit halves, swap under the salt key, mix in the subkey.
    const uint32_t tl = ((p >> 16) & 0x3FF) | (((p >> 14) | (p << 18)) & 0xFFC00);
    const uint32_t tr = (p & 0x3FF) | ((p << 2) & 0xFFC00);
    uint32_t al = sk[2] & (tl ^ tr);
    uint32_t ar = al ^ tr;
    al ^= tl;
    al ^= sk[0];
    ar ^= sk[1];
    return t.sbox[0][al >> 10] | t.sbox[1][al & 0x3FF] | t.sbox[2][ar >> 10] | t.sbox[3][ar & 0x3FF];
}

}  // namespace

TDCP_customice::TDCP_customice() { Tables(); }

void TDCP_customice::Schedule(uint16_t kb[4], int n, const int* keyrot) {
    for (int i = 0; i < 8; ++i) {
        const int kr = keyrot[i];
        SubKey& isk = ik_keysched[n + i];
        isk.val[0] = isk.val[1] = isk.val[2] = 0;
        for (int j = 0; j < 15; ++j) {
            uint32_t& currSk = isk.val[j % 3];
            for (int k = 0; k < 4; ++k) {
                uint16_t& currKb = kb[(kr + k) & 3];
                const unsigned bit = currKb & 1;
                currSk = (currSk << 1) | bit;
                currKb = static_cast<uint16_t>((currKb >> 1) | ((bit ^ 1) << 15));
            }
        }
    }
}

void TDCP_customice::ScheduleIceKey(const void* key, uint32_t size, int level) {
    uint8_t k[16] = {};
    std::memcpy(k, key, (size + 7) / 8);
    uint16_t kb[4];
    if (level == 0) {
        rounds = 8;
        for (int i = 0; i < 4; ++i) kb[3 - i] = static_cast<uint16_t>(k[i * 2] << 8 | k[i * 2 + 1]);
        Schedule(kb, 0, KeyRot);
    } else {
        rounds = 16 * level;
        for (int i = 0; i < level; ++i) {
            for (int j = 0; j < 4; ++j)
                kb[3 - j] = static_cast<uint16_t>(k[i * 8 + j * 2] << 8 | k[i * 8 + j * 2 + 1]);
            Schedule(kb, i * 8, KeyRot);
            Schedule(kb, rounds - 8 - i * 8, KeyRot + 8);
        }
    }
    WipeBytes(kb, sizeof kb);
    WipeBytes(k, sizeof k);
}

void TDCP_customice::Burn() {
    ik_keysched.Wipe();
    rounds = 0;
    TDCP_blockcipher64::Burn();
}

void TDCP_customice::EncryptECB(const void* indata, void* outdata) {
    CheckInitialized();
    const IceTables& t = Tables();
    const auto* in = static_cast<const uint8_t*>(indata);
    auto* out = static_cast<uint8_t*>(outdata);
    uint32_t l = LoadBE32(in), r = LoadBE32(in + 4);
    for (int i = 0; i < rounds; i += 2) {
        l ^= RoundF(t, r, ik_keysched[i].val);
        r ^= RoundF(t, l, ik_keysched[i + 1].val);
    }
    StoreBE32(out, r);
    StoreBE32(out + 4, l);
}

void TDCP_customice::DecryptECB(const void* indata, void* outdata) {
    CheckInitialized();
    const IceTables& t = Tables();
    const auto* in = static_cast<const uint8_t*>(indata);
    auto* out = static_cast<uint8_t*>(outdata);
    uint32_t l = LoadBE32(in), r = LoadBE32(in + 4);
    for (int i = rounds - 1; i > 0; i -= 2) {
        l ^= RoundF(t, r, ik_keysched[i].val);
        r ^= RoundF(t, l, ik_keysched[i - 1].val);
    }
    StoreBE32(out, r);
    StoreBE32(out + 4, l);
}

}  // namespace tellvane
