#pragma once
// Pass phrases and key files for the console: from a file, standard input or the terminal, read
// straight into wiped buffers.
#include <optional>
#include <string>

#include "platform/SecretString.h"

namespace tellvane::cli {

// The first line of FILE without its line ending; "-" reads standard input. Throws
// std::runtime_error when the file cannot be read.
TSecretString ReadPasswordFile(const std::string& file);
// A key file as the windows' "..." button reads it: every line (encoding from a byte-order mark,
// else the ANSI code page), each followed by CR LF; "-" reads standard input. Throws
// std::runtime_error when the file cannot be read.
TSecretString ReadKeyFile(const std::string& file);
// Asks on the terminal without echo; nullopt when there is no terminal, input ended or a signal
// asked the run to stop.
std::optional<TSecretString> AskOnTerminal(const std::string& prompt);

}  // namespace tellvane::cli
