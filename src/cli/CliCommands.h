#pragma once
// The console's subcommands. Each command family registers itself from its own file with a
// static CommandRegistrar, so adding a family touches only its file.
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/TextFormat.h"

namespace tellvane {
class TShredAlgorithm;  // shred/ShredAlgorithms.h
}

namespace tellvane::cli {

// Exit statuses of the console; a run cancelled by a signal ends with 128 and its number.
enum ExitCode : int { ExitOk = 0, ExitError = 1, ExitUsage = 2, ExitCancelledBase = 128 };

struct CliCommand {
    std::string name;
    std::string synopsis;  // one usage line, without the program name
    std::string summary;   // name of the text constant that says what it does, in one line
    int (*run)(const std::vector<std::string>& args);  // arguments after the command name
};

class CommandRegistrar {
public:
    explicit CommandRegistrar(CliCommand command);
};

const std::vector<CliCommand>& RegisteredCommands();

// The console's own texts are constants too, so that the language files translate them: the
// current text of NAME with ARGS put in its placeholders.
std::string CliText(const std::string& name, std::initializer_list<FormatArg> args = {});

// The wiping method METHOD names: an index into the list, a class name (any case) or the text of
// a choice. Throws UsageError for none.
TShredAlgorithm& ChooseShredMethod(const std::string& method);

// A usage error: message on standard error, then status 2.
class UsageError : public std::exception {
public:
    explicit UsageError(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

}  // namespace tellvane::cli
