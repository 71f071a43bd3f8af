#include "wizard/ShowPath.h"

#include "base/Logger.h"
#include "engine/Operations.h"
#include "engine/ProgressReadouts.h"
#include "hide/HiddenConfig.h"
#include "l10n/TextConstants.h"
#include "wizard/Wizard.h"
#include "wizard/WizardWindow.h"

namespace tellvane {

TShowPath::TShowPath(TWizard& owner) : TOperationPath(owner, TBareSetup{}) {
    AddStep(std::make_unique<TShowListOfHidden>());
}

std::unique_ptr<TShowPath> TShowPath::Create(TWizard& owner) {
    std::unique_ptr<TShowPath> path(new TShowPath(owner));
    if (!path->SetUp()) return nullptr;
    return path;
}

bool TShowPath::SetUp() {
    THiddenConfig& store = HiddenItemsStore();
    if (!VerifyPassword(Window(), store.Password)) return false;
    IWizardWindow& w = Window();
    w.SetNextVisible(true);
    w.SetBackVisible(true);
    w.SetExitCaption(GetConstantValue("Cancel"));
    w.SetNextCaption(GetConstantValue("Show"));
    w.SetStepTitle(GetConstantValue("Showing_files_step1"));
    w.SetSidePictures(TSidePicture::spShow);
    w.ShowPage(wpHiddenList);
    std::vector<std::string> paths;
    for (int i = 0; i < store.Count(); ++i) paths.push_back(store.GetItem(i).FilePath);
    w.FillHiddenItems(paths);
    return true;
}

void TShowListOfHidden::GoNext(TWizard& wizard) {
    IWizardWindow& w = wizard.Window();
    THiddenConfig& store = HiddenItemsStore();
    TShow show;
    int count = 0;
    for (int i = w.HiddenItemCount() - 1; i >= 0; --i) {
        if (!w.HiddenItemChecked(i)) continue;
        show.ItemToShowIndex = i;
        ++count;
        try {
            show.Work(store.GetItem(i).FilePath);
        } catch (const std::exception& e) {
            // One item that cannot be shown must not keep the others hidden.
            Log(e.what(), "TShowListOfHidden");
            w.ErrorBox(e.what());
        }
    }
    wizard.DestroyCurrentPath();
    wizard.ShowCompletionPage(show.GetCompleteHeader(), CompletionCountText(count, GetConstantValue("shown")));
}

void TShowListOfHidden::GoBack(TWizard&) {}

}  // namespace tellvane
