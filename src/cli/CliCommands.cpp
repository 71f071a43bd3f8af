#include "cli/CliCommands.h"

#include <algorithm>

#include "l10n/TextConstants.h"

namespace tellvane::cli {
namespace {
std::vector<CliCommand>& Commands() {
    static std::vector<CliCommand> commands;
    return commands;
}
}  // namespace

CommandRegistrar::CommandRegistrar(CliCommand command) {
    auto& list = Commands();
    list.push_back(std::move(command));
    std::sort(list.begin(), list.end(), [](const CliCommand& a, const CliCommand& b) { return a.name < b.name; });
}

const std::vector<CliCommand>& RegisteredCommands() { return Commands(); }

std::string CliText(const std::string& name, std::initializer_list<FormatArg> args) {
    // A language file's line break is CR LF, as the windows want it; a terminal wants LF.
    std::string text = Format(GetConstantValue(name), args);
    for (size_t pos = text.find("\r\n"); pos != std::string::npos; pos = text.find("\r\n", pos)) text.erase(pos, 1);
    return text;
}

}  // namespace tellvane::cli
