#pragma once
// The show path, guarded by the main password: the list of hidden items; Next (reading "Show")
// makes the checked ones visible again on the user-interface thread and shows the completion.
#include <memory>
#include <string>

#include "wizard/OperationPaths.h"

namespace tellvane {

class TShowPath : public TOperationPath {
public:
    // Asks for the main password first; null when it was refused (the window stays on the start
    // page).
    static std::unique_ptr<TShowPath> Create(TWizard& owner);
    std::string GetCmdLineParameter() const override { return CmdLineParameter(); }
    static std::string CmdLineParameter() { return "/show"; }
    // Not registered for the command line; activating it does nothing.
    static void ActivateOnCmdLine(TWizard&) {}

private:
    explicit TShowPath(TWizard& owner);
    bool SetUp();
};

class TShowListOfHidden : public TOperationStep {
public:
    // Shows the checked entries from the last to the first (each removes its store item, so the
    // indexes not yet handled stay valid), ends the path and shows the completion.
    void GoNext(TWizard& wizard) override;
    void GoBack(TWizard& wizard) override;
};

}  // namespace tellvane
