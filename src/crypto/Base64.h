#pragma once
// Base64 text of encrypted strings: standard alphabet, "=" padding, no line breaks.
#include <cstdint>
#include <string>

namespace tellvane {

// 4 * ceil(n/3) characters for n bytes.
std::string Base64Encode(const std::string& bytes);

// Decodes groups of four characters: a third character "=" yields one byte from the group, a
// fourth "=" two bytes; a trailing group of fewer than four characters is ignored. A character
// outside the alphabet (or "=" in a group's first two places) raises EDCP_cipher
// "Invalid Base64 text" rather than decoding to arbitrary bytes.
std::string Base64Decode(const std::string& text);

}  // namespace tellvane
