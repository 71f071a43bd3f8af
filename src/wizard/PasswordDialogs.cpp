#include "wizard/PasswordDialogs.h"

#include "hide/HiddenConfig.h"
#include "l10n/TextConstants.h"
#include "wizard/PasswordText.h"

namespace tellvane {

void TChangeMainPassDialog::FormShow() {
    PasswordEdit.clear();
    AgainPasswordEdit.clear();
}

namespace {

// A password base.dat could not give back unchanged is refused before the store changes, with the
// console's message.
bool StorableMainPassword(std::string_view password, const std::function<void(const std::string&)>& errorBox) {
    const std::string problem = THiddenConfig::PasswordStorageProblem(password);
    if (problem.empty()) return true;
    errorBox(problem);
    return false;
}

}  // namespace

bool TChangeMainPassDialog::OKBtnClick(TSecretString& storePassword,
                                       const std::function<void(const std::string&)>& errorBox) {
    if (PasswordEdit != AgainPasswordEdit) {
        errorBox(GetConstantValue("Second_pass_not_equal_first"));
        return false;
    }
    if (!StorableMainPassword(AgainPasswordEdit, errorBox)) return false;
    if (const std::string refusal = NewSecretRefusal(PasswordEdit); !refusal.empty()) {
        errorBox(refusal);
        return false;
    }
    storePassword = AgainPasswordEdit;
    return true;
}

}  // namespace tellvane
