#include "platform/CommandLine.h"

#include <mutex>

namespace tellvane {
namespace {
std::vector<std::string>& Args() {
    static std::vector<std::string> args;
    return args;
}
}  // namespace

void SetCommandLine(int argc, const char* const* argv) {
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i) args.emplace_back(argv[i] ? argv[i] : "");
    SetCommandLine(std::move(args));
}

void SetCommandLine(std::vector<std::string> args) { Args() = std::move(args); }

int ParamCount() { return Args().empty() ? 0 : static_cast<int>(Args().size()) - 1; }

std::string ParamStr(int index) {
    if (index < 0 || index >= static_cast<int>(Args().size())) return {};
    return Args()[static_cast<size_t>(index)];
}

bool HasSwitch(const std::string& switchText) {
    for (int i = 1; i <= ParamCount(); ++i)
        if (ParamStr(i) == switchText) return true;
    return false;
}

}  // namespace tellvane
