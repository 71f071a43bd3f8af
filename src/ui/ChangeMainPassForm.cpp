#include "ui/ChangeMainPassForm.h"

#include <QLineEdit>
#include <QPushButton>

#include "ui/QtText.h"
#include "ui/StandardDialogs.h"
#include "wizard/PasswordDialogs.h"

namespace tellvane {

TChangeMainPassForm::TChangeMainPassForm()
    : TPasswordDialog("ChangeMainPassForm", QStringLiteral("Set New Main Password"), 298, 183) {
    AddLabel("Label1",
             QStringLiteral("You should create Main Password here. You will be prompted to enter it every time you "
                            "want to Hide files from Explorer or Show hidden files."),
             8, 8, 282, 43);
    AddLabel("EnterPassLabel", QStringLiteral("Enter new password:"), 8, 57);
    PasswordEdit = AddPasswordEdit("PasswordEdit", 8, 76, 282);
    AddLabel("Label2", QStringLiteral("Enter new password again:"), 8, 102);
    AgainPasswordEdit = AddPasswordEdit("AgainPasswordEdit", 8, 120, 282);
    AddButtons(134, 215, 150, true);
    connect(OKBtn, &QPushButton::clicked, this, &TChangeMainPassForm::OKBtnClick);
    setTabOrder(PasswordEdit, AgainPasswordEdit);
}

void TChangeMainPassForm::OKBtnClick() {
    TChangeMainPassDialog rule;
    rule.PasswordEdit = S(PasswordEdit->text());
    rule.AgainPasswordEdit = S(AgainPasswordEdit->text());
    TSecretString password = storePassword_ ? *storePassword_ : TSecretString();
    if (!rule.OKBtnClick(password, [](const std::string& text) { ErrorBox(Q(text)); })) return;
    if (storePassword_) *storePassword_ = password;
    accept();
}

void TChangeMainPassForm::Run(TSecretString& storePassword) {
    storePassword_ = &storePassword;
    exec();
    storePassword_ = nullptr;
}

std::vector<TQuenLang_PropEntry> TChangeMainPassForm::TranslationEntries() {
    return {
        {1, "ChangeMainPassForm", "Caption", ""},
        {2, "Label1", "Caption", ""},
        {3, "EnterPassLabel", "Caption", ""},
        {4, "Label2", "Caption", ""},
        {5, "OKBtn", "Caption", ""},
        {6, "CancelBtn", "Caption", ""},
    };
}

}  // namespace tellvane
