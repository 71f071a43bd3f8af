#pragma once
// The fixed bytes of an .enc file: the 3-byte signature, the name checksum, the length of the
// encrypted name (all little-endian) and the encrypted name itself; the body follows to the end.
#include <cstdint>
#include <string>

namespace tellvane {

class TByteSource;

constexpr int64_t EncSignatureBytes = 3;
constexpr int64_t EncHeaderBytes = 11;  // signature, NameCRC, NameLength
// No file name comes near this: 255 UTF-16 units are at most 765 UTF-8 bytes, 1020 in Base64.
constexpr int32_t EncMaxNameLength = 65536;

struct TEncHeader {
    std::string sign;           // 3 bytes
    uint32_t nameCrc = 0;       // CRC-32 of the stored name's UTF-16LE text
    std::string encryptedName;  // Base64 text of the 8-bit CFB of the name's UTF-8
    int64_t bodyOffset = 0;     // 11 + NameLength
    int64_t bodySize = 0;       // the rest of the file
};

// The 11 + NameLength bytes written before the body.
std::string EncodeEncHeader(const std::string& sign, uint32_t nameCrc, const std::string& encryptedName);

// Reads the header of IN (an .enc file, or its bytes). Throws EFileError "Stream read error" for
// input shorter than 11 bytes or than the name its header announces, and for a NameLength that is
// negative or above EncMaxNameLength.
TEncHeader ReadEncHeader(const TByteSource& in);

// An encrypted name as writers store it: Base64 text of at least one byte, in whole groups of four.
// Says nothing of the pass phrase; a name that fails here can never be unlocked.
bool IsWellFormedEncName(const std::string& encryptedName);

// The CRC-32 of UTF8NAME's UTF-16 text; false for an empty name.
bool NameChecksum(const std::string& utf8Name, uint32_t& crc);

// A stored name that may be used as it stands: not empty, not "." or "..", no "/" and no NUL.
bool IsPlainFileName(const std::string& name);

}  // namespace tellvane
