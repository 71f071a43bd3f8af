#pragma once
// The main-password prompt asked before hiding and showing and before the main password changes.
#include "ui/PasswordDialog.h"

#include <string>

#include "platform/SecretString.h"

namespace tellvane {

class TMainPassForm : public TPasswordDialog {
    Q_OBJECT
public:
    TMainPassForm();
    // Shows the prompt modally: true for OK, with the text typed.
    bool Ask(TSecretString& typed);

private:
    QLineEdit* PasswordEdit;
};

}  // namespace tellvane
