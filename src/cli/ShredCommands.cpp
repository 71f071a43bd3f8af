// shred and methods: wiping files from the console with one of the eleven methods.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/CliCommands.h"
#include "cli/ConsoleArguments.h"
#include "cli/ConsoleWorkerHost.h"
#include "engine/Operations.h"
#include "l10n/TextConstants.h"
#include "shred/ShredAlgorithms.h"

namespace tellvane::cli {
namespace {

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && CompareConstantNames(a, b) == 0;
}

}  // namespace

TShredAlgorithm& ChooseShredMethod(const std::string& method) {
    auto& list = ShredAlgorithmList();
    if (!method.empty() && method.size() < 4 && std::all_of(method.begin(), method.end(), ::isdigit)) {
        const size_t index = std::stoul(method);
        if (index < list.size()) return *list[index];
    }
    for (auto& m : list)
        if (SameIgnoringCase(m->ClassName(), method) || m->DisplayName() == method) return *m;
    throw UsageError(CliText("Cli_unknown_method", {method}));
}

namespace {

int RunShred(const std::vector<std::string>& args) {
    ParsedArgs parsed = ParseArgs(args, {"-m"}, {});
    TShredAlgorithm& method = ChooseShredMethod(parsed.Value("-m").value_or("0"));
    if (parsed.paths.empty()) throw UsageError(CliText("Cli_no_path"));
    TShred shred;
    shred.Algo = &method;
    // As the wizard does: selected folders are walked and their files shredded; the folders stay.
    return RunOperation(shred, parsed.paths, {TItemType::itFile});
}

int RunMethods(const std::vector<std::string>& args) {
    ParsedArgs parsed = ParseArgs(args, {}, {});
    if (!parsed.paths.empty()) throw UsageError(CliText("Cli_unexpected_argument", {parsed.paths.front()}));
    const auto& list = ShredAlgorithmList();
    for (size_t i = 0; i < list.size(); ++i)
        std::printf("%zu\t%s\t%s\t%s\n", i, list[i]->ClassName().c_str(), list[i]->DisplayName().c_str(),
                    list[i]->GetDesc().c_str());
    return ExitOk;
}

const CommandRegistrar shredCommand({"shred", "shred [-m METHOD] PATH...",
                                     "Cli_shred_summary", RunShred});
const CommandRegistrar methodsCommand({"methods", "methods",
                                       "Cli_methods_summary", RunMethods});

}  // namespace
}  // namespace tellvane::cli
