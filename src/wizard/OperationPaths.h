#pragma once
// A wizard path is the ordered list of steps behind the pages of one operation; it exists only
// while the user is inside that operation's wizard. Creating it sets the main window up, Next and
// Back move between its steps, and destroying it puts the window back on its start page.
#include <memory>
#include <string>

#include "platform/SecretString.h"
#include <vector>

namespace tellvane {

class TWizard;
class IWizardWindow;

// The logic behind one page of a path. Steps keep no data: they act on the window and the engine.
class TOperationStep {
public:
    virtual ~TOperationStep() = default;
    virtual void GoNext(TWizard& wizard) = 0;
    virtual void GoBack(TWizard& wizard) = 0;
};

class TOperationPath {
public:
    // The base set-up of an ordinary path: Next and Back shown, Exit reading "Cancel", the drive
    // tree rebuilt, the file-choice page shown. The concrete path then adds its steps and texts.
    explicit TOperationPath(TWizard& owner);
    // Steps destroyed, Back hidden, Next hidden and reading "Next", Exit reading "Exit", start
    // page shown, step title cleared; the command-line selection loaded for this path is dropped.
    virtual ~TOperationPath();
    TOperationPath(const TOperationPath&) = delete;
    TOperationPath& operator=(const TOperationPath&) = delete;

    // Runs the current step's GoNext; the index then moves on unless it is on the last step.
    void GoNext();
    // Runs the current step's GoBack; on the first step the path then destroys itself.
    void GoBack();

    virtual std::string GetCmdLineParameter() const = 0;

    // The main-password check: the prompt until its text is accepted (true) or it is cancelled
    // (false). An empty REALPASSWORD takes whatever is typed first.
    static bool VerifyPassword(IWizardWindow& window, TSecretString& realPassword);

    int CurIndex() const { return FCurIndex; }
    int StepCount() const { return static_cast<int>(FList.size()); }
    // The path's run reads PendingFiles loaded by its command-line activation: they are dropped
    // when the path ends, so that they never reach a run of a later path.
    void OwnPendingFiles() { ownsPendingFiles_ = true; }

protected:
    struct TBareSetup {};
    // The hide and show paths set the window up themselves, after the main password.
    TOperationPath(TWizard& owner, TBareSetup);
    void AddStep(std::unique_ptr<TOperationStep> step) { FList.push_back(std::move(step)); }
    TWizard& Wizard() const { return wizard_; }
    IWizardWindow& Window() const;

    int FCurIndex = 0;
    std::vector<std::unique_ptr<TOperationStep>> FList;

private:
    TWizard& wizard_;
    bool ownsPendingFiles_ = false;
    // Cleared by the destructor: a step may end its own path (the show step does).
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace tellvane
