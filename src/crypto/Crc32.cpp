#include "crypto/Crc32.h"

#include <array>

namespace tellvane {

namespace {

constexpr std::array<uint32_t, 256> MakeTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

// Built by the compiler: constant data, no start-up step and no race on first use.
constexpr std::array<uint32_t, 256> CrcTable = MakeTable();

}  // namespace

void UpdateCRC32(const void* data, int32_t count, uint32_t& crc) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    uint32_t c = crc;
    for (int32_t i = 0; i < count; ++i) c = CrcTable[(c ^ bytes[i]) & 0xFF] ^ (c >> 8);
    crc = c;
}

bool StringCRC32(const std::u16string& text, uint32_t& crc) {
    if (text.empty()) return false;
    uint32_t c = 0xFFFFFFFFu;
    for (char16_t unit : text) {
        const uint8_t le[2] = {static_cast<uint8_t>(unit & 0xFF), static_cast<uint8_t>(unit >> 8)};
        UpdateCRC32(le, 2, c);
    }
    crc = ~c;
    return true;
}

}  // namespace tellvane
