#pragma once
// Password boxes of the encryption and decryption pages: the text handed to an operation, the
// text loaded from a file, and the mask toggle.
#include <cstdint>
#include <string>

namespace tellvane {

class IWizardWindow;

// The box's text for a password file of BYTES: every line (encoding from a byte-order mark, else
// ANSICODEPAGE; CR LF, LF or CR end a line), each followed by CR LF.
std::string PasswordTextFromBytes(const std::string& bytes, uint32_t ansiCodePage);
// Why a NEW secret (an encryption's pass phrase, a new main password) typed as BOXTEXT is refused:
// a character the ANSI code page cannot represent would become "?", and different pass phrases
// would then open the same files. Empty when it is accepted. Existing secrets are not checked:
// files and stores made elsewhere rely on the conversion as it is.
std::string NewSecretRefusal(const std::string& boxText);

// Loads FILENAME (chosen in the file dialog) into BOXTEXT. A file that cannot be read is reported
// in an error box with the file's open error, and BOXTEXT keeps its text (false).
bool LoadPasswordFromFile(IWizardWindow& window, const std::string& fileName, std::string& boxText);

// Each click on "Mask password" flips the box's mask character between "*" and none; the check
// box's own state is not read.
char TogglePasswordMask(char maskChar);

}  // namespace tellvane
