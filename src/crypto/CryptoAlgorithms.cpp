#include "crypto/CryptoAlgorithms.h"

#include <algorithm>

#include "base/Options.h"
#include "crypto/BlockCipher.h"
#include "crypto/CipherFactory.h"
#include "crypto/CorePool.h"
#include "crypto/EncFileFormat.h"
#include "crypto/EncFileIO.h"
#include "crypto/EncLayer.h"
#include "crypto/LayerPipeline.h"
#include "crypto/ModernAlgorithm.h"
#include "crypto/OutputReplacement.h"
#include "l10n/TextConstants.h"
#include "platform/AppFolders.h"
#include "platform/CodePage.h"
#include "platform/SecretString.h"
#include "platform/FileSystem.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/TextFormat.h"

namespace tellvane {

namespace {

struct TRegistryState {
    std::vector<std::unique_ptr<TCryptoAlgorithm>> list;
    std::string descriptionsFile;
    uint32_t descriptionsCodePage = 0;
    int passCount = 1;
};

TRegistryState& State() {
    static TRegistryState state;
    return state;
}

class TAlgorithmBase : public TCryptoAlgorithm {
public:
    TAlgorithmBase(std::string sign, std::string caption) : sign_(std::move(sign)), caption_(std::move(caption)) {}
    const std::string& Sign() const override { return sign_; }
    std::string Caption() const override { return caption_; }
    std::string GetDesc() const override { return AlgorithmDescription(sign_); }

private:
    std::string sign_;
    std::string caption_;
};

// Spreads a file's share of the run's progress evenly over the layers expected in it, so that the
// whole-run bar moves through every layer and reaches the file's end only with the last one.
// Pipelined layers run at once: the share credited is that of all layers' fractions together.
class TLayerShare {
public:
    TLayerShare(const TProgressOperationCallback& report, int64_t fileShare) : report_(report), share_(fileShare) {}

    void SetExpectedLayers(int64_t layers) { layers_ = std::max<int64_t>(layers, 1); }

    // The progress callback of the next layer, after those done in turn or in a pipeline.
    TProgressOperationCallback NextLayer() { return Layer(++layer_); }
    // The progress callback of layer LAYER (0: the outer one).
    TProgressOperationCallback Layer(int64_t layer) {
        layer = std::min(layer, layers_ - 1);
        return [this, layer](int64_t done, int64_t total, int64_t, double timeOnPart) {
            fractions_.resize(static_cast<size_t>(layers_), {0, 1});
            fractions_[static_cast<size_t>(layer)] = {std::clamp<int64_t>(done, 0, std::max<int64_t>(total, 1)),
                                                      std::max<int64_t>(total, 1)};
            Credit(std::clamp(Target(), credited_, share_), done, total, timeOnPart);
        };
    }
    // LAYERS layers were done in a pipeline; the next one follows them.
    void SkipLayers(int64_t layers) { layer_ = layers - 1; }
    // Credits what is left of the share when the file had fewer layers than expected.
    void Finish() { Credit(share_, lastDone_, lastTotal_, 0); }

private:
    // share * (sum of the layers' fractions) / layers: exact in integers while at most one layer
    // is under way, as it always is unpipelined.
    int64_t Target() const {
        int64_t whole = 0;
        std::vector<std::pair<int64_t, int64_t>> partial;
        for (const auto& [done, total] : fractions_) {
            if (done >= total) ++whole;
            else if (done > 0) partial.push_back({done, total});
        }
        if (partial.size() <= 1) {
            const auto [d, t] = partial.empty() ? std::pair<int64_t, int64_t>{0, 1} : partial[0];
            return static_cast<int64_t>(static_cast<__int128>(share_) * (whole * static_cast<__int128>(t) + d) /
                                        (layers_ * static_cast<__int128>(t)));
        }
        long double sum = static_cast<long double>(whole);
        for (const auto& [d, t] : partial) sum += static_cast<long double>(d) / static_cast<long double>(t);
        return static_cast<int64_t>(static_cast<long double>(share_) * sum / static_cast<long double>(layers_));
    }

