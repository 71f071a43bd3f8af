#pragma once
// The windows under test: one application object for the whole program (offscreen unless told
// otherwise), the start-up sequence run once in a temporary data folder, and a fixture that
// creates the program's windows afresh for each test with every message box and desktop action
// caught by hooks.
#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/TestSupport.h"
#include "ui/AppWindows.h"
#include "ui/MainForm.h"
#include "ui/StandardDialogs.h"

namespace tellvane::test {

struct TTreeNodePath;

// Processes events until PREDICATE holds or TIMEOUTMS pass; true when it held.
bool WaitFor(const std::function<bool()>& predicate, int timeoutMs = 10000);

// Runs ACTION on the next modal dialog that opens (polled while events are processed).
class TModalAnswer {
public:
    explicit TModalAnswer(std::function<void(QWidget*)> action);
    ~TModalAnswer();
    bool Done() const { return *done_; }

private:
    std::shared_ptr<bool> done_;
    std::shared_ptr<bool> alive_;
};

// Saves a picture of WIDGET as NAME.png when TELLVANE_SCREENSHOT_DIR names a folder.
void Screenshot(QWidget* widget, const std::string& name);

class UiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the windows and shows the main window (the first activation follows).
    void CreateWindows();
    TMainForm& Main() const { return windows_->MainForm(); }
    TAppWindows& Windows() const { return *windows_; }

    template <class T>
    T* Find(const char* name) const {
        return Find<T>(&Main(), name);
    }
    template <class T>
    static T* Find(QWidget* root, const char* name) {
        T* found = root->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << "no control named " << name;
        return found;
    }

    void Click(const char* buttonName);
    // A click on row INDEX of the list of operations.
    void ClickOperation(int index);
    // Expands the tree down to PATH's folder and clicks PATH's node; false when it is not there.
    bool ClickTreePath(const std::string& path);
    // Operation INDEX from the start page, FILE checked in the tree, Next: true once on SETTINGSPAGE.
    bool ChooseFileAndGoOn(int index, const std::string& file, int settingsPage);
    void TypeInto(const char* editName, const std::string& text);
    // Answers the next modal dialog: PASSWORD in its "PasswordEdit", then OK.
    std::unique_ptr<TModalAnswer> AnswerPassword(const std::string& password, const std::string& shotName = {});
    bool WaitForPage(int page, int timeoutMs = 20000);

    std::vector<TBoxRecord> boxes_;
    std::vector<std::string> summaries_;                   // the run summaries' texts
    std::deque<std::optional<std::string>> confirmAnswers_;  // the confirmation's answers
    std::vector<std::string> startedSwitches_;
    std::vector<std::string> helpOpened_;
    bool helpOpens_ = true;  // what the stand-in opener answers
    std::unique_ptr<TempDir> dir_;

private:
    std::unique_ptr<TAppWindows> windows_;
};

}  // namespace tellvane::test
