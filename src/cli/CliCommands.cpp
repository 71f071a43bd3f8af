#include "cli/CliCommands.h"

#include <algorithm>

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

}  // namespace tellvane::cli
