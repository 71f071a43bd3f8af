// hide, hidden and show: hiding items from the file managers behind the main password.
#include <algorithm>
#include <cstdio>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "cli/CliCommands.h"
#include "cli/ConsoleArguments.h"
#include "cli/ConsolePasswordInput.h"
#include "cli/ConsoleWorkerHost.h"
#include "engine/Operations.h"
#include "engine/ProgressReadouts.h"
#include "hide/HiddenConfig.h"
#include "l10n/TextConstants.h"
#include "wizard/PasswordText.h"

namespace tellvane::cli {
namespace {

// The main password from -P FILE, or asked on the terminal.
TSecretString ObtainMainPassword(const ParsedArgs& parsed) {
    if (auto file = parsed.Value("-P")) return ReadPasswordFile(*file);
    auto typed = AskOnTerminal(GetConstantValue("Enter_Main_Password") + ": ");
    if (!typed) throw std::runtime_error(CliText("Cli_no_main_password"));
    return *typed;
}

// The wizards' check: with no main password stored, the given one becomes the main password
// (saved with the store); otherwise it must match exactly. A wrong one is reported here.
bool AcceptMainPassword(const ParsedArgs& parsed) {
    const TSecretString typed = ObtainMainPassword(parsed);
    THiddenConfig& store = HiddenItemsStore();
    if (store.Password.empty()) {
        THiddenConfig::CheckStorablePassword(typed);  // one base.dat could not keep is refused
        if (const std::string refusal = NewSecretRefusal(typed); !refusal.empty()) throw std::runtime_error(refusal);
        store.Password = typed;
        return true;
    }
    if (typed == store.Password) return true;
    std::fprintf(stderr, "%s\n", GetConstantValue("Wrong_password").c_str());
    return false;
}

const char* TypeName(TItemType type) {
    switch (type) {
        case TItemType::itFolder:
            return "folder";
        case TItemType::itDrive:
            return "drive";
        default:
            return "file";
    }
}

int RunHide(const std::vector<std::string>& args) {
    ParsedArgs parsed = ParseArgs(args, {"-P"}, {});
    if (parsed.paths.empty()) throw UsageError(CliText("Cli_no_path"));
    if (!AcceptMainPassword(parsed)) return ExitError;
    THide hide;
    return RunOperation(hide, parsed.paths, {TItemType::itFile, TItemType::itFolder, TItemType::itDrive});
}

int RunHidden(const std::vector<std::string>& args) {
    ParsedArgs parsed = ParseArgs(args, {"-P"}, {});
    if (!parsed.paths.empty()) throw UsageError(CliText("Cli_unexpected_argument", {parsed.paths.front()}));
    if (!AcceptMainPassword(parsed)) return ExitError;
    THiddenConfig& store = HiddenItemsStore();
    for (int i = 0; i < store.Count(); ++i) {
        const THiddenItem& item = store.GetItem(i);
        std::printf("%d\t%s\t%s\n", i, TypeName(item.TypeOfItem), item.FilePath.c_str());
    }
    return ExitOk;
}

std::optional<int> ParseIndex(const std::string& text) {
    if (text.empty() || text.size() > 9 || !std::all_of(text.begin(), text.end(), ::isdigit)) return std::nullopt;
    return std::stoi(text);
}

int RunShow(const std::vector<std::string>& args) {
    ParsedArgs parsed = ParseArgs(args, {"-P"}, {"--all"});
    const bool all = parsed.Has("--all");
    if (all == !parsed.paths.empty()) throw UsageError(CliText("Cli_show_what"));
    std::vector<int> parsedIndexes;
    for (const auto& text : parsed.paths) {
        auto index = ParseIndex(text);
        if (!index) throw UsageError(CliText("Cli_not_an_index", {text}));
        parsedIndexes.push_back(*index);
    }
    if (!AcceptMainPassword(parsed)) return ExitError;

    THiddenConfig& store = HiddenItemsStore();
    std::set<int, std::greater<int>> indexes;  // highest first: showing one keeps the lower indexes valid
    if (all)
        for (int i = 0; i < store.Count(); ++i) indexes.insert(i);
    for (int i : parsedIndexes) {
        if (i >= store.Count())
            throw std::out_of_range(CliText("Cli_no_such_index", {i, store.Count()}));
        indexes.insert(i);
    }
    TShow show;
    int count = 0;
    // An item that could not be shown stays hidden and listed; it is named once, after the count.
    std::vector<std::pair<std::string, std::string>> notShown;
    for (int i : indexes) {
        show.ItemToShowIndex = i;
        const std::string path = store.GetItem(i).FilePath;
        try {
            show.Work(path);
            ++count;
        } catch (const EFileSkipped& e) {
            notShown.emplace_back(path, e.what());
        }
    }
    if (!Quiet())
        std::printf("%s\n%s\n", show.GetCompleteHeader().c_str(),
                    CompletionCountText(count, show.GetCompleteText()).c_str());
    if (notShown.empty()) return ExitOk;
    std::fprintf(stderr, "%s:\n", NotDoneCountText(static_cast<int64_t>(notShown.size())).c_str());
    for (const auto& [path, reason] : notShown) std::fprintf(stderr, "%s: %s\n", path.c_str(), reason.c_str());
    return ExitError;
}

const CommandRegistrar hideCommand({"hide", "hide [-P FILE] PATH...",
                                    "Cli_hide_summary", RunHide});
const CommandRegistrar hiddenCommand({"hidden", "hidden [-P FILE]", "Cli_hidden_summary",
                                      RunHidden});
const CommandRegistrar showCommand({"show", "show [-P FILE] (--all | INDEX...)",
                                    "Cli_show_summary", RunShow});

}  // namespace
}  // namespace tellvane::cli
