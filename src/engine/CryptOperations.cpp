// Work of the encrypt and decrypt operations, and the choice of cipher by a file's signature.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

#include "crypto/CryptoAlgorithms.h"
#include "crypto/EncFileFormat.h"
#include "crypto/EncFileIO.h"
#include "engine/Operations.h"
#include "engine/SourceDisposal.h"
#include "engine/WipeWarnings.h"
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

TCryptFileOptions TCrypt::FileOptions() const {
    TCryptFileOptions options;
    // Only a source about to go needs its output on the device first; kept sources stay fast. A
    // batch flushes its outputs together before their sources go.
    options.durable = DeleteSourceFiles && !SettleInBatches;
    options.runKeys = RunKeys.get();
    options.onReplace = OnReplaceFile ? OnReplaceFile : [](const std::string&) { return false; };
    return options;
}

void TCrypt::BeforeRun(const std::vector<std::string>& fileNames) {
    if (DeleteSourceFiles && WipeSourceWith != nullptr) WarnAboutWipeLimits(fileNames);
}

void TCrypt::SourceDone(const std::string& fileName, const TFileIdentity& read) {
    if (!DeleteSourceFiles) return;
    if (!SettleInBatches) return FinishSource(fileName, read);
    deletions_.Add(fileName, read);
}

void TCrypt::Settle(bool all) {
    if (deletions_.Idle()) return;
    deletions_.Settle(all, [this](const TParentFolder& parent, const std::string& fileName, const TFileIdentity& read) {
        // After Cancel an unlinking costs nothing, but a wipe may take long: that source stays whole.
        if (WipeSourceWith != nullptr && OnHalt && OnHalt())
            throw EFileSkipped(Format(GetConstantValue("Not_reached"), {fileName}));
        DisposeSourceIn(parent, fileName, read, {WipeSourceWith, OnHalt});
    });
}

void TCrypt::FinishSource(const std::string& fileName, const TFileIdentity& read) {
    DisposeSource(fileName, read, {WipeSourceWith, OnHalt});
}

void TCrypt::ReportIncomplete(const std::string& fileName) {
    if (OnHalt && OnHalt()) return;  // the run ends; the worker lists what it did not finish
    throw EFileSkipped(Format(GetConstantValue("Password_declined"), {fileName}));
}

void TEncrypt::Work(const std::string& fileName) {
    if (Algo == nullptr) throw std::logic_error("no cipher chosen for encryption");
    // The source as its descriptor saw it when reading began: deleted later only if the name
    // still holds it so.
    std::optional<TFileIdentity> read;
    TCryptFileOptions options = FileOptions();
    options.onSourceOpened = [&read](const TFileIdentity& id) { read = id; };
    const bool completed = Algo->Encrypt(fileName, Password, OnHalt, OnProgress, OnInvalidPassword, options);
    if (!completed) return ReportIncomplete(fileName);
    if (read) SourceDone(fileName, *read);
}

void TDecrypt::Work(const std::string& fileName) {
    FindAlgorithm(fileName);
    std::optional<TFileIdentity> read;
    TCryptFileOptions options = FileOptions();
    options.onSourceOpened = [&read](const TFileIdentity& id) { read = id; };
    // A password given for this file is tried first on the next files of the run.
    const TInvalidPasswordCallback askAgain = [this](const std::string& name, TSecretString& newPassword) {
        if (!OnInvalidPassword || !OnInvalidPassword(name, newPassword)) return false;
        Password = newPassword;
        return true;
    };
    const bool completed = Algo->Decrypt(fileName, Password, OnHalt, OnProgress, askAgain, options);
    if (!completed) return ReportIncomplete(fileName);
    if (read) SourceDone(fileName, *read);
}

void TDecrypt::FindAlgorithm(const std::string& fileName) {
    const std::string sign = ReadSignature(fileName);
    // A file too short for a signature is reported like an unknown one; the box comes at once.
    TCryptoAlgorithm* found = sign.size() == EncSignatureBytes ? FindAlgorithmBySign(sign) : nullptr;
    if (found == nullptr)
        throw EFileSkipped(Format(GetConstantValue("Encryption_algo_not_found"), {fileName}), TSkipNotice::AtOnce);
    Algo = found;
}

}  // namespace tellvane
