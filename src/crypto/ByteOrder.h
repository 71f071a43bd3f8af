#pragma once
// Loading and storing 32-bit words in a stated byte order.
#include <cstdint>

namespace tellvane {

inline uint32_t LoadBE32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}
inline void StoreBE32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}
inline uint32_t LoadLE32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline void StoreLE32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}
inline uint32_t Rotl32(uint32_t v, unsigned r) {
    r &= 31;
    return r == 0 ? v : (v << r) | (v >> (32 - r));
}
inline uint32_t Rotr32(uint32_t v, unsigned r) {
    r &= 31;
    return r == 0 ? v : (v >> r) | (v << (32 - r));
}

}  // namespace tellvane
