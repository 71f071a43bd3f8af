#pragma once
// The rules of the three password dialogs, kept apart from their windows: boxes emptied at each
// showing, the new-main-password comparison, and the per-file prompt's label and answer.
#include <functional>
#include <string>

#include "platform/SecretString.h"

namespace tellvane {

// The main-password prompt (its retry loop is TOperationPath::VerifyPassword).
class TMainPassDialog {
public:
    TSecretString PasswordEdit;
    void FormShow() { PasswordEdit.clear(); }
};

// The new-main-password dialog.
class TChangeMainPassDialog {
public:
    TSecretString PasswordEdit;
    TSecretString AgainPasswordEdit;
    void FormShow();
    // OK: when both entries are equal (case-sensitive; both empty counts) and the store can hold
    // them, STOREPASSWORD takes the second and the dialog closes (true). Otherwise ERRORBOX is
    // shown with the mismatch text or the store's refusal, and the dialog stays open with both
    // entries as typed (false).
    bool OKBtnClick(TSecretString& storePassword, const std::function<void(const std::string&)>& errorBox);
};

// The per-file password prompt of a decryption run. The worker names the file in the label
// (its name only) and converts the answer to the ANSI code page; the dialog only shows and reads.
class TOperationPassDialog {
public:
    std::string EnterPassLabel = "Enter password:";
    TSecretString PasswordEdit;
    void FormShow() { PasswordEdit.clear(); }
};

}  // namespace tellvane
