#include "wizard/WizardWorkerHost.h"

#include "wizard/DriveTreeModel.h"
#include "wizard/Wizard.h"
#include "wizard/WizardWindow.h"

namespace tellvane {

TWizardWorkerHost::TWizardWorkerHost(TWizard& wizard, TUiDispatcher dispatcher)
    : wizard_(wizard), dispatcher_(std::move(dispatcher)) {}

void TWizardWorkerHost::RunOnUiThread(const std::function<void()>& step) { dispatcher_(step); }

const TDriveTree* TWizardWorkerHost::DriveTree() const { return &wizard_.Tree().Tree(); }

bool TWizardWorkerHost::AskFilePassword(const std::string& label, std::string& typed) {
    return wizard_.Window().AskFilePassword(label, typed);
}

TReplaceAnswer TWizardWorkerHost::AskReplace(const std::string& question) {
    return wizard_.Window().AskReplace(question);
}

void TWizardWorkerHost::ShowPlainMessage(const std::string& text) { wizard_.Window().PlainMessage(text); }

void TWizardWorkerHost::ShowSkippedAtOnce(const std::string& text) { wizard_.Window().PlainMessage(text); }

void TWizardWorkerHost::ShowNotCompletedSummary(const std::vector<TNotCompletedFile>& entries) {
    wizard_.Window().ShowNotDoneSummary(entries);
}

void TWizardWorkerHost::CloseProgressWindow() { wizard_.Window().CloseProgressWindow(); }

void TWizardWorkerHost::ShowCompletion(const std::string& header, const std::string& filesText) {
    wizard_.ShowCompletion(header, filesText);
}

void TWizardWorkerHost::ShowRunError(const std::string& message) { wizard_.RunFailed(message); }

}  // namespace tellvane
