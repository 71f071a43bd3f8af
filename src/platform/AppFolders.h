#pragma once
// The program's two folders: AppFolder (the executable's folder, ending in "/") and DataFolder
// ($XDG_CONFIG_HOME/Brevikon/ or ~/.config/Brevikon/, created with mode 0700).
#include <string>

namespace tellvane {

inline constexpr const char* EditionName = "Brevikon";

// The data folder for the current user: $XDG_CONFIG_HOME (or ~/.config) + "/Brevikon/".
std::string DefaultDataFolder();
// The user's home folder: $HOME, else the password database's entry; empty when neither knows.
std::string HomeFolder();
// AppFolder := the executable's folder; then SetDataFolder(DATAFOLDER).
void InitFolders(const std::string& dataFolder);
// DataFolder := PATH with a trailing "/"; creates it with every missing parent (mode 0700);
// a folder that cannot be created is not reported.
void SetDataFolder(const std::string& path);
// Tests and tools may point the application folder elsewhere.
void SetAppFolder(const std::string& path);
std::string GetAppFolder();
std::string GetDataFolder();

}  // namespace tellvane
