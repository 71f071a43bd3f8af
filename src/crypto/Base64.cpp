#include "crypto/Base64.h"

#include <array>

#include "crypto/BlockCipher.h"

namespace tellvane {

namespace {

constexpr char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<int8_t, 256> MakeDecodeTable() {
    std::array<int8_t, 256> table{};
    for (auto& v : table) v = -1;
    for (int i = 0; i < 64; ++i) table[static_cast<uint8_t>(Alphabet[i])] = static_cast<int8_t>(i);
    return table;
}

constexpr std::array<int8_t, 256> DecodeTable = MakeDecodeTable();

uint32_t Sextet(char c) {
    const int8_t v = DecodeTable[static_cast<uint8_t>(c)];
    if (v < 0) throw EDCP_cipher("Invalid Base64 text");
    return static_cast<uint32_t>(v);
}

}  // namespace

std::string Base64Encode(const std::string& bytes) {
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const uint32_t v = static_cast<uint8_t>(bytes[i]) << 16 | static_cast<uint8_t>(bytes[i + 1]) << 8 |
                           static_cast<uint8_t>(bytes[i + 2]);
        text += Alphabet[v >> 18];
        text += Alphabet[(v >> 12) & 63];
        text += Alphabet[(v >> 6) & 63];
        text += Alphabet[v & 63];
    }
    const size_t rest = bytes.size() - i;
    if (rest > 0) {
        uint32_t v = static_cast<uint8_t>(bytes[i]) << 16;
        if (rest == 2) v |= static_cast<uint8_t>(bytes[i + 1]) << 8;
        text += Alphabet[v >> 18];
        text += Alphabet[(v >> 12) & 63];
        text += rest == 2 ? Alphabet[(v >> 6) & 63] : '=';
        text += '=';
    }
    return text;
}

std::string Base64Decode(const std::string& text) {
    std::string bytes;
    bytes.reserve(text.size() / 4 * 3);
    for (size_t i = 0; i + 4 <= text.size(); i += 4) {
        const char c3 = text[i + 2];
        const char c4 = text[i + 3];
        uint32_t v = Sextet(text[i]) << 18 | Sextet(text[i + 1]) << 12;
        if (c3 == '=') {
            bytes += static_cast<char>(v >> 16);
            continue;
        }
        v |= Sextet(c3) << 6;
        if (c4 == '=') {
            bytes += static_cast<char>(v >> 16);
            bytes += static_cast<char>((v >> 8) & 0xFF);
            continue;
        }
        v |= Sextet(c4);
        bytes += static_cast<char>(v >> 16);
        bytes += static_cast<char>((v >> 8) & 0xFF);
        bytes += static_cast<char>(v & 0xFF);
    }
    return bytes;
}

}  // namespace tellvane
