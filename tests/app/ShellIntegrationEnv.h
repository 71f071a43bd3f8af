#pragma once
// A private home for the shell-integration tests: HOME, the XDG folders, the data folder and the
// program's folder all point into a temporary folder, so no test touches the real home.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/stat.h>

#include "platform/AppFolders.h"
#include "platform/CommandLine.h"
#include "support/TestSupport.h"

namespace tellvane::test {

class ShellIntegrationTest : public ::testing::Test {
protected:
    void SetUp() override {
        oldData_ = GetDataFolder();
        oldApp_ = GetAppFolder();
        home = tmp.file("home") + "/";
        std::filesystem::create_directories(home);
        SetEnv("HOME", tmp.file("home"));
        SetEnv("XDG_DATA_HOME", home + ".local/share");
        SetEnv("XDG_CONFIG_HOME", home + ".config");
        SetEnv("XDG_CONFIG_DIRS", tmp.file("xdg"));
        dataFolder = home + ".config/Brevikon/";
        SetDataFolder(dataFolder);
        // The program's folder with blanks in it, as under "Program Files".
        appFolder = tmp.file("Program Files/Tellvane App") + "/";
        std::filesystem::create_directories(appFolder);
        SetAppFolder(appFolder);
    }
    void TearDown() override {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->second) setenv(it->first.c_str(), it->second->c_str(), 1);
            else unsetenv(it->first.c_str());
        }
        SetAppFolder(oldApp_);
        SetDataFolder(oldData_.empty() ? std::filesystem::temp_directory_path().string() : oldData_);
        SetCommandLine(std::vector<std::string>{});
    }

    void SetEnv(const std::string& name, const std::string& value) {
        const char* old = std::getenv(name.c_str());
        saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        setenv(name.c_str(), value.c_str(), 1);
    }

    static bool Exists(const std::string& path) {
        struct stat st {};
        return lstat(path.c_str(), &st) == 0;
    }
    static unsigned Mode(const std::string& path) {
        struct stat st {};
        return stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
    }

    TempDir tmp;
    std::string home;
    std::string dataFolder;
    std::string appFolder;

private:
    std::string oldData_;
    std::string oldApp_;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

}  // namespace tellvane::test
