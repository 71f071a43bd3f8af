#pragma once
// Hiding and showing files, folders and drives, each recorded in or dropped from the store.
#include <string>

namespace tellvane {

void HideFile(const std::string& path);
void HideFolder(const std::string& path);
void HideDrive(const std::string& path);
void ShowFile(const std::string& path, int index);
void ShowFolder(const std::string& path, int index);
void ShowDrive(const std::string& path, int index);

}  // namespace tellvane
