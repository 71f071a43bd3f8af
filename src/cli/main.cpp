// tellvane-cli: the console front end over the same operations and worker as the windows.
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "base/Logger.h"
#include "cli/CliCommands.h"
#include "cli/ConsoleArguments.h"
#include "cli/ConsoleStartup.h"
#include "exceptionhook/ExceptionLogger.h"

using namespace tellvane;
using namespace tellvane::cli;

namespace {

void PrintHelp(FILE* out) {
    std::fprintf(out, "%s\n\n%s\n", CliText("Cli_help_usage").c_str(), CliText("Cli_help_commands").c_str());
    for (const auto& c : RegisteredCommands())
        std::fprintf(out, "  %-44s %s\n", c.synopsis.c_str(), CliText(c.summary).c_str());
    std::fprintf(out, "\n%s\n", CliText("Cli_help_options").c_str());
}

}  // namespace

int main(int argc, char** argv) {
    // Armed first; it writes only once the start-up has turned the log on.
    InstallExceptionLogger();
    // The language comes first, so that help and usage errors speak it too. A language file
    // that fails leaves English, with a word on why.
    try {
        InitializeConsoleLanguage(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
    }
    // "-debug" turns the log on wherever it stands (the start-up reads it from the whole command
    // line); it is never a path or a command's option.
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-debug") != 0) args.emplace_back(argv[i]);
    while (!args.empty() && (args[0] == "-q" || args[0] == "--quiet")) {
        SetQuiet(true);
        args.erase(args.begin());
    }
    if (args.empty()) {
        PrintHelp(stderr);
        return ExitUsage;
    }
    if (args[0] == "--help" || args[0] == "-h") {
        PrintHelp(stdout);
        return ExitOk;
    }
    if (args[0] == "--version") {
        std::printf("tellvane-cli %s\n", TELLVANE_VERSION);
        return ExitOk;
    }
    for (const auto& c : RegisteredCommands()) {
        if (c.name != args[0]) continue;
        std::vector<std::string> rest(args.begin() + 1, args.end());
        try {
            InitializeConsole(argc, argv);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "Application Error: %s\n", e.what());
            return ExitError;
        }
        // Shutdown saves the hidden-items store whatever the command's outcome.
        struct Finalizer {
            ~Finalizer() {
                try {
                    FinalizeConsole();
                } catch (const std::exception& e) {
                    std::fprintf(stderr, "%s\n", e.what());
                }
            }
        } finalizer;
        if (LogEnabled()) {
            std::string line = c.name;
            for (const auto& a : rest) line += " " + a;
            Log(line, "tellvane-cli");
        }
        try {
            return c.run(rest);
        } catch (const UsageError& e) {
            std::fprintf(stderr, "%s\n", CliText("Cli_usage_error", {c.name, e.what(), c.synopsis}).c_str());
            return ExitUsage;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "tellvane-cli %s: %s\n", c.name.c_str(), e.what());
            return ExitError;
        }
    }
    std::fprintf(stderr, "%s\n", CliText("Cli_unknown_command", {args[0]}).c_str());
    PrintHelp(stderr);
    return ExitUsage;
}
