#include "ui/OperationPassForm.h"

#include <QLabel>
#include <QLineEdit>

#include "ui/QtText.h"
#include "ui/UiFonts.h"

namespace tellvane {

TOperationPassForm::TOperationPassForm()
    : TPasswordDialog("OperationPassForm", QStringLiteral("Enter valid password"), 299, 131) {
    setFont(TahomaFont());
    AddLabel("Label1", QStringLiteral("You should enter valid password to complete operation you need"), 8, 8, 282,
             29);
    EnterPassLabel = AddLabel("EnterPassLabel", QStringLiteral("Enter password:"), 8, 43);
    PasswordEdit = AddPasswordEdit("PasswordEdit", 8, 62, 282);
    AddButtons(134, 215, 92);
}

bool TOperationPassForm::Ask(const std::string& label, TSecretString& typed) {
    EnterPassLabel->setText(Q(label));
    EnterPassLabel->adjustSize();
    const bool ok = exec() == QDialog::Accepted;
    typed = S(PasswordEdit->text());
    return ok;
}

std::vector<TQuenLang_PropEntry> TOperationPassForm::TranslationEntries() {
    return {
        {1, "OperationPassForm", "Caption", ""},
        {2, "Label1", "Caption", ""},
        {3, "EnterPassLabel", "Caption", ""},
        {4, "OKBtn", "Caption", ""},
        {5, "CancelBtn", "Caption", ""},
    };
}

}  // namespace tellvane
