#pragma once
// Overwriting key material so that the compiler cannot drop the stores.
#include <cstddef>
#include <cstdint>
#include <string>

namespace tellvane {

// Fills SIZE bytes at DATA with VALUE, even when DATA is never read again.
void WipeBytes(void* data, size_t size, uint8_t value = 0);

// Overwrites every byte TEXT's buffer holds (its whole capacity) and empties it.
void WipeString(std::string& text);

// Wipes a std::string when the scope ends, however it ends.
class TWipeOnExit {
public:
    explicit TWipeOnExit(std::string& text) : text_(text) {}
    ~TWipeOnExit() { WipeString(text_); }
    TWipeOnExit(const TWipeOnExit&) = delete;
    TWipeOnExit& operator=(const TWipeOnExit&) = delete;

private:
    std::string& text_;
};

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
