#pragma once
// Whether an output may take a name that is already used, and its rename into place under that rule.
#include <string>

#include "crypto/CryptoAlgorithms.h"

namespace tellvane {

class TOutputFile;

// Whether the output FINALPATH may replace a file of that name: asks when one exists, and skips
// the file (EFileSkipped) when the answer is no. Without a question the file is replaced.
bool MayReplaceOutput(const std::string& finalPath, const TCryptFileOptions& options);

// Renames OUT into place. A file that took the name after the question is not replaced: the
// file is skipped and told, instead of the whole run ending.
void CommitOutput(TOutputFile& out, const TCryptFileOptions& options, bool mayReplace);

}  // namespace tellvane
