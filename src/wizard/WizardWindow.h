#pragma once
// What the wizard logic needs of the main window. The Qt main window implements it; tests
// implement it with a model of the window. Every call is made on the user-interface thread.
#include <string>
#include <vector>

#include "engine/WorkerHost.h"

namespace tellvane {

class TDriveTreeModel;

// The pages of the main window.
enum TWizardPage : int {
    wpStart = 0,         // the list of operations
    wpEncryptSettings = 1,
    wpChooseFiles = 2,   // the drive and file tree
    wpDecryptSettings = 3,
    wpShredSettings = 4,
    wpHiddenList = 5,    // the list of hidden items
    wpHidePicture = 6,   // holds the hide picture only; never shown
    wpCompletion = 7,
};

// The side pictures a path puts on the file-choice and completion pages.
enum class TSidePicture { spEncrypt, spDecrypt, spShred, spHide, spShow };

// Controls the wizard gives the keyboard focus to.
enum class TFocusTarget { ftMainWindow, ftEncryptPassword };

class IWizardWindow {
public:
    virtual ~IWizardWindow() = default;

    // Pages and wizard buttons.
    virtual void ShowPage(int page) = 0;
    virtual int CurrentPage() const = 0;
    virtual void SetNextVisible(bool visible) = 0;
    virtual void SetBackVisible(bool visible) = 0;
    // Finish is visible exactly while Exit is hidden; it sits in Exit's place.
    virtual void SetExitVisible(bool visible) = 0;
    virtual void SetNextCaption(const std::string& caption) = 0;
    virtual void SetExitCaption(const std::string& caption) = 0;
    virtual std::string ExitCaption() const = 0;
    // The window's own hint, shown in the status bar when the pointer is on nothing with a hint.
    virtual void SetStepTitle(const std::string& title) = 0;

    // The file-choice page.
    virtual void SetChooseFilesHeader(const std::string& text) = 0;
    virtual void SetChooseFilesDesc(const std::string& text) = 0;
    // Copies the path's picture to the file-choice and the completion pages.
    virtual void SetSidePictures(TSidePicture picture) = 0;
    virtual void SetChangeMainPassLinkVisible(bool visible) = 0;
    // The tree model the view shows and the worker reads.
    virtual TDriveTreeModel& TreeModel() = 0;
    // The model was rebuilt: the view drops its rows and shows the new roots.
    virtual void DriveTreeRebuilt() = 0;

    // Settings. Passwords are the boxes' texts (UTF-8).
    virtual std::string EncryptPassword() const = 0;
    virtual int EncryptAlgorithmIndex() const = 0;
    virtual bool EncryptDeleteSource() const = 0;
    // Whether the encrypt box holds what the "..." button read from a key file, untouched since.
    virtual bool EncryptPasswordFromKeyFile() const = 0;
    virtual void SetEncryptDeleteSource(bool checked) = 0;
    virtual std::string DecryptPassword() const = 0;
    virtual bool DecryptDeleteSource() const = 0;
    virtual int ShredAlgorithmIndex() const = 0;
    virtual void FocusControl(TFocusTarget target) = 0;

    // The list of hidden items: replaced by PATHS, every entry unchecked; entry i is store item i.
    virtual void FillHiddenItems(const std::vector<std::string>& paths) = 0;
    virtual int HiddenItemCount() const = 0;
    virtual bool HiddenItemChecked(int index) const = 0;

    // The completion page's header and count line.
    virtual void SetCompletionTexts(const std::string& header, const std::string& filesText) = 0;

    // Modal dialogs. The main-password prompt: true for OK with the text typed.
    virtual bool AskMainPassword(std::string& typed) = 0;
    // The new-main-password dialog; on OK it sets STOREPASSWORD (TChangeMainPassDialog holds the rule).
    virtual void ShowChangeMainPassword(std::string& storePassword) = 0;
    // The pass phrase asked once more before an encryption that deletes its sources: true for OK,
    // with the text typed.
    virtual bool ConfirmEncryptPassword(std::string& typed) = 0;
    // The per-file password prompt labelled LABEL: true for OK; TYPED is the text in any case.
    virtual bool AskFilePassword(const std::string& label, std::string& typed) = 0;

    // The question whether an output may replace an existing file: Yes, No, Yes to all, No to all.
    virtual TReplaceAnswer AskReplace(const std::string& question) = 0;

    // Message boxes: error icon and empty title; information icon and empty title; no icon and the
    // application's title. Each has an OK button and returns when it is closed.
    virtual void ErrorBox(const std::string& text) = 0;
    virtual void InfoBox(const std::string& text) = 0;
    virtual void PlainMessage(const std::string& text) = 0;
    // The one dialog at a run's end that lists each entry not done (and each note) with its
    // reason, as text the user can scroll and copy.
    virtual void ShowNotDoneSummary(const std::vector<TNotCompletedFile>& entries) = 0;

    // The progress window of the run just started (shown without waiting), and its closing.
    virtual void ShowProgressWindow() = 0;
    virtual void CloseProgressWindow() = 0;
    // Ends the message loop; shutdown follows.
    virtual void TerminateApplication() = 0;
};

}  // namespace tellvane
