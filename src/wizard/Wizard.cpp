#include "wizard/Wizard.h"

#include <algorithm>

#include "engine/FilesIterationThread.h"
#include "engine/Operations.h"
#include "engine/PendingFiles.h"
#include "engine/RunRegistry.h"
#include "hide/HiddenConfig.h"
#include "l10n/TextConstants.h"
#include "wizard/CmdLineActivate.h"
#include "wizard/DecryptPath.h"
#include "wizard/DriveTreeModel.h"
#include "wizard/EncryptPath.h"
#include "wizard/HidePath.h"
#include "wizard/OperationPaths.h"
#include "wizard/ShowPath.h"
#include "wizard/ShredPath.h"
#include "wizard/WizardWindow.h"

namespace tellvane {

TWizard::TWizard(IWizardWindow& window) : window_(window) {}

TWizard::~TWizard() {
    windowGone_ = true;
    current_.reset();
    for (auto& run : runs_)
        if (!run.first.expired()) (void)run.second.release();  // its worker may still read it
}

TDriveTreeModel& TWizard::Tree() const { return window_.TreeModel(); }

void TWizard::SetCurrentPath(std::unique_ptr<TOperationPath> path) {
    if (current_ && current_ != path) DestroyCurrentPath();
    current_ = std::move(path);
}

void TWizard::DestroyCurrentPath() {
    std::unique_ptr<TOperationPath> ending = std::move(current_);
    ending.reset();
}

void TWizard::NextButtonClick() {
    if (RunActive()) return;
    if (window_.CurrentPage() == wpChooseFiles && Tree().SomeFilesSelected() < 1) {
        window_.InfoBox(GetConstantValue("Please_select_files"));
        return;
    }
    if (current_) current_->GoNext();
}

void TWizard::BackButtonClick() {
    if (RunActive()) return;
    if (current_) current_->GoBack();
}

void TWizard::ExitButtonClick() {
    if (window_.ExitCaption() == GetConstantValue("Cancel")) {
        if (RunActive()) return;
        DestroyCurrentPath();
        return;
    }
    window_.TerminateApplication();
}

void TWizard::FinishButtonClick() {
    window_.ShowPage(wpStart);
    window_.SetExitVisible(true);
}

void TWizard::OperationsListBoxClick(int index) {
    // The start page shows no path; a path still current would be replaced by the new one.
    if (RunActive()) return;
    DestroyCurrentPath();
    switch (index) {
        case 0: SetCurrentPath(std::make_unique<TEncryptPath>(*this)); break;
        case 1: SetCurrentPath(std::make_unique<TDecryptPath>(*this)); break;
        case 2: SetCurrentPath(std::make_unique<TShredPath>(*this)); break;
        case 3: SetCurrentPath(THidePath::Create(*this)); break;
        case 4: SetCurrentPath(TShowPath::Create(*this)); break;
        default: break;
    }
}

void ChangeMainPassword(IWizardWindow& window, bool askCurrent) {
    if (RunningWorkerCount() > 0) {
        window.InfoBox(GetConstantValue("Main_password_busy"));
        return;
    }
    std::string& password = HiddenItemsStore().Password;
    if (askCurrent && !password.empty() && !TOperationPath::VerifyPassword(window, password)) return;
    window.ShowChangeMainPassword(password);
}

void TWizard::ChangeMainPassLinkClick() { ChangeMainPassword(window_, false); }

bool TWizard::TreeNodeClick(TTreeNode* node) {
    if (RunActive() || !node) return false;
    Tree().ToggleNode(node);
    return true;
}

bool TWizard::TreeNodeExpanding(TTreeNode* node) {
    if (RunActive()) return false;
    return Tree().Expand(node);
}

void TWizard::FormActivate(const std::vector<std::string>& args) {
    if (activeOnce_) return;
    activeOnce_ = true;
    THiddenConfig& store = HiddenItemsStore();
    if (store.Password.empty()) window_.ShowChangeMainPassword(store.Password);
    ActivateFromCmdLine(*this, args);
}

bool TWizard::StartRun(std::unique_ptr<TOperation> operation, TItemsSet itemsForOperation) {
    if (RunActive()) return false;
    std::erase_if(runs_, [](const auto& run) { return run.first.expired(); });
    std::shared_ptr<TFilesIterationThread> worker = StartOperation(*operation, std::move(itemsForOperation));
    runWorker_ = worker;
    runs_.emplace_back(worker, std::move(operation));
    worker.reset();
    window_.ShowProgressWindow();
    return true;
}

bool TWizard::RunActive() const { return !runWorker_.expired(); }

void TWizard::ShowCompletion(const std::string& header, const std::string& filesText) {
    DestroyCurrentPath();
    if (StartedFromCmdLine) {
        window_.TerminateApplication();
        return;
    }
    ShowCompletionPage(header, filesText);
}

void TWizard::ShowCompletionPage(const std::string& header, const std::string& filesText) {
    window_.ShowPage(wpCompletion);
    window_.SetCompletionTexts(header, filesText);
    window_.SetExitVisible(false);
    window_.FocusControl(TFocusTarget::ftMainWindow);
}

void TWizard::RunFailed(const std::string& message) {
    window_.ErrorBox(message);
}

}  // namespace tellvane
