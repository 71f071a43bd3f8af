#include "platform/AppFolders.h"

#include <cstdlib>
#include <mutex>
#include <pwd.h>
#include <unistd.h>

#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace tellvane {
namespace {

struct Folders {
    std::mutex lock;
    std::string app;
    std::string data;
};

Folders& State() {
    static Folders f;
    return f;
}

}  // namespace

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return {};
}

std::string DefaultDataFolder() {
    std::string base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') {
        base = xdg;
    } else {
        std::string home = HomeFolder();
        // Without a home folder the data folder falls back to the root, as a missing shell folder does.
        base = home.empty() ? std::string() : home + "/.config";
    }
    return ExcludeTrailingPathDelimiter(base) + "/" + EditionName + "/";
}

void InitFolders(const std::string& dataFolder) {
    {
        std::lock_guard<std::mutex> guard(State().lock);
        State().app = ExtractFilePath(ExecutablePath());
    }
    SetDataFolder(dataFolder);
}

void SetDataFolder(const std::string& path) {
    std::string folder = IncludeTrailingPathDelimiter(path);
    {
        std::lock_guard<std::mutex> guard(State().lock);
        State().data = folder;
    }
    // The data folder holds the main password's store: only its owner may enter it.
    ForceDirectories(folder, 0700);
}

void SetAppFolder(const std::string& path) {
    std::lock_guard<std::mutex> guard(State().lock);
    State().app = IncludeTrailingPathDelimiter(path);
}

std::string GetAppFolder() {
    std::lock_guard<std::mutex> guard(State().lock);
    if (State().app.empty()) State().app = ExtractFilePath(ExecutablePath());
    return State().app;
}

std::string GetDataFolder() {
    std::lock_guard<std::mutex> guard(State().lock);
    return State().data;
}

}  // namespace tellvane
