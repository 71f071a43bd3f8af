#include "base/Logger.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>

#include "platform/AppFolders.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/CommandLine.h"
#include "platform/FileDescriptor.h"
#include "platform/Paths.h"
#include "platform/TextFormat.h"

namespace tellvane {
namespace {

std::atomic<bool> g_enabled{false};
thread_local bool t_busy = false;

// The logger's state is never destroyed: an exception thrown while the process ends (static
// destructors, threads still running) may still come here.

// Guards the file name and the writer.
std::mutex& StateMutex() {
    static auto* m = new std::mutex;
    return *m;
}
std::string& FileNameRef() {
    static auto* name = new std::string;
    return *name;
}
TLogLineWriter& WriterRef() {
    static auto* writer = new TLogLineWriter(WriteLogLine);
    return *writer;
}

// Keeps the lines of one entry (an exception block) together when several threads log at once.
// Recursive: a writer that logs again on the same thread must not deadlock.
std::recursive_mutex& EntryMutex() {
    static auto* m = new std::recursive_mutex;
    return *m;
}

// Appends from two threads are serialized so that no line is lost or torn.
std::mutex& FileMutex() {
    static auto* m = new std::mutex;
    return *m;
}

TLogLineWriter CurrentWriter() {
    std::lock_guard<std::mutex> lock(StateMutex());
    return WriterRef();
}

bool WriteAllBytes(int fd, const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

TLoggerBusy::TLoggerBusy() : was_(t_busy) { t_busy = true; }
TLoggerBusy::~TLoggerBusy() { t_busy = was_; }
bool LoggerBusyOnThisThread() { return t_busy; }

void InitLogger(const std::string& switchText) {
    {
        std::lock_guard<std::mutex> lock(StateMutex());
        WriterRef() = WriteLogLine;
        FileNameRef() = GetDataFolder() + ExtractFileName(ExecutablePath()) + ".log";
    }
    g_enabled = HasSwitch(switchText);
}

bool LogEnabled() { return g_enabled.load(); }

void SetLogEnabled(bool enabled) { g_enabled = enabled; }

std::string LogFileName() {
    std::lock_guard<std::mutex> lock(StateMutex());
    return FileNameRef();
}

void SetLogLineWriter(TLogLineWriter writer) {
    std::lock_guard<std::mutex> lock(StateMutex());
    WriterRef() = writer ? std::move(writer) : TLogLineWriter(WriteLogLine);
}

void WriteLogLine(const std::string& text) {
    TLoggerBusy busy;
    try {
        const std::string fileName = LogFileName();
        if (fileName.empty()) return;
        // The log is kept in the system's ANSI code page, as every other 8-bit text of the program.
        std::string line = Utf8ToCodePage(text, SystemAnsiCodePage());
        line += "\r\n";
        std::lock_guard<std::mutex> lock(FileMutex());
        TFileDescriptor fd(::open(fileName.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600));
        if (!fd.valid()) return;  // the line is lost; logging never reports
        WriteAllBytes(fd.get(), line);
    } catch (...) {
        // Out of memory or a failed conversion: the line is lost.
    }
}

void Log(const std::string& msg, const std::string& source) {
    if (!LogEnabled()) return;
    TLoggerBusy busy;
    try {
        std::string line = Format("%s %s: %s", {FormatLogStamp(Now()), source, msg});
        TLogLineWriter writer = CurrentWriter();
        std::lock_guard<std::recursive_mutex> lock(EntryMutex());
        writer(line);
    } catch (...) {
        // A writer that fails loses the line.
    }
}

void WriteLogBlock(const std::vector<std::string>& lines) {
    TLoggerBusy busy;
    try {
        TLogLineWriter writer = CurrentWriter();
        std::lock_guard<std::recursive_mutex> lock(EntryMutex());
        for (const auto& line : lines) writer(line);
    } catch (...) {
    }
}

}  // namespace tellvane
