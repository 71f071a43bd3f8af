#pragma once
// The context menu of the Linux file managers: per-user actions Encrypt, Decrypt, Shred and Hide
// for Dolphin, Nautilus, Nemo, Caja and Thunar, each running the menu helper with the operation's
// switch and the selected paths.
#include <optional>
#include <string>
#include <vector>

namespace tellvane {

struct TMenuAction {
    const char* id;          // part of our file names and identifiers, e.g. "encrypt"
    const char* switchText;  // the program's switch, e.g. "/encrypt"
    const char* caption;     // the item's text inside our submenu
    const char* flatCaption; // the item's text when it sits in the file manager's own menu
};

// Encrypt, Decrypt, Shred, Hide, in menu order.
const std::vector<TMenuAction>& MenuActions();

// The folders the actions go into, from $XDG_DATA_HOME and $XDG_CONFIG_HOME (or their defaults
// under $HOME).
struct TFileManagerFolders {
    std::string dolphin;   // .../kio/servicemenus/
    std::string nautilus;  // .../nautilus/scripts/
    std::string nemo;      // .../nemo/actions/
    std::string caja;      // .../caja/scripts/
    std::string thunar;    // the folder of uca.xml
};
TFileManagerFolders CurrentFileManagerFolders();

// Replaces whatever we installed before with the actions for HELPERPATH (the helper's full path),
// inside a submenu "Tellvane" when CASCADE. Files and entries of others are left as they are; a
// foreign file in the place of one of ours keeps that action from being installed there.
// Throws EFileError when a file cannot be written.
void InstallFileManagerActions(const std::string& helperPath, bool cascade);
// Removes exactly the files and uca.xml entries that carry our mark, in both layouts, and our
// submenu folders when they are left empty. Throws EFileError when uca.xml cannot be rewritten.
void RemoveFileManagerActions();

// Thunar's action list (uca.xml text) without the entries we installed, the rest byte for byte;
// nullopt when the text is not an action list that can be edited safely.
std::optional<std::string> UcaWithoutOwnEntries(const std::string& xml);
// The same list with our entries for HELPERPATH added at its end instead.
std::optional<std::string> UcaWithOwnEntries(const std::string& xml, const std::string& helperPath, bool cascade);

// The sh script every action runs with the helper as $0 and the switch and selection after it:
// it starts the helper when it is there, otherwise tells the user (a desktop notification where
// notify-send exists, standard error otherwise) that the program is gone, and exits 0.
std::string MissingProgramGuard();

// Quoting used in the action files, exposed for their tests.
std::string ShellQuote(const std::string& arg);        // for sh: '...'
std::string DesktopExecQuote(const std::string& arg);  // an Exec= argument, key-file escaped
std::string XmlEscape(const std::string& text);  // element text: & < >

}  // namespace tellvane
