#pragma once
// What a run needs of the user interface. The worker calls these only through RunOnUiThread, so
// the windows are touched on the user-interface thread while the worker waits; the tree is read
// from the worker's own thread.
#include <functional>
#include <string>
#include <vector>

#include "engine/NotCompletedReports.h"

namespace tellvane {

class TDriveTree;

// The answers to "%s already exists. Replace it?"; the "to all" answers hold for the rest of the run.
enum class TReplaceAnswer { raYes, raNo, raYesToAll, raNoToAll };

class IWorkerHost {
public:
    virtual ~IWorkerHost() = default;
    // Runs STEP on the user-interface thread and returns when it has run there.
    virtual void RunOnUiThread(const std::function<void()>& step) = 0;
    // The tree whose marks select the run's files; null when there is none (console).
    virtual const TDriveTree* DriveTree() const = 0;
    // The per-file password prompt labelled LABEL; true for OK, with the typed text (UTF-8).
    virtual bool AskFilePassword(const std::string& label, std::string& typed) = 0;
    // The question QUESTION whether an output may replace an existing file.
    virtual TReplaceAnswer AskReplace(const std::string& question) = 0;
    // A plain message box with TEXT, closed by the user.
    virtual void ShowPlainMessage(const std::string& text) = 0;
    // A skipped file the user is told of at the moment it happens (TEXT names it); it is also in
    // the summary. A host that lists the summary as text anyway need not show it twice.
    virtual void ShowSkippedAtOnce(const std::string& text) = 0;
    // Once at a run's end, before its completion: every entry not done (and every note), in the
    // order reported.
    virtual void ShowNotCompletedSummary(const std::vector<TNotCompletedFile>& entries) = 0;
    virtual void CloseProgressWindow() = 0;
    // The end of a completed run: ends the wizard path, then shows the finish page with HEADER
    // and FILESTEXT, or ends the program when the run was started from the command line.
    virtual void ShowCompletion(const std::string& header, const std::string& filesText) = 0;
    // A run that ended with an error: tell the user MESSAGE.
    virtual void ShowRunError(const std::string& message) = 0;
};

// The host the next runs use; set by the windows or the console before a run starts.
void SetWorkerHost(IWorkerHost* host);
IWorkerHost* GetWorkerHost();

}  // namespace tellvane
