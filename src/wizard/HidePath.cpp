#include "wizard/HidePath.h"

#include "engine/Operations.h"
#include "engine/PendingFiles.h"
#include "hide/HiddenConfig.h"
#include "l10n/TextConstants.h"
#include "wizard/DriveTreeModel.h"
#include "wizard/Wizard.h"
#include "wizard/WizardWindow.h"

namespace tellvane {

THidePath::THidePath(TWizard& owner) : TOperationPath(owner, TBareSetup{}) {
    AddStep(std::make_unique<THideChooseFiles>());
}

THidePath::~THidePath() {
    if (!Wizard().WindowGone()) Window().SetChangeMainPassLinkVisible(false);
}

std::unique_ptr<THidePath> THidePath::Create(TWizard& owner) {
    std::unique_ptr<THidePath> path(new THidePath(owner));
    if (!path->SetUp()) {
        owner.HideRefusalMark = true;
        return nullptr;  // the path's destruction runs here; the window was never changed
    }
    return path;
}

bool THidePath::SetUp() {
    if (!VerifyPassword(Window(), HiddenItemsStore().Password)) return false;
    IWizardWindow& w = Window();
    w.SetNextVisible(true);
    w.SetBackVisible(true);
    w.SetExitCaption(GetConstantValue("Cancel"));
    w.SetNextCaption(GetConstantValue("Hide"));
    w.SetStepTitle(GetConstantValue("Hiding_files_step1"));
    Wizard().Tree().BuildDrivesTree();
    w.DriveTreeRebuilt();
    w.SetSidePictures(TSidePicture::spHide);
    w.ShowPage(wpChooseFiles);
    w.SetChangeMainPassLinkVisible(true);
    w.SetChooseFilesHeader(GetConstantValue("Choose_file_to_hide"));
    w.SetChooseFilesDesc(GetConstantValue("Choose_file_to_hide_full"));
    return true;
}

void THidePath::ActivateOnCmdLine(TWizard& wizard) {
    wizard.DestroyCurrentPath();
    wizard.SetCurrentPath(Create(wizard));
    // The mark is never cleared: after a refusal no "/hide" of this process reads the selection.
    if (wizard.HideRefusalMark || !wizard.CurrentPath()) return;
    LoadPendingFiles();
    wizard.CurrentPath()->OwnPendingFiles();
    StartHideRun(wizard);
}

const TPathClass& THidePath::Class() {
    static const TPathClass c{&THidePath::CmdLineParameter, &THidePath::ActivateOnCmdLine};
    return c;
}

void StartHideRun(TWizard& wizard) {
    wizard.StartRun(std::make_unique<THide>(), {TItemType::itFile, TItemType::itFolder, TItemType::itDrive});
}

void THideChooseFiles::GoNext(TWizard& wizard) { StartHideRun(wizard); }

void THideChooseFiles::GoBack(TWizard&) {}

}  // namespace tellvane
