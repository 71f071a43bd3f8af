#include "wizard/NameOrder.h"

#include <cstdint>

namespace tellvane {
namespace {

// One code point from UTF-8 at I; a byte that starts no valid sequence stands for itself.
uint32_t NextCodePoint(const std::string& s, size_t& i) {
    const auto c = static_cast<unsigned char>(s[i]);
    size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n <= 1 || i + n > s.size()) {
        ++i;
        return c;
    }
    uint32_t cp = c & (0x7F >> n);
    for (size_t k = 1; k < n; ++k) {
        const auto cc = static_cast<unsigned char>(s[i + k]);
        if ((cc & 0xC0) != 0x80) {
            ++i;
            return c;
        }
        cp = (cp << 6) | (cc & 0x3F);
    }
    i += n;
    return cp;
}

uint32_t FoldCase(uint32_t cp) {
    if (cp >= 'A' && cp <= 'Z') return cp + 32;
    if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) return cp + 32;                       // Latin-1
    if (cp >= 0x100 && cp <= 0x137 && cp % 2 == 0) return cp + 1;                      // Latin Extended-A
    if (cp >= 0x139 && cp <= 0x148 && cp % 2 == 1) return cp + 1;
    if (cp >= 0x14A && cp <= 0x177 && cp % 2 == 0) return cp + 1;
    if (cp >= 0x391 && cp <= 0x3AB && cp != 0x3A2) return cp + 32;                     // Greek
    if (cp >= 0x410 && cp <= 0x42F) return cp + 32;                                    // Cyrillic
    if (cp >= 0x400 && cp <= 0x40F) return cp + 80;
    return cp;
}

bool IsDigit(const std::string& s, size_t i) { return i < s.size() && s[i] >= '0' && s[i] <= '9'; }

// Compares the digit runs at I and J by their value; advances both past them.
int CompareNumbers(const std::string& a, size_t& i, const std::string& b, size_t& j) {
    while (IsDigit(a, i) && a[i] == '0' && IsDigit(a, i + 1)) ++i;
    while (IsDigit(b, j) && b[j] == '0' && IsDigit(b, j + 1)) ++j;
    size_t ei = i, ej = j;
    while (IsDigit(a, ei)) ++ei;
    while (IsDigit(b, ej)) ++ej;
    int result = 0;
    if (ei - i != ej - j) {
        result = ei - i < ej - j ? -1 : 1;
    } else {
        for (size_t k = 0; k < ei - i && result == 0; ++k)
            if (a[i + k] != b[j + k]) result = a[i + k] < b[j + k] ? -1 : 1;
    }
    i = ei;
    j = ej;
    return result;
}

}  // namespace

bool NameOrderLess(const std::string& a, const std::string& b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a, i) && IsDigit(b, j)) {
            if (const int c = CompareNumbers(a, i, b, j); c != 0) return c < 0;
            continue;
        }
        const uint32_t x = FoldCase(NextCodePoint(a, i)), y = FoldCase(NextCodePoint(b, j));
        if (x != y) return x < y;
    }
    if ((i < a.size()) != (j < b.size())) return j < b.size();  // a prefix comes first
    return a < b;
}

}  // namespace tellvane