    // A part too small to move the share keeps its time for the next one that does: the speed is
    // the share over the time it took, never a share of 0.
    void Credit(int64_t target, int64_t done, int64_t total, double timeOnPart) {
        const int64_t delta = target - credited_;
        credited_ = target;
        lastDone_ = done;
        lastTotal_ = total;
        time_ += timeOnPart;
        if (!report_ || (delta == 0 && timeOnPart <= 0)) return;
        report_(done, total, delta, delta > 0 ? time_ : 0);
        if (delta > 0) time_ = 0;
    }

    const TProgressOperationCallback& report_;
    int64_t share_;
    int64_t layers_ = 1;
    int64_t layer_ = -1;
    std::vector<std::pair<int64_t, int64_t>> fractions_;  // each layer's done and total
    int64_t credited_ = 0;
    int64_t lastDone_ = 0;
    int64_t lastTotal_ = 1;
    double time_ = 0;
};

// The seed's files key from the pass phrase in the ANSI code page; the operations hand it over as typed.
TSecretString CodePagePassPhrase(std::string_view typed) { return Utf8ToCodePage(typed, SystemAnsiCodePage()); }

class TCipherAlgorithm;

// The single-cipher entry whose signature is SIGN (never "All at once").
TCipherAlgorithm* FindCipherEntry(const std::string& sign);

class TCipherAlgorithm : public TAlgorithmBase {
public:
    TCipherAlgorithm(std::unique_ptr<TDCP_blockcipher> cipher, std::string sign, std::string caption)
        : TAlgorithmBase(std::move(sign), std::move(caption)), FCipher(std::move(cipher)) {}

    TDCP_blockcipher& Cipher() { return *FCipher; }

    bool Encrypt(const std::string& fileName, std::string_view password, const THaltOperationCallback& onHalt,
                 const TProgressOperationCallback& onProgress, const TInvalidPasswordCallback&,
                 const TCryptFileOptions& options) override {
        TEncryptionFiles files(fileName, options);
        if (!EncryptLayer(*FCipher, Sign(), CodePagePassPhrase(password), files.In(), ExtractFileName(fileName),
                          files.Out(), onHalt, onProgress, AlgorithmPassCount()))
            return false;
        files.Commit();
        return true;
    }

