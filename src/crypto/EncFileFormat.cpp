#include "crypto/EncFileFormat.h"

#include "crypto/Base64.h"
#include "crypto/BlockCipher.h"
#include "crypto/Crc32.h"
#include "platform/ByteSource.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"

namespace tellvane {

namespace {

void PutLE32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

uint32_t GetLE32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

}  // namespace

std::string EncodeEncHeader(const std::string& sign, uint32_t nameCrc, const std::string& encryptedName) {
    std::string out = sign.substr(0, 3);
    PutLE32(out, nameCrc);
    PutLE32(out, static_cast<uint32_t>(encryptedName.size()));
    out += encryptedName;
    return out;
}

TEncHeader ReadEncHeader(const TByteSource& in) {
    const int64_t fileSize = in.Size();
    uint8_t fixed[EncHeaderBytes];
    if (fileSize < EncHeaderBytes) throw EFileError("Stream read error");
    in.ReadAt(0, fixed, sizeof fixed);
    TEncHeader h;
    h.sign.assign(reinterpret_cast<const char*>(fixed), 3);
    h.nameCrc = GetLE32(fixed + 3);
    const auto nameLength = static_cast<int32_t>(GetLE32(fixed + 7));
    // Checked against the file's size, and against the longest name any writer can store, before
    // anything is allocated for it: a forged length must not cost gigabytes of memory.
    if (nameLength < 0 || nameLength > fileSize - EncHeaderBytes || nameLength > EncMaxNameLength)
        throw EFileError("Stream read error");
    h.encryptedName.resize(static_cast<size_t>(nameLength));
    in.ReadAt(EncHeaderBytes, h.encryptedName.data(), h.encryptedName.size());
    h.bodyOffset = EncHeaderBytes + nameLength;
    h.bodySize = fileSize - h.bodyOffset;
    return h;
}

bool IsWellFormedEncName(const std::string& encryptedName) {
    const size_t size = encryptedName.size();
    if (size == 0 || size % 4 != 0) return false;
    // Padding only closes the text: "x=" or "==" in the last group.
    const size_t pad = encryptedName.find('=');
    if (pad != std::string::npos && (pad < size - 2 || encryptedName.back() != '=')) return false;
    try {
        return !Base64Decode(encryptedName).empty();
    } catch (const EDCP_cipher&) {
        return false;
    }
}

bool NameChecksum(const std::string& utf8Name, uint32_t& crc) {
    return StringCRC32(Utf8ToUtf16(utf8Name), crc);
}

bool IsPlainFileName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    return name.find('/') == std::string::npos && name.find('\0') == std::string::npos;
}

}  // namespace tellvane
