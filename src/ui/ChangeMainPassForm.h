#pragma once
// The new-main-password dialog: the password typed twice, the same both times.
#include "ui/PasswordDialog.h"

#include <string>

#include "l10n/LanguageController.h"
#include "platform/SecretString.h"

namespace tellvane {

class TChangeMainPassForm : public TPasswordDialog {
    Q_OBJECT
public:
    // Which ID of a language file (section "ChangeMainPassForm") goes to which control of this window.
    // An ID keeps its control once given; a new text gets a new ID.
    static std::vector<TQuenLang_PropEntry> TranslationEntries();
    TChangeMainPassForm();
    // Shows the dialog modally; on OK STOREPASSWORD becomes the new password. Cancel leaves it.
    void Run(TSecretString& storePassword);

private slots:
    void OKBtnClick();

private:
    QLineEdit* PasswordEdit;
    QLineEdit* AgainPasswordEdit;
    // The store's password while the dialog is shown by Run.
    TSecretString* storePassword_ = nullptr;
};

}  // namespace tellvane
