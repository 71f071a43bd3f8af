#include "platform/SecureWipe.h"

namespace tellvane {

void WipeBytes(void* data, size_t size, uint8_t value) {
    // Volatile stores are kept by the optimiser, unlike a memset before a free.
    volatile uint8_t* p = static_cast<volatile uint8_t*>(data);
    for (size_t i = 0; i < size; ++i) p[i] = value;
}

void WipeString(std::string& text) {
    text.resize(text.capacity());
    WipeBytes(text.data(), text.size());
    text.clear();
}

}  // namespace tellvane
