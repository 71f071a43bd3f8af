#pragma once
// The entries a run did not complete and why, gathered while it goes, and the calls by which an
// operation reports them from deep inside its work.
#include <mutex>
#include <string>
#include <vector>

namespace tellvane {

class IWorkerHost;

// A file a run did not complete, and why (the text the user is told). A note is about a file that
// was done all the same (it has other hard links, say): listed with the rest, never counted.
struct TNotCompletedFile {
    std::string fileName;
    std::string reason;
    bool noteOnly = false;
};

// One run's entries not completed, in the order reported (any thread).
class TNotCompletedList {
public:
    void Add(const std::string& fileName, const std::string& reason, bool noteOnly = false);
    std::vector<TNotCompletedFile> Files() const;
    // How many distinct entries of LISTED were reported not done: a file reported twice counts
    // once, and a name not in LISTED (a folder that could not be listed) not at all.
    size_t CountAmong(const std::vector<std::string>& listed) const;
    // How many distinct entries were reported not done, listed or not.
    size_t CountNotDone() const;

private:
    mutable std::mutex lock_;
    std::vector<TNotCompletedFile> files_;
};

// Binds the calling thread to one run for the scope's life: the reports below go to LIST and
// their messages to HOST.
class TReportScope {
public:
    TReportScope(TNotCompletedList& list, IWorkerHost& host);
    // Binds the calling thread to the run the thread that made CURRENT serves (a helper thread of
    // that run); binds nothing outside a run.
    struct TCurrent {
        TNotCompletedList* list;
        IWorkerHost* host;
    };
    explicit TReportScope(const TCurrent& current);
    static TCurrent Current();
    ~TReportScope();
    TReportScope(const TReportScope&) = delete;
    TReportScope& operator=(const TReportScope&) = delete;
};

// A plain message shown by the user-interface thread while the calling worker waits.
void ShowMessageFromWorker(const std::string& text);
// Logs TEXT and shows it at once: a warning about the whole run.
void WarnFromWorker(const std::string& text);
// Logs TEXT about FILENAME, which was done all the same, for the run's summary.
void NoteAboutFile(const std::string& fileName, const std::string& text);
// Records that FILENAME was not completed: logs REASON, keeps the file out of the calling worker's
// completion count and lists it in the run's summary; ATONCE also shows REASON now, in a box the
// user closes before the run goes on.
void ReportNotCompleted(const std::string& fileName, const std::string& reason, bool atOnce = false);

}  // namespace tellvane