    bool Decrypt(const std::string& fileName, std::string_view password, const THaltOperationCallback& onHalt,
                 const TProgressOperationCallback& onProgress,
                 const TInvalidPasswordCallback& onInvalidPassword, const TCryptFileOptions& options) override {
        TInputFile in(fileName);
        if (options.onSourceOpened) options.onSourceOpened(in.Identity());
        const TEncHeader header = ReadEncHeader(in);
        TSecretString pass = CodePagePassPhrase(password);
        std::optional<std::string> name;
        std::unique_ptr<TOutputFile> out;
        bool mayReplace = true;
        TLayerShare share(onProgress, header.bodySize);
        {
            TCipherBurnGuard burn(*FCipher);
            name = UnlockEncName(*FCipher, header, pass);
            while (!name) {
                TSecretString newPassword;
                if (!onInvalidPassword || !onInvalidPassword(fileName, newPassword)) return false;
                pass = CodePagePassPhrase(newPassword.view());
                name = UnlockEncName(*FCipher, header, pass);
            }
            if (!IsPlainFileName(*name))
                throw EFileSkipped(Format(GetConstantValue("Stored_name_not_plain"), {fileName}));
            const std::string finalPath = ExtractFilePath(fileName) + *name;
            if (in.IsSameFileIn(*name))
                throw EFileSkipped(Format(GetConstantValue("Decrypt_replaces_itself"), {fileName}));
            const int64_t expected = ExpectedLayers(PeekLayerBody(*FCipher, in, header, pass));
            share.SetExpectedLayers(expected);
            mayReplace = MayReplaceOutput(finalPath, options);
            // The restored name goes into the folder the source was read from.
            out = std::make_unique<TOutputFile>(in.Folder(), finalPath, in.Identity());
            if (expected > 1 && CoreCount() > 1) {
                // Layers in a pipeline; any deeper than it goes are unwrapped below.
                const size_t layers = DecryptCascade(
                    *FCipher, in, header, *name, pass, *out, onHalt,
                    [&share](size_t layer, int64_t done, int64_t total, double seconds) {
                        share.Layer(static_cast<int64_t>(layer))(done, total, 0, seconds);
                    });
                if (layers == 0) return false;
                share.SkipLayers(static_cast<int64_t>(layers));
            } else if (!DecryptLayerBody(*FCipher, in, header, *out, onHalt, share.NextLayer(), 1)) {
                return false;
            }
        }
        // "All at once" files are layers within layers: unwrap while the restored file is itself
        // a layer of a registered cipher that stores the same name under the same pass phrase.
        for (;;) {
            auto layerIn = std::make_unique<TInputFile>(*out);
            TCipherAlgorithm* inner = nullptr;
            TEncHeader innerHeader;
            if (!OpenInnerLayer(*layerIn, *name, pass, inner, innerHeader)) break;
            TCipherBurnGuard burn(inner->Cipher());
            auto next = std::make_unique<TOutputFile>(in.Folder(), out->FinalPath(), in.Identity());
            if (!DecryptLayerBody(inner->Cipher(), *layerIn, innerHeader, *next, onHalt, share.NextLayer(), 1))
                return false;
            layerIn.reset();
            out = std::move(next);
        }
        share.Finish();
        CommitOutput(*out, options, mayReplace);
        return true;
    }

private:
    // Layers expected in a file whose outer body begins with HEAD: one, unless HEAD starts with a
    // cipher's signature; "All at once" nests the ciphers in index order, so an inner layer of
    // index i promises i + 1 more.
    static int64_t ExpectedLayers(const std::string& head) {
        if (head.size() < static_cast<size_t>(EncSignatureBytes)) return 1;
        const auto& list = State().list;
        for (size_t i = 0; i < list.size(); ++i)
            if (list[i]->Sign() == head.substr(0, EncSignatureBytes) && FindCipherEntry(list[i]->Sign()))
                return static_cast<int64_t>(i) + 2;
        return 1;
    }

    // True when IN is an .enc layer of a single cipher that stores NAME, checksum matching under
    // PASS; its entry is then keyed and ready for the body.
    static bool OpenInnerLayer(const TInputFile& in, const std::string& name, std::string_view pass,
                               TCipherAlgorithm*& entry, TEncHeader& header) {
        if (in.Size() < EncHeaderBytes) return false;
        try {
            header = ReadEncHeader(in);
        } catch (const EFileError&) {
            return false;
        }
        entry = FindCipherEntry(header.sign);
        if (entry == nullptr) return false;
        const std::optional<std::string> stored = UnlockEncName(entry->Cipher(), header, pass);
        if (!stored || *stored != name) {
            entry->Cipher().Burn();
            return false;
        }
        return true;
    }

    std::unique_ptr<TDCP_blockcipher> FCipher;
};

TCipherAlgorithm* FindCipherEntry(const std::string& sign) {
    for (auto& entry : State().list) {
        if (entry->Sign() == sign) return dynamic_cast<TCipherAlgorithm*>(entry.get());
    }
    return nullptr;
}

// Encrypts in cascade: each cipher in index order takes the previous one's output, every layer an
// ordinary .enc of its cipher storing the original name; only the last is renamed into place.
// With more than one core the layers run in a pipeline and only the last reaches the disk.
class TAllAtOnceAlgorithm : public TAlgorithmBase {
public:
    TAllAtOnceAlgorithm() : TAlgorithmBase("ALL", "All at once") {}

