#pragma once
// A console command's arguments: its options, its paths and the --quiet every command takes.
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tellvane::cli {

// --quiet: no progress line and no completion report; errors still reach standard error.
void SetQuiet(bool quiet);
bool Quiet();

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
