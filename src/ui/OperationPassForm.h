#pragma once
// The per-file password prompt of a decryption run that met a file the password does not open.
#include "ui/PasswordDialog.h"

#include <string>

#include "l10n/LanguageController.h"
#include "platform/SecretString.h"

namespace tellvane {

class TOperationPassForm : public TPasswordDialog {
    Q_OBJECT
public:
    // Which ID of a language file (section "OperationPassForm") goes to which control of this window.
    // An ID keeps its control once given; a new text gets a new ID.
    static std::vector<TQuenLang_PropEntry> TranslationEntries();
    TOperationPassForm();
    // Shows the prompt labelled LABEL modally: true for OK; TYPED is the box's text in any case.
    bool Ask(const std::string& label, TSecretString& typed);

private:
    QLabel* EnterPassLabel;
    QLineEdit* PasswordEdit;
};

}  // namespace tellvane
