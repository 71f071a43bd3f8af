#pragma once
// The pass phrase asked once more before an encryption that will delete its sources.
#include "ui/PasswordDialog.h"

#include <functional>
#include <optional>
#include <string>

namespace tellvane {

class TConfirmPassForm : public TPasswordDialog {
    Q_OBJECT
public:
    TConfirmPassForm();
    // Shows the dialog modally: true for OK, with the text typed.
    bool Ask(std::string& typed);

private:
    QLineEdit* PasswordEdit;
};

// Window tests answer instead of a user: a text for OK, nullopt for Cancel.
using TConfirmPassHook = std::function<std::optional<std::string>()>;
void SetConfirmPassHook(TConfirmPassHook hook);

}  // namespace tellvane
