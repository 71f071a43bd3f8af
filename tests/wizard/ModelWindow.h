#pragma once
// A model of the main window for the wizard tests: it records every call in order, holds the
// controls' states and answers the dialogs from scripted answers. Also the test's user-interface
// loop that serves a worker's synchronous calls.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "wizard/DriveTreeModel.h"
#include "wizard/PasswordDialogs.h"
#include "wizard/WizardWindow.h"

namespace tellvane::test {

struct TBox {
    std::string kind;  // "error", "info", "plain"
    std::string text;
    bool operator==(const TBox&) const = default;
};

class TModelWindow : public IWizardWindow {
public:
    void ShowPage(int p) override { Record("ShowPage(" + std::to_string(p) + ")"); page = p; }
    int CurrentPage() const override { return page; }
    void SetNextVisible(bool v) override { Record(std::string("NextVisible(") + (v ? "1" : "0") + ")"); nextVisible = v; }
    void SetBackVisible(bool v) override { Record(std::string("BackVisible(") + (v ? "1" : "0") + ")"); backVisible = v; }
    void SetExitVisible(bool v) override { Record(std::string("ExitVisible(") + (v ? "1" : "0") + ")"); exitVisible = v; }
    void SetNextCaption(const std::string& c) override { Record("NextCaption(" + c + ")"); nextCaption = c; }
    void SetExitCaption(const std::string& c) override { Record("ExitCaption(" + c + ")"); exitCaption = c; }
    std::string ExitCaption() const override { return exitCaption; }
    void SetStepTitle(const std::string& t) override { Record("StepTitle(" + t + ")"); stepTitle = t; }
    void SetChooseFilesHeader(const std::string& t) override { Record("Header"); header = t; }
    void SetChooseFilesDesc(const std::string& t) override { Record("Desc"); desc = t; }
    void SetSidePictures(TSidePicture p) override { Record("Pictures"); picture = p; }
    void SetChangeMainPassLinkVisible(bool v) override { Record(std::string("Link(") + (v ? "1" : "0") + ")"); linkVisible = v; }
    TDriveTreeModel& TreeModel() override { return tree; }
    void DriveTreeRebuilt() override { Record("TreeRebuilt"); ++treeRebuilds; }

    std::string EncryptPassword() const override { return encryptPassword; }
    bool EncryptPasswordFromKeyFile() const override { return encryptFromKeyFile; }
    // Answers in turn: a text for OK, nullopt for Cancel; none left answers what the box holds.
    bool ConfirmEncryptPassword(std::string& typed) override {
        Record("ConfirmPassword");
        if (confirmAnswers.empty()) return typed = encryptPassword, true;
        const std::optional<std::string> a = confirmAnswers.front();
        confirmAnswers.pop_front();
        typed = a.value_or("");
        return a.has_value();
    }
    int EncryptAlgorithmIndex() const override { return encryptAlgorithm; }
    bool EncryptDeleteSource() const override { return encryptDelete; }
    void SetEncryptDeleteSource(bool c) override { Record("EncryptDelete"); encryptDelete = c; }
    std::string DecryptPassword() const override { return decryptPassword; }
    bool DecryptDeleteSource() const override { return decryptDelete; }
    int ShredAlgorithmIndex() const override { return shredAlgorithm; }
    void FocusControl(TFocusTarget t) override { Record("Focus"); focus.push_back(t); }

    void FillHiddenItems(const std::vector<std::string>& paths) override {
        Record("FillHidden");
        hiddenItems = paths;
        hiddenChecked.assign(paths.size(), false);
    }
    int HiddenItemCount() const override { return static_cast<int>(hiddenItems.size()); }
    bool HiddenItemChecked(int i) const override { return hiddenChecked.at(static_cast<size_t>(i)); }

    void SetCompletionTexts(const std::string& h, const std::string& t) override {
        Record("Completion");
        completionHeader = h;
        completionText = t;
    }

