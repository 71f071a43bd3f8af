#include "wizard/PasswordDialogs.h"

#include "l10n/TextConstants.h"
#include "wizard/PasswordText.h"

namespace tellvane {

void TChangeMainPassDialog::FormShow() {
    PasswordEdit.clear();
    AgainPasswordEdit.clear();
}

bool TChangeMainPassDialog::OKBtnClick(std::string& storePassword,
                                       const std::function<void(const std::string&)>& errorBox) {
    if (PasswordEdit != AgainPasswordEdit) {
        errorBox(GetConstantValue("Second_pass_not_equal_first"));
        return false;
    }
    if (const std::string refusal = NewSecretRefusal(PasswordEdit); !refusal.empty()) {
        errorBox(refusal);
        return false;
    }
    storePassword = AgainPasswordEdit;
    return true;
}

}  // namespace tellvane
