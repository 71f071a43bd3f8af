#pragma once
// The worker host of the windowed program: a run's user-interface steps go to the wizard and its
// window. The front end supplies only the way a step reaches the user-interface thread.
#include <functional>
#include <string>

#include "engine/WorkerHost.h"

namespace tellvane {

class TWizard;

// Runs a step on the user-interface thread and returns once it has run there; called from the
// worker (and, for a step the user-interface thread makes itself, from that thread: run it inline).
using TUiDispatcher = std::function<void(const std::function<void()>& step)>;

class TWizardWorkerHost : public IWorkerHost {
public:
    TWizardWorkerHost(TWizard& wizard, TUiDispatcher dispatcher);

    void RunOnUiThread(const std::function<void()>& step) override;
    // The window's tree model.
    const TDriveTree* DriveTree() const override;
    // The per-file prompt of the window.
    bool AskFilePassword(const std::string& label, std::string& typed) override;
    // The window's replace question.
    TReplaceAnswer AskReplace(const std::string& question) override;
    void ShowPlainMessage(const std::string& text) override;
    // A plain message box.
    void ShowSkippedAtOnce(const std::string& text) override;
    // The window's summary dialog.
    void ShowNotCompletedSummary(const std::vector<TNotCompletedFile>& entries) override;
    void CloseProgressWindow() override;
    // TWizard::ShowCompletion.
    void ShowCompletion(const std::string& header, const std::string& filesText) override;
    // TWizard::RunFailed.
    void ShowRunError(const std::string& message) override;

private:
    TWizard& wizard_;
    TUiDispatcher dispatcher_;
};

}  // namespace tellvane
