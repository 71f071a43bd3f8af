#pragma once
// Overwriting key material so that the compiler cannot drop the stores.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

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

namespace tellvane {

// A string for pass phrases and main passwords that wipes its characters before its memory is
// given back. It reserves room up front, wipes a buffer before outgrowing it, and copies and wipes
// a std::string moved into it instead of adopting that string's buffer.
class TSecretString : public std::string {
public:
    static constexpr size_t ReservedBytes = 256;
    TSecretString() { reserve(ReservedBytes); }
    TSecretString(const char* text) : TSecretString() { Set(text); }
    TSecretString(const std::string& text) : TSecretString() { Set(text); }
    TSecretString(std::string&& text) : TSecretString() { Take(text); }
    TSecretString(const TSecretString& other) : TSecretString() { Set(other); }
    TSecretString& operator=(const TSecretString& other) {
        if (this != &other) Set(other);
        return *this;
    }
    TSecretString& operator=(const std::string& text) { return Set(text); }
    TSecretString& operator=(std::string&& text) { return Take(text); }
    TSecretString& operator=(const char* text) { return Set(text); }
    ~TSecretString() { Wipe(*this); }

    // Overwrites every byte TEXT's buffer holds and empties it.
    static void Wipe(std::string& text) {
        text.resize(text.capacity());
        WipeBytes(text.data(), text.size());
        text.clear();
    }

private:
    TSecretString& Set(std::string_view text) {
        if (text.size() > capacity()) Wipe(*this);  // the outgrown buffer is freed wiped
        assign(text.data(), text.size());
        return *this;
    }
    TSecretString& Take(std::string& text) {
        Set(text);
        Wipe(text);
        return *this;
    }
};

}  // namespace tellvane
