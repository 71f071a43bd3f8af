#pragma once
// The hide path, guarded by the main password: files, folders or drives on the tree page; Next
// (reading "Hide") starts the run that hides each as a whole and records it in the store.
#include <memory>
#include <string>

#include "wizard/OperationPaths.h"
#include "wizard/PathClasses.h"

namespace tellvane {

class THidePath : public TOperationPath {
public:
    // Asks for the main password first. Null when it was refused: the path has already run its
    // destruction, the refusal mark is set and the window stays on the start page.
    static std::unique_ptr<THidePath> Create(TWizard& owner);
    // Hides the change-main-password link of the tree page, then the path's ordinary end.
    ~THidePath() override;
    std::string GetCmdLineParameter() const override { return CmdLineParameter(); }
    static std::string CmdLineParameter() { return "/hide"; }
    // "/hide": with the password accepted, hides the selection file's entries at once.
    static void ActivateOnCmdLine(TWizard& wizard);
    static const TPathClass& Class();

private:
    explicit THidePath(TWizard& owner);
    bool SetUp();
};

class THideChooseFiles : public TOperationStep {
public:
    void GoNext(TWizard& wizard) override;
    void GoBack(TWizard& wizard) override;
};

// Starts the hide run over the tree's marks and PendingFiles, each item taken whole.
void StartHideRun(TWizard& wizard);

}  // namespace tellvane
