#pragma once
// Overwriting key material so that the compiler cannot drop the stores.
#include <cstddef>
#include <cstdint>

namespace tellvane {

// Fills SIZE bytes at DATA with VALUE, even when DATA is never read again.
void WipeBytes(void* data, size_t size, uint8_t value = 0);

}  // namespace tellvane

namespace tellvane {

// A fixed array of key material that wipes itself when destroyed.
template <class T, size_t N>
struct TWipedArray {
    T data[N] = {};
    ~TWipedArray() { Wipe(); }
    void Wipe() { WipeBytes(data, sizeof data); }
    T& operator[](size_t i) { return data[i]; }
    const T& operator[](size_t i) const { return data[i]; }
    static constexpr size_t size() { return N; }
};

}  // namespace tellvane
