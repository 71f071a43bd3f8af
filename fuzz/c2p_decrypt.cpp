// A C2P file made of the input's bytes: its header read and written back byte for byte, then a
// whole decryption by the modern entry under the fixed pass phrase the seeds were made with.
// Afterwards the folder holds the restored file when the run reports it done, and nothing new
// otherwise. The seeds use the cheapest stretching; a header asking for more than a few KiB is
// only parsed, so that the fuzzer spends its time on the parsers rather than in Argon2id.
#include "FuzzSupport.h"
#include "FuzzTargets.h"
#include "crypto/BlockCipher.h"
#include "crypto/CryptoAlgorithms.h"
#include "crypto/ModernFormat.h"
#include "platform/ByteSource.h"
#include "platform/FileSystem.h"

using namespace tellvane;

namespace {

constexpr uint64_t CheapStretchingKiB = 64;  // passes times memory

// Decrypts the scratch folder's "in.enc"; true when the run reports the file done.
bool DecryptScratchFile(const uint8_t* data, size_t size) {
    fuzz::ClearScratch("");
    CreateAlgorithms();
    const std::string path = fuzz::WriteScratchFile("in.enc", data, size);
    return FindAlgorithmBySign(ModernSign)->Decrypt(path, "fuzz", {}, {}, {});
}

}  // namespace

int tellvane::fuzz::C2pDecrypt(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    try {
        const TModernHeader header = ReadModernHeader(TMemorySource(bytes));
        if (header.BodyOffset() + static_cast<int64_t>(ModernTagBytes) > static_cast<int64_t>(size))
            fuzz::Fail("a header that leaves no room for a body chunk");
        if (WriteModernHeader(header) != bytes.substr(0, static_cast<size_t>(header.BodyOffset())))
            fuzz::Fail("a header that does not write back as it was read");
        if (uint64_t{header.passes} * header.memoryKiB > CheapStretchingKiB) return 0;
    } catch (const EModernStretching& e) {
        if (e.passes >= 1 && e.passes <= ModernMaxPasses && e.memoryKiB >= ModernMinMemoryKiB &&
            e.memoryKiB <= ModernMaxMemoryKiB)
            fuzz::Fail("a stretching within the bounds refused");
    } catch (const EModernDamaged&) {
    }
    bool done = false;
    try {
        done = DecryptScratchFile(data, size);
    } catch (const EFileSkipped&) {
    } catch (const EFileError&) {
    }
    fuzz::CheckRestoredOnlyWhenDone(done);
    return 0;
}

std::string tellvane::fuzz::C2pDecryptOutcome(const uint8_t* data, size_t size) {
    return fuzz::DecryptionOutcome([&] { return DecryptScratchFile(data, size); });
}
