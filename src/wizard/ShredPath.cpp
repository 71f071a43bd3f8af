#include "wizard/ShredPath.h"

#include "engine/Operations.h"
#include "engine/PendingFiles.h"
#include "l10n/TextConstants.h"
#include "shred/ShredAlgorithms.h"
#include "wizard/Wizard.h"
#include "wizard/WizardWindow.h"

namespace tellvane {

TShredPath::TShredPath(TWizard& owner) : TOperationPath(owner) {
    AddStep(std::make_unique<TShredChooseFiles>());
    AddStep(std::make_unique<TShredSettings>());
    IWizardWindow& w = Window();
    w.SetSidePictures(TSidePicture::spShred);
    w.SetStepTitle(GetConstantValue("Shredding_files_step1"));
    w.SetChooseFilesHeader(GetConstantValue("Choose_files_to_shred"));
    w.SetChooseFilesDesc(GetConstantValue("Choose_files_to_shred_full"));
}

void TShredPath::ActivateOnCmdLine(TWizard& wizard) {
    wizard.DestroyCurrentPath();
    wizard.SetCurrentPath(std::make_unique<TShredPath>(wizard));
    TOperationPath* path = wizard.CurrentPath();
    path->GoNext();
    LoadPendingFiles();
    path->OwnPendingFiles();
}

const TPathClass& TShredPath::Class() {
    static const TPathClass c{&TShredPath::CmdLineParameter, &TShredPath::ActivateOnCmdLine};
    return c;
}

void TShredChooseFiles::GoNext(TWizard& wizard) {
    IWizardWindow& w = wizard.Window();
    w.SetNextCaption(GetConstantValue("Shred"));
    w.SetStepTitle(GetConstantValue("Shredding_files_step2"));
    w.ShowPage(wpShredSettings);
}

void TShredChooseFiles::GoBack(TWizard&) {}

void TShredSettings::GoBack(TWizard& wizard) {
    IWizardWindow& w = wizard.Window();
    w.SetNextCaption(GetConstantValue("Next_"));
    w.SetStepTitle(GetConstantValue("Shredding_files_step1"));
    w.ShowPage(wpChooseFiles);
}

void TShredSettings::GoNext(TWizard& wizard) {
    auto shred = std::make_unique<TShred>();
    shred->Algo = ShredAlgorithmList().at(static_cast<size_t>(wizard.Window().ShredAlgorithmIndex())).get();
    wizard.StartRun(std::move(shred), {TItemType::itFile});
}

}  // namespace tellvane
