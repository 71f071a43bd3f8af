#pragma once
// The user's choice, kept in options.ini, to have Encrypt and Decrypt overwrite the sources they
// delete before the names go.
#include <string>

namespace tellvane {

class TOptions;         // base/Options.h
class TShredAlgorithm;  // shred/ShredAlgorithms.h

struct TSourceWipeChoice {
    bool on = false;  // off unless chosen: a plain deletion is fast
    int method = 0;   // index into the wiping-method registry
};

// The stored choice; a method out of the registry's range reads as the first one.
TSourceWipeChoice ReadSourceWipeChoice(const TOptions& options);
void WriteSourceWipeChoice(TOptions& options, const TSourceWipeChoice& choice);
// The method a run that deletes its sources overwrites them with; null when the choice is off.
const TShredAlgorithm* SourceWipeMethod(const TSourceWipeChoice& choice);

}  // namespace tellvane
