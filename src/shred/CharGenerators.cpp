#include "shred/CharGenerators.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "shred/KISSRandomGenerator.h"

namespace tellvane {

void TCharGenerator::GenerateBlock(uint8_t* data, size_t size) {
    for (size_t i = 0; i < size; ++i) data[i] = Generate(data[i]);
}

// ---- THexGenerator ----

THexGenerator::THexGenerator(uint8_t aChar) : Chars_{aChar}, Index_(0), Size_(1) {}

void THexGenerator::AddChar(uint8_t aChar) {
    Chars_.push_back(aChar);
    ++Size_;
}

uint8_t THexGenerator::Generate(uint8_t) {
    const uint8_t result = Chars_[Index_];
    if (++Index_ == Size_) Index_ = 0;
    return result;
}

void THexGenerator::GenerateBlock(uint8_t* data, size_t size) {
    if (size == 0) return;
    if (Size_ == 1) {
        std::memset(data, Chars_[0], size);
        return;
    }
    // Lay down one period starting at the current index, then double the filled prefix: every
    // copy starts at a multiple of the period, so it continues the pattern where it stands.
    const size_t period = static_cast<size_t>(Size_);
    size_t filled = 0;
    for (size_t k = 0; k < period && filled < size; ++k)
        data[filled++] = Chars_[(static_cast<size_t>(Index_) + k) % period];
    while (filled < size) {
        const size_t n = std::min(filled, size - filled);
        std::memcpy(data + filled, data, n);
        filled += n;
    }
    Index_ = static_cast<int>((static_cast<size_t>(Index_) + size) % period);
}

// ---- TInvertGenerator ----

uint8_t TInvertGenerator::Generate(uint8_t input) { return static_cast<uint8_t>(255 - input); }

void TInvertGenerator::GenerateBlock(uint8_t* data, size_t size) {
    size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        uint64_t w;
        std::memcpy(&w, data + i, 8);
        w = ~w;
        std::memcpy(data + i, &w, 8);
    }
    for (; i < size; ++i) data[i] = static_cast<uint8_t>(~data[i]);
}

// ---- TRandomCharGenerator ----

namespace {
uint8_t CheckedBound(uint8_t rightBound) {
    if (rightBound == 0) throw std::invalid_argument("A random byte generator needs a right bound of at least 1");
    return rightBound;
}
}  // namespace

TRandomCharGenerator::TRandomCharGenerator(uint8_t aLeftBound, uint8_t aRightBound)
    : LeftBound_(aLeftBound),
      RightBound_(CheckedBound(aRightBound)),
      Char_(static_cast<uint8_t>(KISSRandomBelow(aRightBound))) {}

uint8_t TRandomCharGenerator::Generate(uint8_t) { return Char_; }

void TRandomCharGenerator::GenerateBlock(uint8_t* data, size_t size) { std::memset(data, Char_, size); }

// ---- TRandomGenerator ----

TRandomGenerator::TRandomGenerator(uint8_t aLeftBound, uint8_t aRightBound)
    : LeftBound_(aLeftBound), RightBound_(CheckedBound(aRightBound)) {}

uint8_t TRandomGenerator::Generate(uint8_t) { return static_cast<uint8_t>(KISSRandomBelow(RightBound_)); }

void TRandomGenerator::GenerateBlock(uint8_t* data, size_t size) { KISSFillBelow(data, size, RightBound_); }

}  // namespace tellvane
