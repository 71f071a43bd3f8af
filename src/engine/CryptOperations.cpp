// Work of the encrypt and decrypt operations, and the choice of cipher by a file's signature.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

#include "crypto/CryptoAlgorithms.h"
#include "crypto/EncFileFormat.h"
#include "crypto/EncFileIO.h"
#include "engine/NotCompletedReports.h"
#include "engine/Operations.h"
#include "l10n/TextConstants.h"
#include "platform/FileSystem.h"
#include "platform/SystemError.h"
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

void TCrypt::SourceDone(const std::string& fileName, const TFileIdentity& read) {
    if (!DeleteSourceFiles) return;
    if (!SettleInBatches) return FinishSource(fileName, read);
    deletions_.Add(fileName, read);
}

void TCrypt::Settle(bool all) {
    if (deletions_.Empty() || (!all && !deletions_.Due())) return;
    deletions_.Settle([this](const std::string& fileName, const TFileIdentity& read) { FinishSource(fileName, read); });
}

void TCrypt::FinishSource(const std::string& fileName, const TFileIdentity& read) {
    // An editor's save renames a new file over the name, a log grows, a folder on the way became
    // a link: either way the output does not hold what the name now leads to, so it must stay.
    TFileIdentity now;
    const int err = DeleteFileIfSame(fileName, read, true, &now);
    if (err == ESTALE) throw EFileSkipped(Format(GetConstantValue("File_changed_kept"), {fileName}));
    if (err != 0)
        throw EFileSkipped(Format(GetConstantValue("Cannot_delete_file"), {fileName, FormatSystemError(err)}));
    if (now.links > 1) NoteAboutFile(fileName, Format(GetConstantValue("File_has_hard_links"), {fileName}));
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
