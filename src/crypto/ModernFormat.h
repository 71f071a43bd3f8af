#pragma once
// The "C2P" file: a pass phrase stretched with Argon2id, a per-file key from it, and the name and
// body sealed with ChaCha20-Poly1305 in 64 KiB chunks, each authenticated before it is written.
//
//   0  "C2P"   3  version 1   4  Argon2id passes (LE32)   8  memory KiB (LE32)
//   12 salt (16)   28 file nonce (16)   44 L (LE16)   46 name chunk (L)   46+L body chunks
#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

#include "base/OperationCallbacks.h"
#include "platform/SecureWipe.h"

namespace tellvane {

class TByteSource;
class TInputFile;
class TOutputFile;

constexpr char ModernSign[] = "C2P";
constexpr uint8_t ModernVersion = 1;
constexpr uint32_t ModernPasses = 3;
constexpr uint32_t ModernMemoryKiB = 65536;
// What a reader accepts: a file may ask for more than we write, but not for a stretching that
// would exhaust the machine or never end.
constexpr uint32_t ModernMaxPasses = 16;
constexpr uint32_t ModernMinMemoryKiB = 8;
constexpr uint32_t ModernMaxMemoryKiB = 1u << 20;
constexpr size_t ModernSaltBytes = 16;
constexpr size_t ModernNonceBytes = 16;
constexpr size_t ModernKeyBytes = 32;
constexpr size_t ModernTagBytes = 16;
constexpr size_t ModernAssociatedBytes = 44;  // the header before L: the name chunk's associated data
constexpr int64_t ModernPrefixBytes = 46;
constexpr int64_t ModernChunkBytes = 65536;
constexpr int64_t ModernSealedChunkBytes = ModernChunkBytes + static_cast<int64_t>(ModernTagBytes);

using TModernSalt = std::array<uint8_t, ModernSaltBytes>;
using TModernNonce = std::array<uint8_t, ModernNonceBytes>;
using TModernKey = TWipedArray<uint8_t, ModernKeyBytes>;

// A file whose bytes do not authenticate or do not fit the format: changed, cut, reordered.
class EModernDamaged : public std::runtime_error {
public:
    EModernDamaged() : std::runtime_error("damaged or changed") {}
};

// A header that asks for a stretching outside what a reader accepts: refused before any memory
// is taken for it.
class EModernStretching : public EModernDamaged {
public:
    EModernStretching(uint32_t askedPasses, uint32_t askedMemoryKiB) : passes(askedPasses), memoryKiB(askedMemoryKiB) {}
    uint32_t passes;
    uint32_t memoryKiB;
};

struct TModernHeader {
    uint32_t passes = ModernPasses;
    uint32_t memoryKiB = ModernMemoryKiB;
    TModernSalt salt{};
    TModernNonce fileNonce{};
    std::string nameChunk;  // sealed name, tag included
    // The 44 bytes the name chunk authenticates.
    std::string AssociatedData() const;
    int64_t BodyOffset() const { return ModernPrefixBytes + static_cast<int64_t>(nameChunk.size()); }
};

// Reads the header of IN. Throws EModernStretching for stretching parameters outside the accepted
// range, EModernDamaged for another signature, a version other than 1, a name chunk shorter than
// its tag or a file that ends before its first body chunk.
TModernHeader ReadModernHeader(const TByteSource& in);
// The header's bytes up to the body.
std::string WriteModernHeader(const TModernHeader& header);

// Plaintext bytes of a body whose sealed form takes SEALEDBYTES; throws EModernDamaged when no
// writer makes a body of that size (no chunk, a last chunk shorter than its tag, or an empty last
// chunk after full ones).
int64_t ModernPlainBodyBytes(int64_t sealedBytes);

// Argon2id (version 1.3) over the pass phrase's bytes as they are. Throws std::runtime_error when
// the memory cannot be had.
void DeriveModernRunKey(std::string_view passPhrase, const TModernSalt& salt, uint32_t passes, uint32_t memoryKiB,
                        TModernKey& runKey);
// HMAC-SHA-256 under the run key over the file nonce.
void DeriveModernFileKey(const TModernKey& runKey, const TModernNonce& fileNonce, TModernKey& fileKey);
// Random bytes from the system's generator.
void FillModernRandom(uint8_t* data, size_t size);

// Seals NAME as chunk 0 under FILEKEY; HEADER.nameChunk receives it.
void SealModernName(const TModernKey& fileKey, const std::string& name, TModernHeader& header);
// The stored name, or nothing when the name chunk does not authenticate (wrong pass phrase or a
// changed header).
std::optional<std::string> OpenModernName(const TModernKey& fileKey, const TModernHeader& header);

// Seals the whole of IN as body chunks written after the header already in OUT (HEADERBYTES
// long). The chunks are spread over the processor's cores. False when ONHALT stopped it.
bool SealModernBody(const TModernKey& fileKey, const TInputFile& in, TOutputFile& out, int64_t headerBytes,
                    const THaltOperationCallback& onHalt, const TProgressOperationCallback& onProgress);
// Opens the body of IN that starts at BODYOFFSET into OUT; every chunk is written only after its
// tag checked. Throws EModernDamaged for a chunk that does not authenticate. False when ONHALT
// stopped it.
bool OpenModernBody(const TModernKey& fileKey, const TInputFile& in, int64_t bodyOffset, TOutputFile& out,
                    const THaltOperationCallback& onHalt, const TProgressOperationCallback& onProgress);

}  // namespace tellvane
