#pragma once
// The wizard of the main window: the current path, the handlers of the wizard buttons and of the
// list of operations, the start and the end of a run. Runs on the user-interface thread.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/OperationCallbacks.h"

namespace tellvane {

class IWizardWindow;
class TDriveTreeModel;
class TFilesIterationThread;
class TOperation;
class TOperationPath;
struct TTreeNode;

// Both ways to a new main password: the Options window's button (ASKCURRENT: the current main
// password is asked first when there is one) and the wizard's links. Refused with a message while a
// run is active: a hide run writes the hidden-items store and its password, and the progress window
// leaves the other windows usable.
void ChangeMainPassword(IWizardWindow& window, bool askCurrent);

class TWizard {
public:
    explicit TWizard(IWizardWindow& window);
    // The owner awaits the workers first (StopAndAwaitWorkers); the operation of a run still going
    // is then deliberately kept so that its worker never reads freed memory. A path still current
    // is dropped without touching the window, which may already be half destroyed.
    ~TWizard();
    TWizard(const TWizard&) = delete;
    TWizard& operator=(const TWizard&) = delete;

    IWizardWindow& Window() const { return window_; }
    TDriveTreeModel& Tree() const;

    // The path the window is showing, or null.
    TOperationPath* CurrentPath() const { return current_.get(); }
    // Makes PATH current; a path current before is destroyed first.
    void SetCurrentPath(std::unique_ptr<TOperationPath> path);
    // CurrentPath becomes none, then the path it held is destroyed.
    void DestroyCurrentPath();

    // The wizard buttons. Next, Back and Exit (while it reads "Cancel") are ignored while a run is
    // active, so that no second run can overlap it and the tree stays as the worker reads it.
    void NextButtonClick();
    void BackButtonClick();
    void ExitButtonClick();
    void FinishButtonClick();
    // The list of operations: 0 encrypt, 1 decrypt, 2 shred, 3 hide, 4 show.
    void OperationsListBoxClick(int index);
    // Both change-main-password links.
    void ChangeMainPassLinkClick();
    // The tree view's click on a node's icon, label or state image, and its expansion. Ignored
    // while a run is active (the worker reads the tree then). True when the tree changed.
    bool TreeNodeClick(TTreeNode* node);
    bool TreeNodeExpanding(TTreeNode* node);
    // The first activation of the main window: the new-main-password dialog when no main password
    // exists, then the command-line activation with ARGS (the arguments after the program's path).
    // Later activations do nothing.
    void FormActivate(const std::vector<std::string>& args);
    bool ActiveOnce() const { return activeOnce_; }

    // Starts a run of OPERATION (kept until its worker has ended) and shows the progress window.
    // Refused (false) while another run of this wizard is active.
    bool StartRun(std::unique_ptr<TOperation> operation, TItemsSet itemsForOperation);
    bool RunActive() const;
    // The worker's end of a run: ends the current path, then ends the program when started from
    // the command line, else shows the completion page.
    void ShowCompletion(const std::string& header, const std::string& filesText);
    // The completion page with HEADER and FILESTEXT, Exit hidden so Finish shows, focus back.
    void ShowCompletionPage(const std::string& header, const std::string& filesText);
    // A run ended with an error: the path stays on its last step; the user is told MESSAGE.
    void RunFailed(const std::string& message);

    // Set when the main password was refused while a hide path was being created; never cleared.
    bool HideRefusalMark = false;
    // True once the wizard is being destroyed: ending paths leave the window alone then.
    bool WindowGone() const { return windowGone_; }

private:
    IWizardWindow& window_;
    std::unique_ptr<TOperationPath> current_;
    bool activeOnce_ = false;
    bool windowGone_ = false;
    std::weak_ptr<TFilesIterationThread> runWorker_;
    // Operations of runs whose workers may still read them.
    std::vector<std::pair<std::weak_ptr<TFilesIterationThread>, std::unique_ptr<TOperation>>> runs_;
};

}  // namespace tellvane
