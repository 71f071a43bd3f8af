#include "crypto/OutputReplacement.h"

#include "crypto/EncFileIO.h"
#include "l10n/TextConstants.h"
#include "platform/FileSystem.h"
#include "platform/TextFormat.h"

namespace tellvane {

bool MayReplaceOutput(const std::string& finalPath, const TCryptFileOptions& options) {
    if (!options.onReplace) return true;
    // Nothing to replace now: the rename must not replace anything either.
    if (!PathExists(finalPath)) return false;
    if (options.onReplace(finalPath)) return true;
    throw EFileSkipped(Format(GetConstantValue("Not_replaced"), {finalPath}));
}

void CommitOutput(TOutputFile& out, const TCryptFileOptions& options, bool mayReplace) {
    try {
        out.Commit(options.durable, mayReplace);
    } catch (const EFileError&) {
        if (mayReplace || !out.FinalExists()) throw;
        throw EFileSkipped(Format(GetConstantValue("Not_replaced"), {out.FinalPath()}));
    }
}

namespace {

// Tells OPTIONS which file is read, then asks whether its output may replace a file of its name.
bool TellSourceAndAsk(const TInputFile& in, const std::string& finalPath, const TCryptFileOptions& options) {
    if (options.onSourceOpened) options.onSourceOpened(in.Identity());
    return MayReplaceOutput(finalPath, options);
}

}  // namespace

TEncryptionFiles::TEncryptionFiles(const std::string& fileName, const TCryptFileOptions& options)
    : in_(fileName),
      options_(options),
      mayReplace_(TellSourceAndAsk(in_, fileName + ".enc", options)),
      out_(in_.Folder(), fileName + ".enc", in_.Identity()) {}

}  // namespace tellvane
