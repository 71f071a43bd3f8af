#pragma once
// The console plays the user-interface thread of a run: it serves the worker's synchronous calls,
// draws a progress line, asks for passwords on the terminal and turns Ctrl-C into Cancel.
#include <optional>
#include <string>
#include <vector>

#include "base/OperationCallbacks.h"
#include "platform/SecretString.h"
#include "engine/Operations.h"

namespace tellvane::cli {

// Brings the program up for a console command: folders, log, language, the registries and the
// hidden-items store (not the windows' pictures, not the shell switches). Throws on failure.
void InitializeConsole(int argc, const char* const* argv);
// Only the steps that choose the language (folders, then language), for the texts a command
// prints before the program is up (help, usage errors). InitializeConsole does not repeat them.
void InitializeConsoleLanguage(int argc, const char* const* argv);
// The matching shutdown (saves the hidden-items store).
void FinalizeConsole();

// --quiet: no progress line and no completion report; errors still reach standard error.
void SetQuiet(bool quiet);
bool Quiet();

// Runs OPERATION over PATHS (handed over as the pending paths of a command-line run) with the
// console as its user interface. Prints the completion count; returns the exit status (0, 1 or 130).
// OVERWRITE lets outputs replace existing files; otherwise such a file is skipped and listed.
int RunOperation(TOperation& operation, const std::vector<std::string>& paths, TItemsSet items,
                 bool overwrite = false);

// The first line of FILE without its line ending; "-" reads standard input. Throws
// std::runtime_error when the file cannot be read.
TSecretString ReadPasswordFile(const std::string& file);
// A key file as the windows' "..." button reads it: every line (encoding from a byte-order mark,
// else the ANSI code page), each followed by CR LF; "-" reads standard input. Throws
// std::runtime_error when the file cannot be read.
TSecretString ReadKeyFile(const std::string& file);
// Asks on the terminal without echo; nullopt when there is no terminal or input ended.
std::optional<TSecretString> AskOnTerminal(const std::string& prompt);

// Splits ARGS into options and paths: OPTIONS lists the option names that take a value (e.g.
// "-p"), FLAGS those that don't. "-q" and "--quiet" are taken by every command (SetQuiet).
// Throws UsageError for an unknown option or a missing value.
struct ParsedArgs {
    std::vector<std::pair<std::string, std::string>> options;  // name, value ("" for a flag)
    std::vector<std::string> paths;
    std::optional<std::string> Value(const std::string& name) const;
    bool Has(const std::string& name) const;
};
ParsedArgs ParseArgs(const std::vector<std::string>& args, const std::vector<std::string>& options,
                     const std::vector<std::string>& flags);

}  // namespace tellvane::cli
