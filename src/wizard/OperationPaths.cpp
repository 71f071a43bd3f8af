#include "wizard/OperationPaths.h"

#include "engine/PendingFiles.h"
#include "hide/HiddenConfig.h"
#include "l10n/TextConstants.h"
#include "wizard/DriveTreeModel.h"
#include "wizard/PasswordText.h"
#include "wizard/Wizard.h"
#include "wizard/WizardWindow.h"

namespace tellvane {

TOperationPath::TOperationPath(TWizard& owner, TBareSetup) : wizard_(owner) {}

TOperationPath::TOperationPath(TWizard& owner) : wizard_(owner) {
    IWizardWindow& w = Window();
    w.SetNextVisible(true);
    w.SetBackVisible(true);
    w.SetExitCaption(GetConstantValue("Cancel"));
    owner.Tree().BuildDrivesTree();
    w.DriveTreeRebuilt();
    w.ShowPage(wpChooseFiles);
}

TOperationPath::~TOperationPath() {
    *alive_ = false;
    FList.clear();
    if (ownsPendingFiles_) PendingFiles().clear();
    if (wizard_.WindowGone()) return;
    IWizardWindow& w = Window();
    w.SetBackVisible(false);
    w.SetNextVisible(false);
    w.SetNextCaption(GetConstantValue("Next_"));
    w.SetExitCaption(GetConstantValue("Exit"));
    w.ShowPage(wpStart);
    w.SetStepTitle("");
}

IWizardWindow& TOperationPath::Window() const { return wizard_.Window(); }

void TOperationPath::GoNext() {
    if (FCurIndex >= StepCount()) return;
    const std::shared_ptr<bool> alive = alive_;
    FList[static_cast<size_t>(FCurIndex)]->GoNext(wizard_);
    if (!*alive) return;
    if (FCurIndex < StepCount() - 1) ++FCurIndex;
}

void TOperationPath::GoBack() {
    if (FCurIndex < 0 || FCurIndex >= StepCount()) return;
    const std::shared_ptr<bool> alive = alive_;
    FList[static_cast<size_t>(FCurIndex)]->GoBack(wizard_);
    if (!*alive) return;
    if (FCurIndex <= 0) {
        if (wizard_.CurrentPath() == this) wizard_.DestroyCurrentPath();
        return;
    }
    --FCurIndex;
}

bool TOperationPath::VerifyPassword(IWizardWindow& window, std::string& realPassword) {
    for (;;) {
        std::string typed;
        if (!window.AskMainPassword(typed)) return false;
        if (realPassword.empty()) {
            // The first main password is a new secret: it must not collapse to "?", and base.dat
            // must give it back unchanged, or every later save would fail.
            std::string refusal = THiddenConfig::PasswordStorageProblem(typed);
            if (refusal.empty()) refusal = NewSecretRefusal(typed);
            if (!refusal.empty()) {
                window.ErrorBox(refusal);
                continue;
            }
            realPassword = typed;
            return true;
        }
        if (typed == realPassword) return true;
        window.ErrorBox(GetConstantValue("Wrong_password"));
    }
}

}  // namespace tellvane
