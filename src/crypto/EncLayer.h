#pragma once
// One layer of the .enc format through one cipher: header, encrypted name, and the body in parts.
// The cipher state runs through the layer without a break: keyed from the pass phrase (CV = IV =
// E_K(0)), the name in 8-bit CFB, the body in CBC from the CV the name left.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/OperationCallbacks.h"

namespace tellvane {

class TDCP_blockcipher;
class TInputFile;
class TOutputFile;
struct TEncHeader;

// Wipes the cipher's keying when the pass ends, however it ends.
class TCipherBurnGuard {
public:
    explicit TCipherBurnGuard(TDCP_blockcipher& cipher) : cipher_(cipher) {}
    ~TCipherBurnGuard();
    TCipherBurnGuard(const TCipherBurnGuard&) = delete;
    TCipherBurnGuard& operator=(const TCipherBurnGuard&) = delete;

private:
    TDCP_blockcipher& cipher_;
};

// Keys CIPHER with PASSWORD and writes SIGN, the checksum and the encrypted STOREDNAME, then the
// whole of IN as the body. False when ONHALT stopped it. PASSCOUNT divides the reported PartSize.
bool EncryptLayer(TDCP_blockcipher& cipher, const std::string& sign, std::string_view password,
                  const TInputFile& in, const std::string& storedName, TOutputFile& out,
                  const THaltOperationCallback& onHalt, const TProgressOperationCallback& onProgress,
                  int64_t passCount);

// Keys CIPHER with PASSWORD and decrypts the stored name; the name's bytes as stored (not
// necessarily UTF-8) when it is not empty and its checksum matches, else nothing. Leaves the cipher keyed
// with CV just after the name, ready for the body.
std::optional<std::string> UnlockEncName(TDCP_blockcipher& cipher, const TEncHeader& header,
                                         std::string_view password);

// The body's first block of plaintext (less for a shorter body), for a look at what the layer
// holds; CIPHER is keyed again with PASSWORD and left as UnlockEncName leaves it.
std::string PeekLayerBody(TDCP_blockcipher& cipher, const TInputFile& in, const TEncHeader& header,
                          std::string_view password);

// Decrypts the body of IN into OUT with a cipher left ready by UnlockEncName. False when ONHALT
// stopped it. PARTSIZEDIVISOR 0 reports every PartSize as 0 (bytes already counted).
bool DecryptLayerBody(TDCP_blockcipher& cipher, const TInputFile& in, const TEncHeader& header, TOutputFile& out,
                      const THaltOperationCallback& onHalt, const TProgressOperationCallback& onProgress,
                      int64_t partSizeDivisor);

}  // namespace tellvane
