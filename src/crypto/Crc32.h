#pragma once
// The checksum an .enc file carries for its source file's name: the reflected CRC-32 (polynomial
// 0xEDB88320, as zlib, PNG and ZIP) over the name's UTF-16LE code units.
#include <cstdint>
#include <string>

namespace tellvane {

// Folds COUNT bytes of DATA into the running checksum CRC (no pre- or post-inversion).
void UpdateCRC32(const void* data, int32_t count, uint32_t& crc);

// False for an empty TEXT (CRC is then left alone); otherwise true with the CRC-32 of TEXT's
// UTF-16 code units, each low byte first, in CRC.
bool StringCRC32(const std::u16string& text, uint32_t& crc);

}  // namespace tellvane
