#pragma once
// Registering and unregistering the context-menu extension: the short-lived instance started with
// "/activate" or "/deactivate" writes or deletes the extension's entries in the registry stand-in
// and installs or removes the file managers' actions for the current user.
#include <string>
#include <vector>

#include "platform/ProgramNames.h"

namespace tellvane {

// The extension's fixed class identifier, the same for the program and the menu helper.
inline constexpr const char* ContextMenuExtClassID = "{6F2C9A3E-4B71-4D5C-9E8A-2B7D1C0F5A93}";
inline constexpr const char* ContextMenuExtLibraryName = "ZANTH_CONTEXT_MENU.dll";
inline constexpr const char* ContextMenuHandlerName = "ZANTH_CNTX_MENU";
inline constexpr const char* ContextMenuExtThreadingModel = "Apartment";
inline constexpr const char* ContextMenuExtApprovalText = "Tellvane Context Menu Shell Extension";
// The program that a registering instance runs and that the menu helper starts, in AppFolder.
inline constexpr const char* MenuHelperFileName = "tellvane-menu-helper";

struct TRegistryEntry {
    std::string root;
    std::string key;
    std::string name;  // empty for the key's default value
    std::string data;
};

// The entries ActivateContextMenuExt writes, in the order it writes them, for the program in
// APPFOLDER (ending in "/").
std::vector<TRegistryEntry> ContextMenuExtEntries(const std::string& appFolder);

// Last step of the start-up: acts on every argument equal to "/activate" or "/deactivate" (exact
// comparison), in argument order. True when it acted: the caller then asks the program to end
// (RequestTermination). Errors leave the function (the start-up ends with them); the entries
// written before stay.
bool ProcessShellExtSwitches();

// Writes the entries into the registry stand-in (ERegistryError "Failed to set data for '%s'" when
// one cannot be written), then installs the file managers' actions (EFileError).
void ActivateContextMenuExt();
// Deletes the entries (ERegistryError "Unable to open key "%s\%s" for write" when the stand-in
// cannot be written), then removes the actions we installed.
void DeactivateContextMenuExt();

// Starts the program itself, detached, with "/activate" (ACTIVATE) or "/deactivate"; the caller
// does not wait for it nor learn how it went. Throws std::runtime_error when it cannot be started.
void StartRegisteringInstance(bool activate);

}  // namespace tellvane
