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

}  // namespace tellvane
