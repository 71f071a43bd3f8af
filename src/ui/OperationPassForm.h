#pragma once
// The per-file password prompt of a decryption run that met a file the password does not open.
#include "ui/PasswordDialog.h"

#include <string>

#include "platform/SecretString.h"

namespace tellvane {

class TOperationPassForm : public TPasswordDialog {
    Q_OBJECT
public:
    TOperationPassForm();
    // Shows the prompt labelled LABEL modally: true for OK; TYPED is the box's text in any case.
    bool Ask(const std::string& label, TSecretString& typed);

private:
    QLabel* EnterPassLabel;
    QLineEdit* PasswordEdit;
};

}  // namespace tellvane
