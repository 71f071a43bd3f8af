#include "crypto/EncLayer.h"

#include <algorithm>

#include "crypto/BlockCipher.h"
#include "crypto/CorePool.h"
#include "crypto/EncFileFormat.h"
#include "crypto/EncFileIO.h"
#include "crypto/PartLoop.h"
#include "platform/CodePage.h"

namespace tellvane {

TCipherBurnGuard::~TCipherBurnGuard() { cipher_.Burn(); }

namespace {

TPartLoopJob BodyJob(TDCP_blockcipher& cipher, const TInputFile& in, int64_t offset, int64_t size, TOutputFile& out,
                     const THaltOperationCallback& onHalt, const TProgressOperationCallback& onProgress,
                     int64_t divisor) {
    TPartLoopJob job;
    job.input = &in;
    job.inputOffset = offset;
    job.output = &out;
    job.totalSize = size;
    job.blockBytes = cipher.GetBlockSize() / 8;
    job.onHalt = onHalt;
    job.onProgress = onProgress;
    job.partSizeDivisor = divisor;
    return job;
}

}  // namespace

bool EncryptLayer(TDCP_blockcipher& cipher, const std::string& sign, const std::string& password,
                  const TInputFile& in, const std::string& storedName, TOutputFile& out,
                  const THaltOperationCallback& onHalt, const TProgressOperationCallback& onProgress,
                  int64_t passCount) {
    TCipherBurnGuard burn(cipher);
    cipher.InitStr(password);
    uint32_t crc = 0;
    NameChecksum(storedName, crc);
    const std::string header = EncodeEncHeader(sign, crc, cipher.EncryptString(storedName));
    out.Write(header.data(), header.size());
    TPartLoopJob job = BodyJob(cipher, in, 0, in.Size(), out, onHalt, onProgress, passCount);
    job.transform = [&cipher](uint8_t* data, size_t size) { cipher.Encrypt(data, data, size); };
    return ProcessInParts(job);
}

std::optional<std::string> UnlockEncName(TDCP_blockcipher& cipher, const TEncHeader& header,
                                         const std::string& password) {
    cipher.InitStr(password);
    std::string name;
    try {
        name = cipher.DecryptString(header.encryptedName);
    } catch (const EDCP_cipher&) {
        // Text that is not Base64 decodes under no pass phrase: a mismatch like any other.
        return std::nullopt;
    }
    // The checksum is over the name's UTF-16 text, invalid sequences read as U+FFFD. A Linux name
    // in another encoding ("caf\xE9") is kept as its bytes, so it comes back exactly.
    uint32_t crc = 0;
    if (!NameChecksum(SanitizeUtf8(name), crc) || crc != header.nameCrc) return std::nullopt;
    return name;
}

std::string PeekLayerBody(TDCP_blockcipher& cipher, const TInputFile& in, const TEncHeader& header,
                          const std::string& password) {
    std::string head(static_cast<size_t>(std::min<int64_t>(cipher.GetBlockSize() / 8, header.bodySize)), '\0');
    head.resize(in.ReadSomeAt(header.bodyOffset, head.data(), head.size()));
    cipher.Decrypt(head.data(), head.data(), head.size());
    UnlockEncName(cipher, header, password);
    return head;
}

bool DecryptLayerBody(TDCP_blockcipher& cipher, const TInputFile& in, const TEncHeader& header, TOutputFile& out,
                      const THaltOperationCallback& onHalt, const TProgressOperationCallback& onProgress,
                      int64_t partSizeDivisor) {
    TPartLoopJob job = BodyJob(cipher, in, header.bodyOffset, header.bodySize, out, onHalt, onProgress, partSizeDivisor);
    // Decryption has no chain from block to block, so it spreads over the cores; one core keeps
    // the plain call.
    if (TCorePool* pool = SharedCorePool())
        job.transform = [&cipher, pool](uint8_t* data, size_t size) { cipher.DecryptCBC(data, data, size, *pool); };
    else
        job.transform = [&cipher](uint8_t* data, size_t size) { cipher.Decrypt(data, data, size); };
    return ProcessInParts(job);
}

}  // namespace tellvane
