#include "cli/ConsolePasswordInput.h"

#include <cerrno>
#include <fcntl.h>
#include <stdexcept>
#include <string_view>
#include <termios.h>
#include <unistd.h>

#include "cli/CliCommands.h"
#include "cli/ConsoleInterrupts.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "platform/SecureWipe.h"
#include "wizard/PasswordText.h"

namespace tellvane::cli {
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
    if (!ok || InterruptSignal() != 0) return std::nullopt;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

}  // namespace tellvane::cli
