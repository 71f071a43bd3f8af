#pragma once
// The pass phrase asked once more before an encryption that will delete its sources.
#include "ui/PasswordDialog.h"

#include <functional>
#include <optional>
#include <string>

#include "l10n/LanguageController.h"
#include "platform/SecretString.h"

namespace tellvane {

class TConfirmPassForm : public TPasswordDialog {
    Q_OBJECT
public:
    // Which ID of a language file (section "ConfirmPassForm") goes to which control of this window.
    // An ID keeps its control once given; a new text gets a new ID.
    static std::vector<TQuenLang_PropEntry> TranslationEntries();
    TConfirmPassForm();
    // Shows the dialog modally: true for OK, with the text typed.
    bool Ask(TSecretString& typed);

private:
    QLineEdit* PasswordEdit;
};

// Window tests answer instead of a user: a text for OK, nullopt for Cancel.
using TConfirmPassHook = std::function<std::optional<std::string>()>;
void SetConfirmPassHook(TConfirmPassHook hook);

}  // namespace tellvane
