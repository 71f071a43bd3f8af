#include "ui/ConfirmPassForm.h"

#include <QLabel>
#include <QLineEdit>

#include "ui/QtText.h"

namespace tellvane {

namespace {

TConfirmPassHook& Hook() {
    static TConfirmPassHook hook;
    return hook;
}

}  // namespace

void SetConfirmPassHook(TConfirmPassHook hook) { Hook() = std::move(hook); }

TConfirmPassForm::TConfirmPassForm()
    : TPasswordDialog("ConfirmPassForm", QStringLiteral("Confirm password"), 299, 131) {
    AddLabel("Label1", QStringLiteral("The source files will be deleted after encryption. Enter the password once more:"),
             8, 8, 282, 42);
    PasswordEdit = AddPasswordEdit("PasswordEdit", 8, 62, 282);
    AddButtons(134, 215, 92);
}

bool TConfirmPassForm::Ask(TSecretString& typed) {
    if (Hook()) {
        const std::optional<std::string> answer = Hook()();
        typed = answer.value_or("");
        return answer.has_value();
    }
    const bool ok = exec() == QDialog::Accepted;
    typed = S(PasswordEdit->text());
    PasswordEdit->clear();
    return ok;
}

std::vector<TQuenLang_PropEntry> TConfirmPassForm::TranslationEntries() {
    return {
        {1, "ConfirmPassForm", "Caption", ""},
        {2, "Label1", "Caption", ""},
        {3, "OKBtn", "Caption", ""},
        {4, "CancelBtn", "Caption", ""},
    };
}

}  // namespace tellvane
