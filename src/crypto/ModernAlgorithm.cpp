#include "crypto/ModernAlgorithm.h"

#include "crypto/EncFileFormat.h"
#include "crypto/EncFileIO.h"
#include "crypto/ModernFormat.h"
#include "crypto/OutputReplacement.h"
#include "crypto/RunKeys.h"
#include "l10n/TextConstants.h"
#include "platform/Paths.h"
#include "platform/TextFormat.h"

namespace tellvane {

namespace {

EFileSkipped Damaged(const std::string& fileName) {
    return EFileSkipped(Format(GetConstantValue("File_damaged_or_changed"), {fileName}));
}

class TModernAlgorithm final : public TCryptoAlgorithm {
public:
    const std::string& Sign() const override { return sign_; }
    std::string Caption() const override { return "ChaCha20-Poly1305 (Argon2id)"; }
    std::string GetDesc() const override { return AlgorithmDescription(sign_); }
    // The key is stretched from the pass phrase's UTF-8 bytes: nothing collapses.
    bool PassPhraseInCodePage() const override { return false; }

    bool Encrypt(const std::string& fileName, std::string_view password, const THaltOperationCallback& onHalt,
                 const TProgressOperationCallback& onProgress, const TInvalidPasswordCallback&,
                 const TCryptFileOptions& options) override {
        TEncryptionFiles files(fileName, options);
        TModernHeader header;
        TModernKey runKey;
        if (options.runKeys != nullptr) {
            header.salt = options.runKeys->EncryptionSalt();
            options.runKeys->Derive(password, header.salt, header.passes, header.memoryKiB, runKey);
        } else {
            FillModernRandom(header.salt.data(), header.salt.size());
            DeriveModernRunKey(password, header.salt, header.passes, header.memoryKiB, runKey);
        }
        FillModernRandom(header.fileNonce.data(), header.fileNonce.size());
        TModernKey fileKey;
        DeriveModernFileKey(runKey, header.fileNonce, fileKey);
        SealModernName(fileKey, ExtractFileName(fileName), header);
        const std::string head = WriteModernHeader(header);
        files.Out().Write(head.data(), head.size());
        if (!SealModernBody(fileKey, files.In(), files.Out(), static_cast<int64_t>(head.size()), onHalt, onProgress))
            return false;
        files.Commit();
        return true;
    }

    bool Decrypt(const std::string& fileName, std::string_view password, const THaltOperationCallback& onHalt,
                 const TProgressOperationCallback& onProgress, const TInvalidPasswordCallback& onInvalidPassword,
                 const TCryptFileOptions& options) override {
        TInputFile in(fileName);
        if (options.onSourceOpened) options.onSourceOpened(in.Identity());
        TModernHeader header;
        try {
            header = ReadModernHeader(in);
            ModernPlainBodyBytes(in.Size() - header.BodyOffset());
        } catch (const EModernStretching& e) {
            throw EFileSkipped(StretchingRefusedMessage(fileName, e));
        } catch (const EModernDamaged&) {
            throw Damaged(fileName);
        }
        // A name chunk that does not open means another pass phrase (or a changed header).
        TSecretString pass = password;
        TModernKey fileKey;
        for (;;) {
            TModernKey runKey;
            if (options.runKeys != nullptr)
                options.runKeys->Derive(pass.view(), header.salt, header.passes, header.memoryKiB, runKey);
            else
                DeriveModernRunKey(pass.view(), header.salt, header.passes, header.memoryKiB, runKey);
            DeriveModernFileKey(runKey, header.fileNonce, fileKey);
            if (const std::optional<std::string> name = OpenModernName(fileKey, header)) {
                return Restore(fileName, in, header, fileKey, *name, onHalt, onProgress, options);
            }
            TSecretString newPassword;
            if (!onInvalidPassword || !onInvalidPassword(fileName, newPassword)) return false;
            pass = newPassword;
        }
    }

private:
    static bool Restore(const std::string& fileName, const TInputFile& in, const TModernHeader& header,
                        const TModernKey& fileKey, const std::string& name, const THaltOperationCallback& onHalt,
                        const TProgressOperationCallback& onProgress, const TCryptFileOptions& options) {
        if (!IsPlainFileName(name))
            throw EFileSkipped(Format(GetConstantValue("Stored_name_not_plain"), {fileName}));
        const std::string finalPath = ExtractFilePath(fileName) + name;
        if (in.IsSameFileIn(name))
            throw EFileSkipped(Format(GetConstantValue("Decrypt_replaces_itself"), {fileName}));
        const bool mayReplace = MayReplaceOutput(finalPath, options);
        TOutputFile out(in.Folder(), finalPath, in.Identity());
        try {
            if (!OpenModernBody(fileKey, in, header.BodyOffset(), out, onHalt, onProgress)) return false;
        } catch (const EModernDamaged&) {
            throw Damaged(fileName);
        }
        CommitOutput(out, options, mayReplace);
        return true;
    }

    const std::string sign_ = ModernSign;
};

}  // namespace

std::unique_ptr<TCryptoAlgorithm> CreateModernAlgorithm() { return std::make_unique<TModernAlgorithm>(); }

std::string StretchingRefusedMessage(const std::string& fileName, const EModernStretching& refusal) {
    return Format(GetConstantValue("Stretching_refused"),
                  {fileName, static_cast<long long>(refusal.passes), static_cast<long long>(refusal.memoryKiB),
                   static_cast<long long>(ModernMaxPasses), static_cast<long long>(ModernMinMemoryKiB),
                   static_cast<long long>(ModernMaxMemoryKiB)});
}

}  // namespace tellvane
