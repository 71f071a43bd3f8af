#include "wizard/DecryptPath.h"

#include "base/Options.h"
#include "engine/Operations.h"
#include "engine/PendingFiles.h"
#include "l10n/TextConstants.h"
#include "wizard/DriveTreeModel.h"
#include "wizard/PasswordText.h"
#include "wizard/SourceWipeChoice.h"
#include "wizard/Wizard.h"
#include "wizard/WizardWindow.h"

namespace tellvane {

TDecryptPath::TDecryptPath(TWizard& owner) : TOperationPath(owner) {
    AddStep(std::make_unique<TDecryptChooseFiles>());
    AddStep(std::make_unique<TDecryptSettings>());
    IWizardWindow& w = Window();
    w.SetSidePictures(TSidePicture::spDecrypt);
    owner.Tree().FilterNonCryptedFiles = true;
    w.SetStepTitle(GetConstantValue("Decrypting_files_step1"));
    w.SetChooseFilesHeader(GetConstantValue("Choose_file_to_decrypt"));
    w.SetChooseFilesDesc(GetConstantValue("Choose_file_to_decrypt_full"));
}

TDecryptPath::~TDecryptPath() {
    if (!Wizard().WindowGone()) Wizard().Tree().FilterNonCryptedFiles = false;
}

void TDecryptPath::ActivateOnCmdLine(TWizard& wizard) {
    wizard.DestroyCurrentPath();
    wizard.SetCurrentPath(std::make_unique<TDecryptPath>(wizard));
    TOperationPath* path = wizard.CurrentPath();
    path->GoNext();
    LoadPendingFiles();
    path->OwnPendingFiles();
}

const TPathClass& TDecryptPath::Class() {
    static const TPathClass c{&TDecryptPath::CmdLineParameter, &TDecryptPath::ActivateOnCmdLine};
    return c;
}

void TDecryptChooseFiles::GoNext(TWizard& wizard) {
    IWizardWindow& w = wizard.Window();
    w.SetNextCaption(GetConstantValue("Decrypt"));
    w.SetStepTitle(GetConstantValue("Decrypting_files_step2"));
    w.ShowPage(wpDecryptSettings);
}

void TDecryptChooseFiles::GoBack(TWizard& wizard) { wizard.Tree().FilterNonCryptedFiles = false; }

void TDecryptSettings::GoBack(TWizard& wizard) {
    IWizardWindow& w = wizard.Window();
    w.SetNextCaption(GetConstantValue("Next_"));
    w.SetStepTitle(GetConstantValue("Decrypting_files_step1"));
    w.ShowPage(wpChooseFiles);
}

void TDecryptSettings::GoNext(TWizard& wizard) {
    IWizardWindow& w = wizard.Window();
    // No check of the password here: a wrong or empty one is met file by file during the run.
    auto decrypt = std::make_unique<TDecrypt>();
    decrypt->Password = w.DecryptPassword();
    decrypt->DeleteSourceFiles = w.DecryptDeleteSource();
    if (decrypt->DeleteSourceFiles) decrypt->WipeSourceWith = SourceWipeMethod(ReadSourceWipeChoice(TOptions()));
    wizard.Tree().FilterNonCryptedFiles = false;
    wizard.StartRun(std::move(decrypt), {TItemType::itFile});
}

}  // namespace tellvane
