#include "cli/ConsoleArguments.h"

#include <algorithm>

#include "cli/CliCommands.h"

namespace tellvane::cli {
namespace {

bool g_quiet = false;

}  // namespace

void SetQuiet(bool quiet) { g_quiet = quiet; }
bool Quiet() { return g_quiet; }

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
