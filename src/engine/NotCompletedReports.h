#pragma once
// The entries a run did not complete and why, gathered while it goes, and the calls by which an
// operation reports them from deep inside its work.
#include <mutex>
#include <string>
#include <vector>

namespace tellvane {

class IWorkerHost;

// A file a run did not complete, and why (the text the user was told).
struct TNotCompletedFile {
    std::string fileName;
    std::string reason;
};

// One run's entries not completed, in the order reported (any thread).
class TNotCompletedList {
public:
    void Add(const std::string& fileName, const std::string& reason);
    std::vector<TNotCompletedFile> Files() const;
    // How many distinct entries of LISTED were reported: a file reported twice (say, a failed
    // deletion after a warning) counts once, and a name not in LISTED (a folder that could not be
    // listed) not at all.
    size_t CountAmong(const std::vector<std::string>& listed) const;

private:
    mutable std::mutex lock_;
    std::vector<TNotCompletedFile> files_;
};

// Binds the calling thread to one run for the scope's life: the reports below go to LIST and
// their messages to HOST.
class TReportScope {
public:
    TReportScope(TNotCompletedList& list, IWorkerHost& host);
    ~TReportScope();
    TReportScope(const TReportScope&) = delete;
    TReportScope& operator=(const TReportScope&) = delete;
};

// A plain message shown by the user-interface thread while the calling worker waits.
void ShowMessageFromWorker(const std::string& text);
// Logs TEXT and shows it: a warning about a file that was nevertheless done.
void WarnFromWorker(const std::string& text);
// Reports from inside an operation that FILENAME was not completed: logs REASON, tells the user
// unless TELLUSER is false (a prompt the user declined needs no message), and keeps the file out of
// the calling worker's completion count. The run goes on with the next file.
void ReportNotCompleted(const std::string& fileName, const std::string& reason, bool tellUser = true);

}  // namespace tellvane
