// encrypt, decrypt and algorithms: the .enc operations from the console.
#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/CliCommands.h"
#include "cli/ConsoleArguments.h"
#include "cli/ConsolePasswordInput.h"
#include "cli/ConsoleWorkerHost.h"
#include "crypto/CryptoAlgorithms.h"
#include "engine/Operations.h"
#include "l10n/TextConstants.h"
#include "wizard/PasswordText.h"

namespace tellvane::cli {
namespace {

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && CompareConstantNames(a, b) == 0;
}

// ALGORITHM is an index into the list, a signature ("RIJ") or the text of a choice ("All at once").
size_t FindAlgorithmIndex(const std::string& algorithm) {
    const auto& list = AlgorithmList();
    if (!algorithm.empty() && algorithm.size() < 4 && std::all_of(algorithm.begin(), algorithm.end(), ::isdigit)) {
        const size_t index = std::stoul(algorithm);
        if (index < list.size()) return index;
    }
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i]->Sign() == algorithm) return i;
    for (size_t i = 0; i < list.size(); ++i)
        if (SameIgnoringCase(list[i]->Caption(), algorithm) || SameIgnoringCase(list[i]->Sign(), algorithm)) return i;
    throw UsageError(CliText("Cli_unknown_algorithm", {algorithm}));
}

const std::vector<std::string> PasswordOptions = {"-p", "-k", "--key-file"};

// The password from -p FILE (its first line), from -k FILE (the whole file as the windows' "..."
// button takes it, so that both open the same files), or asked on the terminal (twice when
// CONFIRM, as the wizard asks). A new pass phrase for an entry that keys from the ANSI code page
// is refused when it would collapse to "?" there.
TSecretString ObtainPassword(const ParsedArgs& parsed, bool confirm, const TCryptoAlgorithm* algorithm = nullptr) {
    TSecretString typed;
    const auto keyFile = parsed.Has("-k") ? parsed.Value("-k") : parsed.Value("--key-file");
    if (keyFile && parsed.Has("-p")) throw UsageError(CliText("Cli_p_and_k"));
    if (auto file = parsed.Value("-p")) {
        typed = ReadPasswordFile(*file);
    } else if (keyFile) {
        typed = ReadKeyFile(*keyFile);
    } else {
        auto first = AskOnTerminal(GetConstantValue("Enter_password") + " ");
        if (!first) throw std::runtime_error(CliText("Cli_no_password"));
        if (confirm) {
            auto second = AskOnTerminal(GetConstantValue("Enter_password") + " ");
            if (!second || *second != *first) throw std::runtime_error(GetConstantValue("Second_pass_not_equal_first"));
        }
        typed = *first;
    }
    if (typed.empty()) throw std::runtime_error(GetConstantValue("Enter_password_first"));
    // A new pass phrase must not collapse to "?"; existing files keep the conversion as it is.
    if (confirm && algorithm != nullptr && algorithm->PassPhraseInCodePage())
        if (const std::string refusal = NewSecretRefusal(typed); !refusal.empty()) throw std::runtime_error(refusal);
    return typed;
}

const std::vector<std::string> SourceFlags = {"--delete-source", "--shred-source", "--overwrite"};

// --shred-source deletes as --delete-source does, each source overwritten first with the method
// -m names (the first one without it).
void ChooseSourceEnd(const ParsedArgs& parsed, TCrypt& crypt) {
    const bool wipe = parsed.Has("--shred-source");
    if (!wipe && parsed.Has("-m")) throw UsageError(CliText("Cli_m_without_shred_source"));
    crypt.DeleteSourceFiles = wipe || parsed.Has("--delete-source");
    if (wipe) crypt.WipeSourceWith = &ChooseShredMethod(parsed.Value("-m").value_or("0"));
}

int RunEncrypt(const std::vector<std::string>& args) {
    std::vector<std::string> options = PasswordOptions;
    options.insert(options.end(), {"-a", "-m"});
    ParsedArgs parsed = ParseArgs(args, options, SourceFlags);
    const size_t index = FindAlgorithmIndex(parsed.Value("-a").value_or("0"));
    if (parsed.paths.empty()) throw UsageError(CliText("Cli_no_path"));
    TEncrypt encrypt;
    encrypt.Algo = AlgorithmList()[index].get();
    ChooseSourceEnd(parsed, encrypt);
    encrypt.Password = ObtainPassword(parsed, true, encrypt.Algo);
    // "All at once" makes eighteen passes over each file; the progress counts the file once.
    SetAlgorithmPassCount(static_cast<int>(index) == AllAtOnceIndex ? AllAtOnceIndex : 1);
    return RunOperation(encrypt, parsed.paths, {TItemType::itFile}, parsed.Has("--overwrite"));
}

int RunDecrypt(const std::vector<std::string>& args) {
    std::vector<std::string> options = PasswordOptions;
    options.push_back("-m");
    ParsedArgs parsed = ParseArgs(args, options, SourceFlags);
    if (parsed.paths.empty()) throw UsageError(CliText("Cli_no_path"));
    TDecrypt decrypt;
    ChooseSourceEnd(parsed, decrypt);
    decrypt.Password = ObtainPassword(parsed, false);
    return RunOperation(decrypt, parsed.paths, {TItemType::itFile}, parsed.Has("--overwrite"));
}

int RunAlgorithms(const std::vector<std::string>& args) {
    ParsedArgs parsed = ParseArgs(args, {}, {});
    if (!parsed.paths.empty()) throw UsageError(CliText("Cli_unexpected_argument", {parsed.paths.front()}));
    const auto& list = AlgorithmList();
    for (size_t i = 0; i < list.size(); ++i)
        std::printf("%zu\t%s\t%s\t%s\n", i, list[i]->Sign().c_str(), list[i]->Caption().c_str(),
                    list[i]->GetDesc().c_str());
    return ExitOk;
}

const CommandRegistrar encryptCommand({"encrypt", "encrypt [-a ALGORITHM] [-p FILE | -k FILE] [--delete-source | --shred-source [-m METHOD]] [--overwrite] PATH...",
                                       "Cli_encrypt_summary", RunEncrypt});
const CommandRegistrar decryptCommand({"decrypt", "decrypt [-p FILE | -k FILE] [--delete-source | --shred-source [-m METHOD]] [--overwrite] PATH...",
                                       "Cli_decrypt_summary", RunDecrypt});
const CommandRegistrar algorithmsCommand({"algorithms", "algorithms",
                                          "Cli_algorithms_summary", RunAlgorithms});

}  // namespace
}  // namespace tellvane::cli
