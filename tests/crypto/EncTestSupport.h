#pragma once
// Shared set-up of the .enc tests: a registry built over temporary application and data folders,
// and a reference reader and writer of the format for RIJ written straight on Crypto++'s AES.
#include <cstdint>
#include <string>
#include <vector>

#include "support/TestSupport.h"

namespace tellvane::test {

// Points the application and data folders at temporary folders and builds the registry;
// frees it again at the end.
class TRegistryScope {
public:
    TRegistryScope();
    ~TRegistryScope();
    const TempDir& App() const { return app_; }
    const TempDir& Data() const { return data_; }

private:
    TempDir app_;
    TempDir data_;
    std::string oldApp_;
    std::string oldData_;
};

// What the reference reader found in an RIJ .enc file.
struct TReferenceDecoded {
    bool nameMatches = false;  // the stored checksum equals the CRC-32 of the decrypted name
    std::string name;          // UTF-8
    std::vector<uint8_t> body;
};

// Decodes an RIJ .enc file from first principles: key = SHA-1(pass) + four zero bytes as AES-192,
// IV = E_K(0), the name in 8-bit CFB after Base64, the body in CBC parts with the tail rule.
TReferenceDecoded ReferenceDecodeRij(const std::vector<uint8_t>& file, const std::string& password);
// Writes the RIJ .enc bytes for NAME (ASCII) and BODY the same way.
std::vector<uint8_t> ReferenceEncodeRij(const std::string& name, const std::vector<uint8_t>& body,
                                        const std::string& password);

}  // namespace tellvane::test
