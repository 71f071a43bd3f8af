#include "engine/NotCompletedReports.h"

#include <set>

#include "base/Logger.h"
#include "engine/WorkerHost.h"

namespace tellvane {

namespace {

// The run the current thread serves, for reports raised deep inside an operation.
thread_local TNotCompletedList* t_currentList = nullptr;
thread_local IWorkerHost* t_currentHost = nullptr;

}  // namespace

void TNotCompletedList::Add(const std::string& fileName, const std::string& reason, bool noteOnly) {
    std::lock_guard<std::mutex> guard(lock_);
    files_.push_back({fileName, reason, noteOnly});
}

std::vector<TNotCompletedFile> TNotCompletedList::Files() const {
    std::lock_guard<std::mutex> guard(lock_);
    return files_;
}

size_t TNotCompletedList::CountAmong(const std::vector<std::string>& listed) const {
    const std::set<std::string> names(listed.begin(), listed.end());
    std::set<std::string> missed;
    std::lock_guard<std::mutex> guard(lock_);
    for (const auto& f : files_)
        if (!f.noteOnly && names.count(f.fileName)) missed.insert(f.fileName);
    return missed.size();
}

size_t TNotCompletedList::CountNotDone() const {
    std::set<std::string> missed;
    std::lock_guard<std::mutex> guard(lock_);
    for (const auto& f : files_)
        if (!f.noteOnly) missed.insert(f.fileName);
    return missed.size();
}

TReportScope::TReportScope(TNotCompletedList& list, IWorkerHost& host) {
    t_currentList = &list;
    t_currentHost = &host;
}

TReportScope::TReportScope(const TCurrent& current) {
    t_currentList = current.list;
    t_currentHost = current.host;
}

TReportScope::TCurrent TReportScope::Current() { return {t_currentList, t_currentHost}; }

TReportScope::~TReportScope() {
    t_currentList = nullptr;
    t_currentHost = nullptr;
}

void ShowMessageFromWorker(const std::string& text) {
    IWorkerHost* host = t_currentHost ? t_currentHost : GetWorkerHost();
    if (!host) return;
    host->RunOnUiThread([&] { host->ShowPlainMessage(text); });
}

void WarnFromWorker(const std::string& text) {
    Log(text, "Warning");
    ShowMessageFromWorker(text);
}

void NoteAboutFile(const std::string& fileName, const std::string& text) {
    Log(text, "Warning");
    if (t_currentList) t_currentList->Add(fileName, text, true);
}

void ReportNotCompleted(const std::string& fileName, const std::string& reason, bool atOnce) {
    Log(fileName + ": " + reason, "NotCompleted");
    if (t_currentList) t_currentList->Add(fileName, reason);
    if (!atOnce) return;
    IWorkerHost* host = t_currentHost ? t_currentHost : GetWorkerHost();
    if (host) host->RunOnUiThread([&] { host->ShowSkippedAtOnce(reason); });
}

}  // namespace tellvane
