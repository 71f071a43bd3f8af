#pragma once
// The new-main-password dialog: the password typed twice, the same both times.
#include "ui/PasswordDialog.h"

#include <string>

#include "platform/SecretString.h"

namespace tellvane {

class TChangeMainPassForm : public TPasswordDialog {
    Q_OBJECT
public:
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
