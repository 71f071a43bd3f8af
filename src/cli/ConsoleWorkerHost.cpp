#include "cli/ConsoleWorkerHost.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <functional>
#include <future>
#include <mutex>
#include <set>
#include <thread>
#include <unistd.h>

#include "cli/CliCommands.h"
#include "cli/ConsoleArguments.h"
#include "cli/ConsoleInterrupts.h"
#include "cli/ConsolePasswordInput.h"
#include "engine/FilesIterationThread.h"
#include "engine/NotCompletedReports.h"
#include "engine/PendingFiles.h"
#include "engine/ProgressReadouts.h"
#include "engine/RunRegistry.h"
#include "engine/WorkerHost.h"
#include "l10n/TextConstants.h"

namespace tellvane::cli {
namespace {

class ConsoleHost : public IWorkerHost {
public:
    // The progress line is for a person watching: never in a pipe or a log file.
    explicit ConsoleHost(bool overwrite)
        : uiThread_(std::this_thread::get_id()),
          progressLine_(!Quiet() && isatty(STDERR_FILENO) != 0),
          overwrite_(overwrite) {}

    void RunOnUiThread(const std::function<void()>& step) override {
        if (std::this_thread::get_id() == uiThread_) {
            step();
            return;
        }
        std::packaged_task<void()> task(step);
        auto done = task.get_future();
        {
            std::lock_guard<std::mutex> guard(lock_);
            queue_.push_back(std::move(task));
        }
        wake_.notify_one();
        done.get();  // rethrows what the step raised
    }

    const TDriveTree* DriveTree() const override { return nullptr; }

    // An empty answer, Ctrl-D or a third wrong answer for the same file skips it: a script or a
    // tired user is never held in a loop.
    bool AskFilePassword(const std::string& label, TSecretString& typed) override {
        ClearProgressLine();
        askedFor_ = label == askedLabel_ ? askedFor_ + 1 : 1;
        askedLabel_ = label;
        if (askedFor_ > MaxAnswersPerFile) return false;
        auto answer = AskOnTerminal(label + " (" + GetConstantValue("Empty_answer_skips") + "): ");
        if (!answer || answer->empty()) return false;
        typed = *answer;
        return true;
    }

    // No question on the console: --overwrite says yes to all, else the file is skipped and listed.
    TReplaceAnswer AskReplace(const std::string&) override {
        return overwrite_ ? TReplaceAnswer::raYesToAll : TReplaceAnswer::raNoToAll;
    }

    void ShowPlainMessage(const std::string& text) override {
        ClearProgressLine();
        std::fprintf(stderr, "%s\n", text.c_str());
    }

    // Listed once after the completion text, with the rest.
    void ShowSkippedAtOnce(const std::string&) override {}
    void ShowNotCompletedSummary(const std::vector<TNotCompletedFile>&) override {}

    void CloseProgressWindow() override { ClearProgressLine(); }

    void ShowCompletion(const std::string& header, const std::string& filesText) override {
        ClearProgressLine();
        if (!Quiet()) {
            std::printf("%s\n%s\n", header.c_str(), filesText.c_str());
            std::fflush(stdout);
        }
        completed_ = true;
    }

    void ShowRunError(const std::string& message) override {
        ClearProgressLine();
        std::fprintf(stderr, "%s\n", message.c_str());
        failed_ = true;
    }

    // Serves the worker's calls until it has ended, refreshing the progress line every 100 ms.
    void Serve() {
        bool cancelled = false;
        for (;;) {
            std::deque<std::packaged_task<void()>> steps;
            {
                std::unique_lock<std::mutex> guard(lock_);
                wake_.wait_for(guard, std::chrono::milliseconds(100), [&] { return !queue_.empty(); });
                steps.swap(queue_);
            }
            for (auto& step : steps) step();
            if (const int signal = InterruptSignal(); signal != 0 && !cancelled) {
                cancelled = true;
                cancelled_ = true;
                signal_ = signal;
                CancelOperation();
            }
            if (steps.empty() && RunningWorkerCount() == 0) {
                std::lock_guard<std::mutex> guard(lock_);
                if (queue_.empty()) break;
            }
            DrawProgressLine();
        }
        ClearProgressLine();
    }

    int ExitStatus() const {
        if (failed_) return ExitError;
        if (completed_) return ExitOk;
        // As a shell reports a process that a signal ended: 130 for Ctrl-C, 143 and 129 for the others.
        return cancelled_ ? ExitCancelledBase + signal_ : ExitError;
    }

private:
    void DrawProgressLine() {
        if (!progressLine_ || !ActiveIterationThread()) return;
        const TProgressView v = ReadProgressView();
        const std::string line =
            CliText("Cli_progress_line", {v.filesText, v.elapsedText, v.estimatedText});
        std::fprintf(stderr, "\r\033[K%3d%%  %s", v.allFilesPercent, line.c_str());
        std::fflush(stderr);
        drawn_ = true;
    }

    void ClearProgressLine() {
        if (!drawn_) return;
        std::fprintf(stderr, "\r\033[K");
        std::fflush(stderr);
        drawn_ = false;
    }

    static constexpr int MaxAnswersPerFile = 3;
    std::string askedLabel_;
    int askedFor_ = 0;
    std::thread::id uiThread_;
    bool progressLine_;
    bool overwrite_;
    bool drawn_ = false;
    bool completed_ = false;
    bool failed_ = false;
    bool cancelled_ = false;
    int signal_ = 0;
    std::mutex lock_;
    std::condition_variable wake_;
    std::deque<std::packaged_task<void()>> queue_;
};

}  // namespace

int RunOperation(TOperation& operation, const std::vector<std::string>& paths, TItemsSet items, bool overwrite) {
    ConsoleHost host(overwrite);
    IWorkerHost* previous = GetWorkerHost();
    SetWorkerHost(&host);
    auto& pending = PendingFiles();
    pending.clear();
    for (const auto& p : paths) {
        // Paths are made absolute so that the progress line and the messages name them fully.
        std::string abs = std::filesystem::absolute(p).lexically_normal().string();
        if (abs.size() > 1 && abs.back() == '/' && !(p.size() > 1 && p.back() == '/')) abs.pop_back();
        pending.push_back(abs);
    }
    StartedFromCmdLine = true;
    std::vector<TNotCompletedFile> notCompleted;
    {
        InterruptGuard interrupts;
        auto worker = StartOperation(operation, std::move(items));
        host.Serve();
        notCompleted = worker->NotCompletedFiles();
    }
    pending.clear();
    SetWorkerHost(previous);
    const int status = host.ExitStatus();
    if (status > ExitCancelledBase) std::fprintf(stderr, "%s\n", GetConstantValue("Run_cancelled").c_str());
    // A script may rely on status 0 meaning every file was done: list the others once, one line
    // each, under their count; notes about files done follow.
    std::set<std::string> notDone;
    for (const auto& f : notCompleted)
        if (!f.noteOnly) notDone.insert(f.fileName);
    if (!notDone.empty())
        std::fprintf(stderr, "%s:\n", NotDoneCountText(static_cast<int64_t>(notDone.size())).c_str());
    for (const bool notes : {false, true})
        for (const auto& f : notCompleted)
            if (f.noteOnly == notes) std::fprintf(stderr, "%s: %s\n", f.fileName.c_str(), f.reason.c_str());
    return status == ExitOk && !notDone.empty() ? ExitError : status;
}

}  // namespace tellvane::cli
