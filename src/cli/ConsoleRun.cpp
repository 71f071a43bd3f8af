#include "cli/ConsoleRun.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <deque>
#include <exception>
#include <fcntl.h>
#include <algorithm>
#include <filesystem>
#include <future>
#include <iterator>
#include <set>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include "app/InitFinal.h"
#include "cli/CliCommands.h"
#include "engine/FilesIterationThread.h"
#include "engine/NotCompletedReports.h"
#include "engine/PendingFiles.h"
#include "engine/ProgressReadouts.h"
#include "engine/RunRegistry.h"
#include "engine/WorkerHost.h"
#include "l10n/TextConstants.h"
#include "platform/CodePage.h"
#include "platform/CommandLine.h"
#include "platform/FileSystem.h"
#include "wizard/PasswordText.h"

namespace tellvane::cli {
namespace {

// The number of the signal that asked the run to stop; 0 while none has.
volatile std::sig_atomic_t g_interrupted = 0;
bool g_quiet = false;

void OnInterrupt(int signal) { g_interrupted = signal; }

// Ctrl-C, a shutdown's or timeout's SIGTERM and a closed terminal's SIGHUP cancel the run instead
// of killing the process, for as long as this object lives: killed, it would leave its temporary
// output (the plaintext written so far) behind.
class InterruptGuard {
public:
    static constexpr int Signals[] = {SIGINT, SIGTERM, SIGHUP};
    InterruptGuard() {
        g_interrupted = 0;
        struct sigaction sa {};
        sa.sa_handler = OnInterrupt;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = 0;  // no restart: a pending terminal read returns at once
        for (size_t i = 0; i < std::size(Signals); ++i) sigaction(Signals[i], &sa, &previous_[i]);
    }
    ~InterruptGuard() {
        for (size_t i = 0; i < std::size(Signals); ++i) sigaction(Signals[i], &previous_[i], nullptr);
    }
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

private:
    struct sigaction previous_[std::size(Signals)] {};
};

class ConsoleHost : public IWorkerHost {
public:
    // The progress line is for a person watching: never in a pipe or a log file.
    explicit ConsoleHost(bool overwrite)
        : uiThread_(std::this_thread::get_id()),
          progressLine_(!g_quiet && isatty(STDERR_FILENO) != 0),
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
        if (!g_quiet) {
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

    // Serves the worker's calls until it has ended, refreshing the progress line every 100 ms. The
    // worker's end wakes it: the command returns as soon as its work is done.
    void Serve() {
        const TEndListener listening(*this);
        bool cancelled = false;
        for (;;) {
            std::deque<std::packaged_task<void()>> steps;
            {
                std::unique_lock<std::mutex> guard(lock_);
                wake_.wait_for(guard, std::chrono::milliseconds(100), [&] { return !queue_.empty() || runEnded_; });
                runEnded_ = false;
                steps.swap(queue_);
            }
            for (auto& step : steps) step();
            if (g_interrupted && !cancelled) {
                cancelled = true;
                cancelled_ = true;
                signal_ = g_interrupted;
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
    class TEndListener {
    public:
        explicit TEndListener(ConsoleHost& host) {
            SetRunEndedListener([&host] {
                {
                    std::lock_guard<std::mutex> guard(host.lock_);
                    host.runEnded_ = true;
                }
                host.wake_.notify_one();
            });
        }
        ~TEndListener() { SetRunEndedListener({}); }
        TEndListener(const TEndListener&) = delete;
        TEndListener& operator=(const TEndListener&) = delete;
    };

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
    bool runEnded_ = false;  // a run ended since Serve last looked
};

bool ConsoleNeedsStep(const TStartupStep& step) { return step.use == TStepUse::Both; }

bool LanguageStep(const std::string& name) { return name == "InitFolders" || name == "Language"; }

}  // namespace

void SetQuiet(bool quiet) { g_quiet = quiet; }
bool Quiet() { return g_quiet; }

void InitializeConsoleLanguage(int argc, const char* const* argv) {
    SetCommandLine(argc, argv);
    for (const auto& step : InitializationSteps())
        if (LanguageStep(step.name)) step.run();
}

void InitializeConsole(int argc, const char* const* argv) {
    SetCommandLine(argc, argv);
    for (const auto& step : InitializationSteps())
        if (ConsoleNeedsStep(step) && !LanguageStep(step.name)) step.run();
}

void FinalizeConsole() {
    StopAndAwaitWorkers();
    for (const auto& step : FinalizationSteps())
        if (ConsoleNeedsStep(step)) step.run();
}

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

namespace {

// Reads FD to its end, or only up to the first line break when FIRSTLINE, straight into wiped
// buffers: a stream's or stdio's own buffer would keep the secret in memory nobody wipes.
// False when reading failed.
bool ReadSecret(int fd, bool firstLine, TSecretString& text) {
    TWipedArray<char, 4096> buf;
    for (;;) {
        const ssize_t n = read(fd, buf.data, firstLine ? 1 : buf.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        // One byte at a time for a line: what follows it on standard input is not ours to take.
        if (firstLine && buf[0] == '\n') return true;
        text.append(std::string_view(buf.data, static_cast<size_t>(n)));
    }
}

// FILE ("-": standard input) into TEXT; the errno value of the failure, or 0.
int ReadSecretFile(const std::string& file, bool firstLine, TSecretString& text) {
    if (file == "-") return ReadSecret(STDIN_FILENO, firstLine, text) ? 0 : errno;
    const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    const int err = ReadSecret(fd, firstLine, text) ? 0 : errno;
    close(fd);
    return err;
}

}  // namespace

TSecretString ReadPasswordFile(const std::string& file) {
    TSecretString line;
    if (ReadSecretFile(file, true, line) != 0)
        throw std::runtime_error(file == "-" ? CliText("Cli_password_stdin") : CliText("Cli_password_file", {file}));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

TSecretString ReadKeyFile(const std::string& file) {
    TSecretString bytes;
    if (const int err = ReadSecretFile(file, false, bytes); err != 0)
        throw std::runtime_error(file == "-" ? CliText("Cli_key_file_stdin") : CannotOpenMessage(file, err));
    return PasswordTextFromBytes(bytes, SystemAnsiCodePage());
}

std::optional<TSecretString> AskOnTerminal(const std::string& prompt) {
    int fd = open("/dev/tty", O_RDWR | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct Closer {
        int fd;
        ~Closer() { close(fd); }
    } closer{fd};
    termios saved{};
    const bool isTerminal = tcgetattr(fd, &saved) == 0;
    if (isTerminal) {
        termios quiet = saved;
        quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
        tcsetattr(fd, TCSAFLUSH, &quiet);
    }
    (void)!write(fd, prompt.data(), prompt.size());
    TSecretString line;
    bool ok = false;
    char c;
    for (;;) {
        ssize_t n = read(fd, &c, 1);
        if (n <= 0) break;  // end of input, or Ctrl-C
        if (c == '\n') {
            ok = true;
            break;
        }
        line += c;
    }
    if (isTerminal) tcsetattr(fd, TCSAFLUSH, &saved);
    (void)!write(fd, "\n", 1);
    if (!ok || g_interrupted) return std::nullopt;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}


std::optional<std::string> ParsedArgs::Value(const std::string& name) const {
    for (const auto& [n, v] : options)
        if (n == name) return v;
    return std::nullopt;
}

bool ParsedArgs::Has(const std::string& name) const { return Value(name).has_value(); }

ParsedArgs ParseArgs(const std::vector<std::string>& args, const std::vector<std::string>& options,
                     const std::vector<std::string>& flags) {
    ParsedArgs parsed;
    bool onlyPaths = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (onlyPaths || a.empty() || a[0] != '-' || a == "-") {
            parsed.paths.push_back(a);
            continue;
        }
        if (a == "--") {
            onlyPaths = true;
            continue;
        }
        if (a == "-q" || a == "--quiet") {
            SetQuiet(true);
            continue;
        }
        if (std::find(flags.begin(), flags.end(), a) != flags.end()) {
            parsed.options.emplace_back(a, "");
            continue;
        }
        if (std::find(options.begin(), options.end(), a) != options.end()) {
            if (i + 1 >= args.size()) throw UsageError(CliText("Cli_option_needs_value", {a}));
            parsed.options.emplace_back(a, args[++i]);
            continue;
        }
        throw UsageError(CliText("Cli_unknown_option", {a}));
    }
    return parsed;
}

}  // namespace tellvane::cli
