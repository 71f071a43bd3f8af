#pragma once
// The registry of the algorithm entries (eighteen ciphers, "All at once" and the modern entry) and
// the .enc file formats they write and read.
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/OperationCallbacks.h"
#include "base/Options.h"

namespace tellvane {

class TRunKeys;
struct TFileIdentity;  // platform/FileSystem.h

// What one file's pass needs besides the pass phrase and the progress callbacks.
struct TCryptFileOptions {
    // The source is deleted next: the output and its folder reach the device before returning.
    bool durable = false;
    // Asked when the output's name is taken; without it an existing file is replaced.
    TReplaceFileCallback onReplace;
    // Told the identity of the source's descriptor when reading began: the file a later deletion
    // must find unchanged under the name.
    std::function<void(const TFileIdentity&)> onSourceOpened;
    // The run's stretched keys, shared by its files; without it every file stretches its own.
    TRunKeys* runKeys = nullptr;
};

class TCryptoAlgorithm {
public:
    virtual ~TCryptoAlgorithm() = default;
    // PASSWORD is the pass phrase as typed (UTF-8); each entry makes its key bytes from it.
    // Writes FILENAME + ".enc"; true when the output was completed (not halted). Throws
    // EFileSkipped when the output may not replace a file of its name.
    virtual bool Encrypt(const std::string& fileName, const std::string& password,
                         const THaltOperationCallback& onHalt, const TProgressOperationCallback& onProgress,
                         const TInvalidPasswordCallback& onInvalidPassword, const TCryptFileOptions& options = {}) = 0;
    // Restores the file beside FILENAME under its stored name; true when it was completed (not
    // halted, not declined).
    virtual bool Decrypt(const std::string& fileName, const std::string& password,
                         const THaltOperationCallback& onHalt, const TProgressOperationCallback& onProgress,
                         const TInvalidPasswordCallback& onInvalidPassword, const TCryptFileOptions& options = {}) = 0;
    // The three-character signature.
    virtual const std::string& Sign() const = 0;
    // The entry's description from "cryptos" + LanguageID + ".ini" (empty when missing).
    virtual std::string GetDesc() const = 0;
    // The text of the entry in the algorithm combo box ("Blowfish", ..., "All at once").
    virtual std::string Caption() const { return Sign(); }
    // Whether the key comes from the pass phrase in the ANSI code page, where characters it
    // lacks collapse to "?" (a new pass phrase with such characters is then refused).
    virtual bool PassPhraseInCodePage() const { return true; }
};

// Builds the entries (idempotent), with their descriptions in LANGUAGE, and sets the pass
// count to 1.
void CreateAlgorithms(const TLanguageChoice& language = {});
void FreeAlgorithms();
std::vector<std::unique_ptr<TCryptoAlgorithm>>& AlgorithmList();
// The first entry, in index order, whose signature is SIGN byte for byte; null when none.
TCryptoAlgorithm* FindAlgorithmBySign(const std::string& sign);

// Cipher passes per file that the progress report divides PartSize by: 18 for "All at once",
// else 1; set before each encryption run.
int AlgorithmPassCount();
void SetAlgorithmPassCount(int count);

// AppFolder + "cryptos" + LanguageID + ".ini", as chosen by CreateAlgorithms.
std::string AlgorithmDescriptionsFile();
// The description of the entry SIGN in that file (empty when missing).
std::string AlgorithmDescription(const std::string& sign);

// Index of the "All at once" entry, which is also the number of ciphers it cascades.
constexpr int AllAtOnceIndex = 18;

}  // namespace tellvane
