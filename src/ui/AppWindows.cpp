#include "ui/AppWindows.h"

#include "engine/WorkerHost.h"
#include "ui/ChangeMainPassForm.h"
#include "ui/ConfirmPassForm.h"
#include "ui/FormTranslation.h"
#include "ui/MainForm.h"
#include "ui/MainPassForm.h"
#include "ui/NotDoneForm.h"
#include "ui/OperationPassForm.h"
#include "ui/OptionsForm.h"
#include "ui/ProgressForm.h"
#include "ui/StandardDialogs.h"
#include "ui/UiThreadDispatcher.h"
#include "wizard/WizardWorkerHost.h"

namespace tellvane {

TAppWindows::TAppWindows() {
    mainForm_ = std::make_unique<TMainForm>();
    changeMainPass_ = std::make_unique<TChangeMainPassForm>();
    operationPass_ = std::make_unique<TOperationPassForm>();
    options_ = std::make_unique<TOptionsForm>(*mainForm_);
    progress_ = std::make_unique<TProgressForm>(mainForm_.get());
    mainPass_ = std::make_unique<TMainPassForm>();
    notDone_ = std::make_unique<TNotDoneForm>();
    confirmPass_ = std::make_unique<TConfirmPassForm>();
    boxTexts_ = std::make_unique<TMessageBoxTexts>();
    // The main window carries its own translation component.
    for (TTranslatedWindow& window : TranslatedWindows()) {
        if (window.form == mainForm_.get()) continue;
        translations_.push_back(std::make_unique<TFormLanguageController>(*window.form, std::move(window.entries)));
        translations_.back()->FormLoaded();
    }
    mainForm_->AttachDialogs({changeMainPass_.get(), operationPass_.get(), options_.get(), progress_.get(),
                              mainPass_.get(), notDone_.get(), confirmPass_.get()});
    QObject::connect(options_.get(), &TOptionsForm::OptionsStored, mainForm_.get(),
                     &TMainForm::ShowSourceWipeInCaptions);
    dispatcher_ = std::make_unique<TUiThreadDispatcher>();
    host_ = std::make_unique<TWizardWorkerHost>(
        mainForm_->Wizard(), [dispatcher = dispatcher_.get()](const std::function<void()>& step) { dispatcher->Run(step); });
    SetWorkerHost(host_.get());
}

std::vector<TAppWindows::TTranslatedWindow> TAppWindows::TranslatedWindows() const {
    return {
        {mainForm_.get(), TMainForm::TranslationEntries()},
        {changeMainPass_.get(), TChangeMainPassForm::TranslationEntries()},
        {operationPass_.get(), TOperationPassForm::TranslationEntries()},
        {options_.get(), TOptionsForm::TranslationEntries()},
        {progress_.get(), TProgressForm::TranslationEntries()},
        {mainPass_.get(), TMainPassForm::TranslationEntries()},
        {boxTexts_.get(), TMessageBoxTexts::TranslationEntries()},
        {notDone_.get(), TNotDoneForm::TranslationEntries()},
        {confirmPass_.get(), TConfirmPassForm::TranslationEntries()},
    };
}

TAppWindows::~TAppWindows() {
    if (GetWorkerHost() == host_.get()) SetWorkerHost(nullptr);
    // The main window's wizard may still show a dialog while its path goes: it goes first.
    mainForm_.reset();
    translations_.clear();
    boxTexts_.reset();
    confirmPass_.reset();
    notDone_.reset();
    mainPass_.reset();
    progress_.reset();
    options_.reset();
    operationPass_.reset();
    changeMainPass_.reset();
}

}  // namespace tellvane
