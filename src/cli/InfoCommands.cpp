// info: what an .enc file is, read from its header alone (no pass phrase).
#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "cli/CliCommands.h"
#include "cli/ConsoleArguments.h"
#include "crypto/CryptoAlgorithms.h"
#include "crypto/EncFileFormat.h"
#include "crypto/EncFileIO.h"
#include "crypto/ModernFormat.h"
#include "l10n/TextConstants.h"
#include "platform/FileSystem.h"
#include "platform/TextFormat.h"

namespace tellvane::cli {
namespace {

std::string Problem(const char* constant, const std::string& path) {
    return Format(GetConstantValue(constant), {path});
}

// The modern entry's line: its body's plaintext size and the stretching its pass phrase needs.
// Empty when the header or the body's length does not fit the format.
std::string DescribeModernFile(const std::string& path, const TInputFile& in) {
    try {
        const TModernHeader header = ReadModernHeader(in);
        const int64_t body = ModernPlainBodyBytes(in.Size() - header.BodyOffset());
        return Format("%s\t%s\t%s\t%d\tArgon2id passes=%d memory=%d KiB",
                      {path, std::string(ModernSign), FindAlgorithmBySign(ModernSign)->Caption(),
                       static_cast<long long>(body), static_cast<long long>(header.passes),
                       static_cast<long long>(header.memoryKiB)});
    } catch (const EModernDamaged&) {
        return {};
    }
}

bool IsModernFile(const TInputFile& in) {
    char sign[3] = {};
    return in.ReadSomeAt(0, sign, sizeof sign) == sizeof sign && std::string(sign, 3) == ModernSign;
}

// One line "PATH<TAB>SIGNATURE<TAB>CIPHER<TAB>BODY BYTES" on standard output for a well-formed
// header (the modern entry adds its Argon2id parameters); otherwise the reason on standard
// error, and false.
bool DescribeEncFile(const std::string& path) {
    std::string problem;
    try {
        struct stat st {};
        if (stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
            problem = Problem("Not_a_regular_file", path);
        } else {
            TInputFile in(path);
            if (IsModernFile(in)) {
                const std::string line = DescribeModernFile(path, in);
                if (!line.empty()) {
                    std::printf("%s\n", line.c_str());
                    return true;
                }
                problem = Problem("File_damaged_or_changed", path);
            } else if (in.Size() < EncHeaderBytes) {
                problem = Problem("Enc_file_too_short", path);
            } else {
                TEncHeader header;
                try {
                    header = ReadEncHeader(in);
                } catch (const EFileError&) {
                    problem = Problem("Enc_name_length_wrong", path);
                }
                const TCryptoAlgorithm* algorithm = problem.empty() ? FindAlgorithmBySign(header.sign) : nullptr;
                if (problem.empty() && !algorithm) problem = Problem("Encryption_algo_not_found", path);
                if (problem.empty() && !IsWellFormedEncName(header.encryptedName))
                    problem = Problem("Enc_name_damaged", path);
                if (problem.empty()) {
                    std::printf("%s\t%s\t%s\t%lld\n", path.c_str(), header.sign.c_str(), algorithm->Caption().c_str(),
                                static_cast<long long>(header.bodySize));
                    return true;
                }
            }
        }
    } catch (const EFileError& e) {
        problem = e.what();
    }
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n", problem.c_str());
    return false;
}

int RunInfo(const std::vector<std::string>& args) {
    ParsedArgs parsed = ParseArgs(args, {}, {});
    if (parsed.paths.empty()) throw UsageError(CliText("Cli_no_path"));
    bool all = true;
    for (const auto& path : parsed.paths) all = DescribeEncFile(path) && all;
    return all ? ExitOk : ExitError;
}

const CommandRegistrar infoCommand({"info", "info FILE.enc...",
                                    "Cli_info_summary", RunInfo});

}  // namespace
}  // namespace tellvane::cli
