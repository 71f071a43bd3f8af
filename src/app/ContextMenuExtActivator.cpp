#include "app/ContextMenuExtActivator.h"

#include <sys/stat.h>

#include "platform/DetachedProcess.h"
#include "app/FileManagerActions.h"
#include "base/Logger.h"
#include "base/Options.h"
#include "platform/AppFolders.h"
#include "platform/CommandLine.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "platform/TextFormat.h"

namespace tellvane {
namespace {

constexpr const char* ClassesRoot = "HKEY_CLASSES_ROOT";
constexpr const char* LocalMachine = "HKEY_LOCAL_MACHINE";
constexpr const char* ApprovedKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";
constexpr const char* FileHandlersKey = "*\\shellex\\ContextMenuHandlers";
constexpr const char* FolderHandlersKey = "Folder\\shellex\\ContextMenuHandlers";

// A stand-in file without any write permission is refused for writing, also to root, as the
// registry refuses a key that the user may only read.
bool StandInWritable(const TRegistry& reg) {
    struct stat st {};
    if (lstat(reg.FileName().c_str(), &st) != 0) return true;  // created on the first write
    return S_ISREG(st.st_mode) && (st.st_mode & 0222) != 0;
}

// Opens (creating) the entry's key and writes its value. A key that cannot be opened leaves no
// key to write into, so the failure shows as the write's.
void WriteEntry(TRegistry& reg, const TRegistryEntry& e) {
    bool written = false;
    if (StandInWritable(reg)) {
        try {
            reg.CreateKey(e.root, e.key);
            reg.WriteString(e.root, e.key, e.name, e.data);
            written = true;
        } catch (const ERegistryError& error) {
            Log(error.what(), "ContextMenuExt");
        }
    }
    if (!written) throw ERegistryError(Format("Failed to set data for '%s'", {e.name}));
}

// Opens PARENT for write; deleting below it is then up to the caller.
void OpenForWrite(const TRegistry& reg, const std::string& root, const std::string& parent) {
    if (!StandInWritable(reg))
        throw ERegistryError(Format("Unable to open key \"%s\\%s\" for write", {root, parent}));
}

void DeleteKeyBelow(TRegistry& reg, const std::string& root, const std::string& parent, const std::string& key) {
    OpenForWrite(reg, root, parent);
    const std::string path = parent + "\\" + key;
    // The stand-in only deletes a key it holds itself; one that exists only through the keys
    // below it (as "CLSID\{...}" above "InprocServer32") is made explicit first.
    if (!reg.KeyExists(root, path)) reg.CreateKey(root, path);
    reg.DeleteKey(root, path);
}

std::string HelperPath() { return GetAppFolder() + MenuHelperFileName; }

}  // namespace

std::vector<TRegistryEntry> ContextMenuExtEntries(const std::string& appFolder) {
    const std::string clsid = ContextMenuExtClassID;
    // The folder's path followed by the library's name, unquoted even with blanks in it.
    const std::string library = appFolder + ContextMenuExtLibraryName;
    const std::string classesServer = "CLSID\\" + clsid + "\\InprocServer32";
    const std::string machineServer = "SOFTWARE\\Classes\\CLSID\\" + clsid + "\\InprocServer32";
    return {
        {ClassesRoot, classesServer, "", library},
        {ClassesRoot, classesServer, "ThreadingModel", ContextMenuExtThreadingModel},
        {LocalMachine, machineServer, "", library},
        {LocalMachine, machineServer, "ThreadingModel", ContextMenuExtThreadingModel},
        {LocalMachine, ApprovedKey, clsid, ContextMenuExtApprovalText},
        {ClassesRoot, std::string(FileHandlersKey) + "\\" + ContextMenuHandlerName, "", clsid},
        {ClassesRoot, std::string(FolderHandlersKey) + "\\" + ContextMenuHandlerName, "", clsid},
    };
}

bool ProcessShellExtSwitches() {
    bool acted = false;
    for (int i = 1; i <= ParamCount(); ++i) {
        const std::string arg = ParamStr(i);
        if (arg == "/activate") {
            ActivateContextMenuExt();
            acted = true;
        } else if (arg == "/deactivate") {
            DeactivateContextMenuExt();
            acted = true;
        }
    }
    return acted;
}

void ActivateContextMenuExt() {
    TRegistry reg;
    for (const auto& e : ContextMenuExtEntries(GetAppFolder())) WriteEntry(reg, e);
    InstallFileManagerActions(HelperPath(), TOptions().GetOption("CascadeContextMenu", false));
}

void DeactivateContextMenuExt() {
    TRegistry reg;
    const std::string clsid = ContextMenuExtClassID;
    DeleteKeyBelow(reg, ClassesRoot, "CLSID", clsid);
    DeleteKeyBelow(reg, LocalMachine, "SOFTWARE\\Classes\\CLSID", clsid);
    OpenForWrite(reg, LocalMachine, ApprovedKey);
    reg.DeleteValue(LocalMachine, ApprovedKey, clsid);
    DeleteKeyBelow(reg, ClassesRoot, FileHandlersKey, ContextMenuHandlerName);
    DeleteKeyBelow(reg, ClassesRoot, FolderHandlersKey, ContextMenuHandlerName);
    RemoveFileManagerActions();
}

void StartRegisteringInstance(bool activate) {
    // The running program starts itself; its folder may have moved since AppPath was written.
    StartDetached(ExecutablePath(), {activate ? "/activate" : "/deactivate"});
}

}  // namespace tellvane