    // Answers: a text for OK, nullopt for Cancel. No answer left counts as Cancel.
    bool AskMainPassword(std::string& typed) override;
    void ShowChangeMainPassword(std::string& storePassword) override;
    bool AskFilePassword(const std::string& label, std::string& typed) override;

    // Answers in turn; none left answers No.
    TReplaceAnswer AskReplace(const std::string& q) override {
        Record("AskReplace");
        replaceQuestions.push_back(q);
        if (replaceAnswers.empty()) return TReplaceAnswer::raNo;
        const TReplaceAnswer a = replaceAnswers.front();
        replaceAnswers.pop_front();
        return a;
    }
    void ErrorBox(const std::string& t) override { Record("ErrorBox"); boxes.push_back({"error", t}); }
    void InfoBox(const std::string& t) override { Record("InfoBox"); boxes.push_back({"info", t}); }
    void PlainMessage(const std::string& t) override { Record("Plain"); boxes.push_back({"plain", t}); }
    void ShowNotDoneSummary(const std::vector<TNotCompletedFile>& entries) override {
        Record("Summary");
        summaries.push_back(entries);
    }
    void ShowProgressWindow() override { Record("Progress"); ++progressShown; }
    void CloseProgressWindow() override { Record("CloseProgress"); ++progressClosed; }
    void TerminateApplication() override { Record("Terminate"); terminated = true; }

    void Record(const std::string& call) { log.push_back(call); }

    std::vector<std::vector<TNotCompletedFile>> summaries;
    int page = 0;
    bool nextVisible = false, backVisible = false, exitVisible = true, linkVisible = false;
    std::string nextCaption = "Next", exitCaption = "Exit", stepTitle, header, desc;
    std::optional<TSidePicture> picture;
    TDriveTreeModel tree;
    int treeRebuilds = 0;
    std::string encryptPassword;
    bool encryptFromKeyFile = false;
    std::deque<std::optional<std::string>> confirmAnswers;
    int encryptAlgorithm = 0;
    bool encryptDelete = false;
    std::string decryptPassword;
    bool decryptDelete = false;
    int shredAlgorithm = 0;
    std::vector<TFocusTarget> focus;
    std::vector<std::string> hiddenItems;
    std::vector<bool> hiddenChecked;
    std::string completionHeader, completionText;

    TMainPassDialog mainPass;
    std::deque<std::optional<std::string>> mainPassAnswers;
    int mainPassShown = 0;
    struct TChangeAnswer {
        std::string first, again;
        bool ok = true;
    };
    TChangeMainPassDialog changePass;
    std::deque<TChangeAnswer> changeAnswers;
    int changeShown = 0;
    TOperationPassDialog filePass;
    std::deque<std::optional<std::string>> filePassAnswers;
    std::vector<std::string> filePassLabels;

    std::deque<TReplaceAnswer> replaceAnswers;
    std::vector<std::string> replaceQuestions;
    std::vector<TBox> boxes;
    int progressShown = 0, progressClosed = 0;
    bool terminated = false;
    std::vector<std::string> log;
};

// The test thread acts as the user-interface thread: steps from other threads wait in a queue
// until the test pumps it; steps from the test thread itself run at once.
class TTestUiLoop {
public:
    TTestUiLoop() : uiThread_(std::this_thread::get_id()) {}
    void RunOnUiThread(const std::function<void()>& step);
    // Serves queued steps until PRED holds; false after TIMEOUT.
    bool PumpUntil(const std::function<bool()>& pred, std::chrono::milliseconds timeout = std::chrono::seconds(30));

private:
    struct TItem {
        const std::function<void()>* step;
        std::exception_ptr error;
        bool done = false;
    };
    std::thread::id uiThread_;
    std::mutex lock_;
    std::condition_variable changed_;
    std::deque<TItem*> queue_;
};

}  // namespace tellvane::test
