#pragma once
// Marsaglia's KISS generator: a congruential, a xorshift and a multiply-with-carry generator
// summed. One process-wide state, seeded from the clock when the program starts. Only the
// wiping methods draw from it, on the one worker thread of a running shred; it is not locked and
// not a cryptographic source.
#include <cstddef>
#include <cstdint>

namespace tellvane {

struct TKISSState {
    uint32_t x;  // congruential word
    uint32_t y;  // xorshift word
    uint32_t z;  // multiply-with-carry value
    uint32_t c;  // multiply-with-carry carry
};

// The state before seeding: x = 123456789, y = 362436000, z = 521288629, c = 7654321.
inline constexpr TKISSState KISSInitialState{123456789u, 362436000u, 521288629u, 7654321u};

// Seeds x from the high-resolution clock; y, z and c keep their values. Runs once at start-up.
void KISSRandomize();
// Advances the state one step and returns x + y + z.
uint32_t KISSRandom();
// KISSRandom() mod N; N must be at least 1 (std::invalid_argument otherwise).
uint32_t KISSRandomBelow(uint32_t n);

// Fills OUT[0..SIZE) with SIZE successive KISSRandomBelow(N) draws, N in 1..255, leaving the state
// exactly where SIZE single draws would. The bytes and the final state are the same; only the speed
// differs (the common case N = 255 is computed in vector lanes).
void KISSFillBelow(uint8_t* out, size_t size, uint32_t n);

// The state itself, for tests and tools that need a known sequence.
TKISSState KISSGetState();
void KISSSetState(const TKISSState& state);

// Internal variants of KISSFillBelow(.., 255), exposed so tests can hold each one to the
// one-draw-at-a-time definition. Both update the global state.
void KISSFillBelow255Serial(uint8_t* out, size_t size);
// Uses the vector lanes when the processor has them; false when it fell back to the serial loop.
bool KISSFillBelow255Lanes(uint8_t* out, size_t size);

}  // namespace tellvane
