#pragma once
// Whether an output may take a name that is already used, and its rename into place under that rule.
#include <string>

#include "crypto/CryptoAlgorithms.h"
#include "crypto/EncFileIO.h"

namespace tellvane {

// Whether the output FINALPATH may replace a file of that name: asks when one exists, and skips
// the file (EFileSkipped) when the answer is no. Without a question the file is replaced.
bool MayReplaceOutput(const std::string& finalPath, const TCryptFileOptions& options);

// Renames OUT into place. A file that took the name after the question is not replaced: the
// file is skipped and told, instead of the whole run ending.
void CommitOutput(TOutputFile& out, const TCryptFileOptions& options, bool mayReplace);

// The source of an encryption, its identity told to OPTIONS, and its output FILENAME + ".enc"
// created beside it in the folder the source was opened in.
class TEncryptionFiles {
public:
    TEncryptionFiles(const std::string& fileName, const TCryptFileOptions& options);
    TInputFile& In() { return in_; }
    TOutputFile& Out() { return out_; }
    // Renames the output into place under the rule asked for when it was created.
    void Commit() { CommitOutput(out_, options_, mayReplace_); }

private:
    TInputFile in_;
    const TCryptFileOptions& options_;
    bool mayReplace_;
    TOutputFile out_;
};

}  // namespace tellvane
