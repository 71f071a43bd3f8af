#pragma once
// An independent statement of one KISS step, to hold the generator's fast paths to.
#include <cstdint>

#include "shred/KISSRandomGenerator.h"

namespace tellvane::test {

inline uint32_t ReferenceStep(TKISSState& s) {
    s.x = 69069u * s.x + 12345u;
    s.y ^= s.y << 13;
    s.y ^= s.y >> 17;
    s.y ^= s.y << 5;
    const uint64_t t = 698769069ull * s.z + s.c;
    s.c = static_cast<uint32_t>(t >> 32);
    s.z = static_cast<uint32_t>(t);
    return s.x + s.y + s.z;
}

}  // namespace tellvane::test
