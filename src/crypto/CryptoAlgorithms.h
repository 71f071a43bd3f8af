#pragma once
// The registry of the nineteen algorithm entries (eighteen ciphers and "All at once") and the
// .enc file format they write and read.
#include <memory>
#include <string>
#include <vector>

#include "engine/OperationCallbacks.h"

namespace tellvane {

class TCryptoAlgorithm {
public:
    virtual ~TCryptoAlgorithm() = default;
    // Writes FILENAME + ".enc"; true when the output was completed (not halted).
    virtual bool Encrypt(const std::string& fileName, const std::string& password,
                         const THaltOperationCallback& onHalt, const TProgressOperationCallback& onProgress,
                         const TInvalidPasswordCallback& onInvalidPassword) = 0;
    // Restores the file beside FILENAME under its stored name; true when it was completed (not
    // halted, not declined).
    virtual bool Decrypt(const std::string& fileName, const std::string& password,
                         const THaltOperationCallback& onHalt, const TProgressOperationCallback& onProgress,
                         const TInvalidPasswordCallback& onInvalidPassword) = 0;
    // The three-character signature.
    virtual const std::string& Sign() const = 0;
    // The entry's description from "cryptos" + LanguageID + ".ini" (empty when missing).
    virtual std::string GetDesc() const = 0;
};

void CreateAlgorithms();
void FreeAlgorithms();
std::vector<std::unique_ptr<TCryptoAlgorithm>>& AlgorithmList();

}  // namespace tellvane
