// The .enc header reader over the input's bytes, then the stored name unlocked under a
// fixed pass phrase by the cipher the signature names; an unknown signature is tried with the
// cipher the first byte picks, so that every cipher's name path is reached.
#include <memory>
#include <vector>

#include "FuzzSupport.h"
#include "FuzzTargets.h"
#include "crypto/CipherFactory.h"
#include "crypto/EncFileFormat.h"
#include "crypto/EncLayer.h"
#include "platform/ByteSource.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"

using namespace tellvane;

int tellvane::fuzz::EncHeader(const uint8_t* data, size_t size) {
    static std::vector<std::unique_ptr<TDCP_blockcipher>> ciphers = [] {
        std::vector<std::unique_ptr<TDCP_blockcipher>> list;
        for (const auto& entry : CipherFactoryTable()) list.push_back(entry.Create());
        return list;
    }();
    const TMemorySource in(std::string_view(reinterpret_cast<const char*>(data), size));
    TEncHeader header;
    try {
        header = ReadEncHeader(in);
    } catch (const EFileError&) {
        return 0;
    }
    if (header.bodyOffset != EncHeaderBytes + static_cast<int64_t>(header.encryptedName.size()) ||
        header.bodySize < 0 || header.bodyOffset + header.bodySize != static_cast<int64_t>(size))
        fuzz::Fail("header fields disagree with the file");
    size_t index = size > 0 ? data[0] % CipherCount : 0;
    for (size_t i = 0; i < CipherCount; ++i)
        if (CipherFactoryTable()[i].Sign == header.sign) index = i;
    TDCP_blockcipher& cipher = *ciphers[index];
    TCipherBurnGuard burn(cipher);
    const std::optional<std::string> name = UnlockEncName(cipher, header, "fuzz");
    if (name) {
        // The name comes back as stored, bytes that are not UTF-8 included; its checksum is
        // over the text those bytes read as.
        uint32_t crc = 0;
        if (!NameChecksum(SanitizeUtf8(*name), crc) || crc != header.nameCrc)
            fuzz::Fail("an unlocked name that does not check");
        IsPlainFileName(*name);
    }
    return 0;
}

std::string tellvane::fuzz::EncHeaderOutcome(const uint8_t* data, size_t size) {
    const TMemorySource in(std::string_view(reinterpret_cast<const char*>(data), size));
    TEncHeader header;
    try {
        header = ReadEncHeader(in);
    } catch (const EFileError& e) {
        return std::string("refused: ") + e.what();
    }
    const TCipherFactoryEntry* entry = nullptr;
    for (const auto& e : CipherFactoryTable())
        if (e.Sign == header.sign) entry = &e;
    if (entry == nullptr) return "refused: no cipher signs " + Printable(header.sign);
    const std::unique_ptr<TDCP_blockcipher> cipher = entry->Create();
    TCipherBurnGuard burn(*cipher);
    const std::optional<std::string> name = UnlockEncName(*cipher, header, "fuzz");
    if (!name) return "accepted: the name does not unlock under the pass phrase";
    return "accepted: name \"" + Printable(*name) + "\"" + (IsPlainFileName(*name) ? "" : ", not a plain file name");
}
