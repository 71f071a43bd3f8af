#include "wizard/EncryptPath.h"

#include "crypto/CryptoAlgorithms.h"
#include "base/Options.h"
#include "engine/Operations.h"
#include "engine/PendingFiles.h"
#include "l10n/TextConstants.h"
#include "platform/SecretString.h"
#include "wizard/PasswordText.h"
#include "wizard/SourceWipeChoice.h"
#include "wizard/Wizard.h"
#include "wizard/WizardWindow.h"

namespace tellvane {

TEncryptPath::TEncryptPath(TWizard& owner) : TOperationPath(owner) {
    AddStep(std::make_unique<TEncryptChooseFiles>());
    AddStep(std::make_unique<TEncryptSettings>());
    IWizardWindow& w = Window();
    w.SetSidePictures(TSidePicture::spEncrypt);
    w.SetStepTitle(GetConstantValue("Encrypting_files_step1"));
    w.SetChooseFilesHeader(GetConstantValue("Choose_files_to_encrypt"));
    w.SetChooseFilesDesc(GetConstantValue("Choose_files_to_encrypt_full"));
}

void TEncryptPath::ActivateOnCmdLine(TWizard& wizard) {
    wizard.DestroyCurrentPath();
    wizard.SetCurrentPath(std::make_unique<TEncryptPath>(wizard));
    TOperationPath* path = wizard.CurrentPath();
    path->GoNext();
    wizard.Window().SetBackVisible(false);
    LoadPendingFiles();
    path->OwnPendingFiles();
}

const TPathClass& TEncryptPath::Class() {
    static const TPathClass c{&TEncryptPath::CmdLineParameter, &TEncryptPath::ActivateOnCmdLine};
    return c;
}

void TEncryptChooseFiles::GoNext(TWizard& wizard) {
    IWizardWindow& w = wizard.Window();
    w.SetNextCaption(GetConstantValue("Encrypt"));
    w.SetStepTitle(GetConstantValue("Encrypting_files_step2"));
    w.ShowPage(wpEncryptSettings);
    // Whatever the user chose before, entering the page offers deletion of the sources.
    w.SetEncryptDeleteSource(true);
}

void TEncryptChooseFiles::GoBack(TWizard&) {}

void TEncryptSettings::GoBack(TWizard& wizard) {
    IWizardWindow& w = wizard.Window();
    w.SetNextCaption(GetConstantValue("Next_"));
    w.SetStepTitle(GetConstantValue("Encrypting_files_step1"));
    w.ShowPage(wpChooseFiles);
}

void TEncryptSettings::GoNext(TWizard& wizard) {
    IWizardWindow& w = wizard.Window();
    const TSecretString password = w.EncryptPassword();
    if (password.empty()) {
        w.PlainMessage(GetConstantValue("Enter_password_first"));
        w.FocusControl(TFocusTarget::ftEncryptPassword);
        return;
    }
    auto& algorithms = AlgorithmList();
    const size_t index = static_cast<size_t>(w.EncryptAlgorithmIndex());
    TCryptoAlgorithm* algorithm = algorithms.at(index).get();
    // The box keeps its text, so that the user can change the characters the message names.
    const std::string refusal = algorithm->PassPhraseInCodePage() ? NewSecretRefusal(password) : std::string();
    if (!refusal.empty()) {
        w.ErrorBox(refusal);
        w.FocusControl(TFocusTarget::ftEncryptPassword);
        return;
    }
    // A typo in a pass phrase typed once would turn the only copies into files no one can open: a
    // run that deletes its sources asks for it again. A key file's text needs no second look.
    if (w.EncryptDeleteSource() && !w.EncryptPasswordFromKeyFile()) {
        TSecretString again;
        if (!w.ConfirmEncryptPassword(again)) return;
        if (again != password) {
            w.ErrorBox(GetConstantValue("Second_pass_not_equal_first"));
            w.FocusControl(TFocusTarget::ftEncryptPassword);
            return;
        }
    }
    auto encrypt = std::make_unique<TEncrypt>();
    encrypt->Algo = algorithm;
    // "All at once" makes one pass per cipher; the progress report divides by that count.
    SetAlgorithmPassCount(index == static_cast<size_t>(AllAtOnceIndex) ? AllAtOnceIndex : 1);
    encrypt->Password = password;
    encrypt->DeleteSourceFiles = w.EncryptDeleteSource();
    if (encrypt->DeleteSourceFiles) encrypt->WipeSourceWith = SourceWipeMethod(ReadSourceWipeChoice(TOptions()));
    wizard.StartRun(std::move(encrypt), {TItemType::itFile});
}

}  // namespace tellvane
