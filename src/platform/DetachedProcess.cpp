#include "platform/DetachedProcess.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/close_range.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/SystemError.h"
#include "platform/TextFormat.h"

namespace tellvane {
namespace {

class Pipe {
public:
    Pipe() {
        if (pipe2(fds_, O_CLOEXEC) != 0) fds_[0] = fds_[1] = -1;
    }
    ~Pipe() {
        Close(0);
        Close(1);
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    bool ok() const { return fds_[0] >= 0; }
    int read() const { return fds_[0]; }
    int write() const { return fds_[1]; }
    void Close(int i) {
        if (fds_[i] >= 0) ::close(fds_[i]);
        fds_[i] = -1;
    }

private:
    int fds_[2];
};

[[noreturn]] void ReportAndExit(int fd, int err) {
    ssize_t n = ::write(fd, &err, sizeof err);
    (void)n;
    _exit(127);
}

std::string StartError(const std::string& program, int err) {
    return Format("Cannot start \"%s\". %s", {program, FormatSystemError(err)});
}

}  // namespace

void StartDetached(const std::string& program, const std::vector<std::string>& args) {
    // Everything the children use is prepared here: after fork only async-signal-safe calls.
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    // The exec's outcome comes back through a pipe closed on exec: end of file means it ran.
    Pipe status;
    if (!status.ok()) throw EStartProcessError(StartError(program, errno));

    pid_t child = fork();
    if (child < 0) throw EStartProcessError(StartError(program, errno));
    if (child == 0) {
        // The intermediate child ends at once, so the program is adopted by init and the caller
        // keeps no zombie and no tie to it.
        pid_t grandchild = fork();
        if (grandchild < 0) ReportAndExit(status.write(), errno);
        if (grandchild > 0) _exit(0);
        setsid();
        // None of the caller's files (its data files, sockets of the display) reach the program.
        syscall(SYS_close_range, 3u, ~0u, CLOSE_RANGE_CLOEXEC);
        int null = open("/dev/null", O_RDONLY);
        if (null >= 0) {
            dup2(null, STDIN_FILENO);
            if (null != STDIN_FILENO) ::close(null);
        }
        execv(program.c_str(), argv.data());
        ReportAndExit(status.write(), errno);
    }
    status.Close(1);
    int wstatus = 0;
    while (waitpid(child, &wstatus, 0) < 0 && errno == EINTR) {
    }
    int err = 0;
    ssize_t n;
    do {
        n = ::read(status.read(), &err, sizeof err);
    } while (n < 0 && errno == EINTR);
    if (n == static_cast<ssize_t>(sizeof err)) throw EStartProcessError(StartError(program, err));
}

}  // namespace tellvane
