#pragma once
// The main-password prompt asked before hiding and showing and before the main password changes.
#include "ui/PasswordDialog.h"

#include <string>

#include "l10n/LanguageController.h"
#include "platform/SecretString.h"

namespace tellvane {

class TMainPassForm : public TPasswordDialog {
    Q_OBJECT
public:
    // Which ID of a language file (section "MainPassForm") goes to which control of this window.
    // An ID keeps its control once given; a new text gets a new ID.
    static std::vector<TQuenLang_PropEntry> TranslationEntries();
    TMainPassForm();
    // Shows the prompt modally: true for OK, with the text typed.
    bool Ask(TSecretString& typed);

private:
    QLineEdit* PasswordEdit;
};

}  // namespace tellvane
