#pragma once
// The program's windows, created once in their fixed order and destroyed together: the main
// window first, then the new-main-password dialog, the per-file password prompt, the Options
// window, the progress window, the main-password prompt, the run's summary and the pass phrase's confirmation. The worker reaches them through the
// host they register.
#include <memory>
#include <vector>

#include "l10n/LanguageController.h"

class QWidget;

namespace tellvane {

class TChangeMainPassForm;
class TConfirmPassForm;
class TFormLanguageController;
class TMessageBoxTexts;
class TMainForm;
class TMainPassForm;
class TNotDoneForm;
class TOperationPassForm;
class TOptionsForm;
class TProgressForm;
class TUiThreadDispatcher;
class TWizardWorkerHost;

class TAppWindows {
public:
    TAppWindows();
    ~TAppWindows();
    TAppWindows(const TAppWindows&) = delete;
    TAppWindows& operator=(const TAppWindows&) = delete;

    TMainForm& MainForm() const { return *mainForm_; }
    TChangeMainPassForm& ChangeMainPassForm() const { return *changeMainPass_; }
    TOperationPassForm& OperationPassForm() const { return *operationPass_; }
    TOptionsForm& OptionsForm() const { return *options_; }
    TProgressForm& ProgressForm() const { return *progress_; }
    TMainPassForm& MainPassForm() const { return *mainPass_; }
    TNotDoneForm& NotDoneForm() const { return *notDone_; }
    TConfirmPassForm& ConfirmPassForm() const { return *confirmPass_; }

    // Every window a language file translates, the main window first, with its table of IDs.
    struct TTranslatedWindow {
        QWidget* form;
        std::vector<TQuenLang_PropEntry> entries;
    };
    std::vector<TTranslatedWindow> TranslatedWindows() const;

private:
    std::unique_ptr<TMainForm> mainForm_;
    std::unique_ptr<TChangeMainPassForm> changeMainPass_;
    std::unique_ptr<TOperationPassForm> operationPass_;
    std::unique_ptr<TOptionsForm> options_;
    std::unique_ptr<TProgressForm> progress_;
    std::unique_ptr<TMainPassForm> mainPass_;
    std::unique_ptr<TNotDoneForm> notDone_;
    std::unique_ptr<TConfirmPassForm> confirmPass_;
    std::unique_ptr<TMessageBoxTexts> boxTexts_;
    // The translation components of the windows after the main one, which carries its own.
    std::vector<std::unique_ptr<TFormLanguageController>> translations_;
    std::unique_ptr<TUiThreadDispatcher> dispatcher_;
    std::unique_ptr<TWizardWorkerHost> host_;
};

}  // namespace tellvane
