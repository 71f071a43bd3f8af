// Work of the encrypt and decrypt operations, and the choice of cipher by a file's signature.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

#include "crypto/CryptoAlgorithms.h"
#include "crypto/EncFileFormat.h"
#include "crypto/EncFileIO.h"
#include "engine/FilesIterationThread.h"
#include "engine/Operations.h"
#include "l10n/TextConstants.h"
#include "platform/FileSystem.h"
#include "platform/TextFormat.h"

namespace tellvane {

namespace {

// The first three bytes of FILENAME; fewer when the file is shorter. Throws ENotRegularFile or
// EFileError as TInputFile does.
std::string ReadSignature(const std::string& fileName) {
    const TInputFile in(fileName);
    std::string sign(EncSignatureBytes, '\0');
    sign.resize(in.ReadSomeAt(0, sign.data(), sign.size()));
    return sign;
}

}  // namespace

void TEncrypt::Work(const std::string& fileName) {
    if (Algo == nullptr) throw std::logic_error("no cipher chosen for encryption");
    const bool completed = Algo->Encrypt(fileName, Password, OnHalt, OnProgress, OnInvalidPassword);
    // Only a complete output replaces the source; a failed deletion is not reported.
    if (completed && DeleteSourceFiles) DeleteFile(fileName);
}

void TDecrypt::Work(const std::string& fileName) {
    if (!FindAlgorithm(fileName)) return;
    // A password given for this file is tried first on the next files of the run.
    const TInvalidPasswordCallback askAgain = [this](const std::string& name, std::string& newPassword) {
        if (!OnInvalidPassword || !OnInvalidPassword(name, newPassword)) return false;
        Password = newPassword;
        return true;
    };
    bool completed = false;
    try {
        completed = Algo->Decrypt(fileName, Password, OnHalt, OnProgress, askAgain);
    } catch (const ECryptoFileSkipped& e) {
        ReportNotCompleted(fileName, e.what());
        return;
    }
    if (completed && DeleteSourceFiles) DeleteFile(fileName);
}

bool TDecrypt::FindAlgorithm(const std::string& fileName) {
    const std::string sign = ReadSignature(fileName);
    // A file too short for a signature is reported like an unknown one instead of ending the run.
    TCryptoAlgorithm* found = sign.size() == EncSignatureBytes ? FindAlgorithmBySign(sign) : nullptr;
    if (found == nullptr) {
        ReportNotCompleted(fileName, Format(GetConstantValue("Encryption_algo_not_found"), {fileName}));
        return false;
    }
    Algo = found;
    return true;
}

}  // namespace tellvane
