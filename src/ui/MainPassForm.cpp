#include "ui/MainPassForm.h"

#include <QLineEdit>

#include "ui/QtText.h"

namespace tellvane {

TMainPassForm::TMainPassForm() : TPasswordDialog("MainPassForm", QStringLiteral("Enter Main Password"), 298, 128) {
    AddLabel("Label1",
             QStringLiteral("You should enter Main Password you created earlier to hide files from Explorer or "
                            "show hidden files"),
             8, 8, 282, 43);
    AddLabel("EnterPassLabel", QStringLiteral("Enter password:"), 8, 49);
    PasswordEdit = AddPasswordEdit("PasswordEdit", 8, 68, 282);
    AddButtons(134, 215, 95);
}

bool TMainPassForm::Ask(TSecretString& typed) {
    const bool ok = exec() == QDialog::Accepted;
    typed = S(PasswordEdit->text());
    return ok;
}

std::vector<TQuenLang_PropEntry> TMainPassForm::TranslationEntries() {
    return {
        {1, "MainPassForm", "Caption", ""},
        {2, "Label1", "Caption", ""},
        {3, "EnterPassLabel", "Caption", ""},
        {4, "OKBtn", "Caption", ""},
        {5, "CancelBtn", "Caption", ""},
    };
}

}  // namespace tellvane
