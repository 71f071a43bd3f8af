// The file managers' context-menu actions run this helper, installed beside the program:
//   tellvane-menu-helper /encrypt|/decrypt|/shred|/hide PATH...
// It writes the selected paths to "todo" in the data folder (as their bytes, whatever their encoding:
// platform/TextLines.h) and starts the program, found through "AppPath", with the operation's switch.
#include <cerrno>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

#include "platform/DetachedProcess.h"
#include "platform/AppFolders.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/ProgramNames.h"
#include "platform/Registry.h"
#include "platform/TextLines.h"

namespace {

using namespace tellvane;

bool IsOperationSwitch(const std::string& s) {
    return s == "/encrypt" || s == "/decrypt" || s == "/shred" || s == "/hide";
}

std::string CurrentFolder() {
    std::vector<char> buf(4096);
    while (!getcwd(buf.data(), buf.size())) {
        if (errno != ERANGE) return "/";
        buf.resize(buf.size() * 2);
    }
    return buf.data();
}

// Some file managers hand over names relative to the folder they show.
std::string FullPath(const std::string& arg, const std::string& cwd) {
    std::string path = arg[0] == '/' ? arg : IncludeTrailingPathDelimiter(cwd) + arg;
    if (path.size() > 1) path = ExcludeTrailingPathDelimiter(path);
    return path;
}

bool IsExecutableFile(const std::string& path) { return FileExists(path) && access(path.c_str(), X_OK) == 0; }

// The program in the folder "AppPath" names, written by the program at every start; "" when none.
std::string FindProgram(const std::string& dataFolder) {
    TRegistry reg(dataFolder + "registry.ini");
    const auto appPath = reg.ReadString(RegistryRootKey, AppRegistryKey, "AppPath");
    if (!appPath || appPath->empty()) return {};
    const std::string program = IncludeTrailingPathDelimiter(*appPath) + ProgramFileName;
    return IsExecutableFile(program) ? program : std::string();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || !IsOperationSwitch(argv[1])) {
        std::fprintf(stderr, "Usage: %s /encrypt|/decrypt|/shred|/hide PATH...\n", argv[0]);
        return 2;
    }
    const std::string operation = argv[1];
    const std::string cwd = CurrentFolder();
    std::vector<std::string> paths;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!arg.empty()) paths.push_back(FullPath(arg, cwd));
    }
    const int count = static_cast<int>(paths.size());
    const std::string todo = EncodeRawPaths(paths);
    if (count == 0) {
        std::fprintf(stderr, "tellvane-menu-helper: no items to hand over\n");
        return 1;
    }
    try {
        SetDataFolder(DefaultDataFolder());
        const std::string dataFolder = GetDataFolder();
        const std::string program = FindProgram(dataFolder);
        if (program.empty()) {
            std::fprintf(stderr, "tellvane-menu-helper: cannot find the program through AppPath; start Tellvane once so that it records its folder\n");
            return 1;
        }
        // Written whole and renamed into place: the program never reads a half-written list.
        AtomicWriteFile(dataFolder + "todo", todo, 0600);
        StartDetached(program, {operation});
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tellvane-menu-helper: %s\n", e.what());
        return 1;
    }
    return 0;
}