    bool Encrypt(const std::string& fileName, std::string_view password, const THaltOperationCallback& onHalt,
                 const TProgressOperationCallback& onProgress, const TInvalidPasswordCallback&,
                 const TCryptFileOptions& options) override {
        const std::string name = ExtractFileName(fileName);
        auto in = std::make_unique<TInputFile>(fileName);
        const TFileIdentity source = in->Identity();
        const TFolderRef folder = in->Folder();
        if (options.onSourceOpened) options.onSourceOpened(source);
        const bool mayReplace = MayReplaceOutput(fileName + ".enc", options);
        const TSecretString pass = CodePagePassPhrase(password);
        if (CoreCount() > 1) {
            std::vector<TCascadeLayer> layers;
            for (auto& entry : State().list)
                if (auto* cipherEntry = dynamic_cast<TCipherAlgorithm*>(entry.get()))
                    layers.push_back({&cipherEntry->Cipher(), cipherEntry->Sign()});
            TOutputFile out(folder, fileName + ".enc", source);
            if (!EncryptCascade(layers, pass, *in, name, out, onHalt, onProgress, AlgorithmPassCount()))
                return false;
            in.reset();
            CommitOutput(out, options, mayReplace);
            return true;
        }
        std::unique_ptr<TOutputFile> out;
        for (auto& entry : State().list) {
            auto* cipherEntry = dynamic_cast<TCipherAlgorithm*>(entry.get());
            if (cipherEntry == nullptr) continue;
            auto next = std::make_unique<TOutputFile>(folder, fileName + ".enc", source);
            if (!EncryptLayer(cipherEntry->Cipher(), cipherEntry->Sign(), pass, *in, name, *next, onHalt,
                              onProgress, AlgorithmPassCount()))
                return false;
            in = std::make_unique<TInputFile>(*next);
            out = std::move(next);
        }
        in.reset();
        CommitOutput(*out, options, mayReplace);
        return true;
    }

    // No file carries "ALL": the file's own signature picks the cipher, which unwraps every layer.
    bool Decrypt(const std::string& fileName, std::string_view password, const THaltOperationCallback& onHalt,
                 const TProgressOperationCallback& onProgress,
                 const TInvalidPasswordCallback& onInvalidPassword, const TCryptFileOptions& options) override {
        std::string sign(EncSignatureBytes, '\0');
        {
            TInputFile in(fileName);
            if (in.ReadSomeAt(0, sign.data(), sign.size()) != sign.size()) sign.clear();
        }
        TCipherAlgorithm* entry = FindCipherEntry(sign);
        if (entry == nullptr)
            throw EFileSkipped(Format(GetConstantValue("Encryption_algo_not_found"), {fileName}), TSkipNotice::AtOnce);
        return entry->Decrypt(fileName, password, onHalt, onProgress, onInvalidPassword, options);
    }
};

}  // namespace

void CreateAlgorithms(const TLanguageChoice& language) {
    TRegistryState& s = State();
    if (!s.list.empty()) return;
    s.descriptionsFile = GetAppFolder() + "cryptos" + language.text + ".ini";
    s.descriptionsCodePage = language.CodePage();
    for (const TCipherFactoryEntry& entry : CipherFactoryTable())
        s.list.push_back(std::make_unique<TCipherAlgorithm>(entry.Create(), std::string(entry.Sign),
                                                            std::string(entry.Caption)));
    s.list.push_back(std::make_unique<TAllAtOnceAlgorithm>());
    s.list.push_back(CreateModernAlgorithm());
    s.passCount = 1;
}

void FreeAlgorithms() { State().list.clear(); }

std::vector<std::unique_ptr<TCryptoAlgorithm>>& AlgorithmList() { return State().list; }

TCryptoAlgorithm* FindAlgorithmBySign(const std::string& sign) {
    for (auto& entry : State().list) {
        if (entry->Sign() == sign) return entry.get();
    }
    return nullptr;
}

int AlgorithmPassCount() { return State().passCount; }
void SetAlgorithmPassCount(int count) { State().passCount = count; }
std::string AlgorithmDescriptionsFile() { return State().descriptionsFile; }

std::string AlgorithmDescription(const std::string& sign) {
    try {
        return TIniFile(State().descriptionsFile, State().descriptionsCodePage).ReadString("Algos", sign, "");
    } catch (const EFileError&) {
        return {};
    }
}

}  // namespace tellvane
