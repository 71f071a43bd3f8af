#include "app/FileManagerActions.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <optional>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/Logger.h"
#include "l10n/TextConstants.h"
#include "platform/AppFolders.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/TextFormat.h"

namespace tellvane {
namespace {

constexpr const char* SubmenuName = "Tellvane";
constexpr const char* IconName = "org.tellvane.Tellvane";  // the installed icon's theme name
// Every file we write carries this mark; only files that carry it are ever replaced or removed.
constexpr const char* OwnMark = "tellvane-menu-action";
constexpr const char* DolphinFileName = "tellvane.desktop";
// Our entries in uca.xml are the ones whose unique-id starts with this.
constexpr const char* ThunarIdPrefix = "tellvane-";

// An XDG base folder: the variable when it holds an absolute path, else HOME + FALLBACK.
std::string XdgFolder(const char* variable, const char* fallback) {
    if (const char* v = std::getenv(variable); v && *v == '/') return IncludeTrailingPathDelimiter(v);
    return HomeFolder() + fallback;
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (size_t pos = text.find(from); pos != std::string::npos; pos = text.find(from, pos + to.size()))
        text.replace(pos, from.size(), to);
    return text;
}

bool IsOwnFile(const std::string& path) {
    if (!FileExists(path)) return false;  // a link or a folder is never ours
    try {
        return ReadWholeFile(path).find(OwnMark) != std::string::npos;
    } catch (const EFileError&) {
        return false;
    }
}

void RemoveOwnFile(const std::string& path) {
    if (IsOwnFile(path) && !DeleteFile(path)) Log("Cannot remove " + path, "FileManagerActions");
}

// Writes one of our files unless something that is not ours lies in its place.
void WriteOwnFile(const std::string& path, const std::string& text, unsigned mode) {
    if (PathExists(path) && !IsOwnFile(path)) {
        Log("Left alone, not ours: " + path, "FileManagerActions");
        return;
    }
    if (!ForceDirectories(ExtractFilePath(path), 0755)) throw EFileError(CannotCreateMessage(path, errno));
    AtomicWriteFile(path, text, mode);
}

// --- Dolphin: one service menu with an action per operation -----------------------------------

std::string DolphinMenu(const std::string& helperPath, bool cascade) {
    std::string text = std::string("[Desktop Entry]\nType=Service\nName=") + SubmenuName +
                       "\nX-KDE-ServiceTypes=KonqPopupMenu/Plugin\nMimeType=all/all;\n";
    text += "Actions=";
    for (const auto& a : MenuActions()) text += std::string("tellvane-") + a.id + ";";
    text += "\n";
    if (cascade) text += std::string("X-KDE-Submenu=") + SubmenuName + "\n";
    text += std::string("X-Tellvane-Mark=") + OwnMark + "\n";
    // The desktop-entry Exec line takes "%%" for a literal percent sign.
    const std::string helper = ReplaceAll("/bin/sh -c " + DesktopExecQuote(MissingProgramGuard()) + " " +
                                              DesktopExecQuote(helperPath), "%", "%%");
    for (const auto& a : MenuActions()) {
        text += std::string("\n[Desktop Action tellvane-") + a.id + "]\n";
        text += std::string("Name=") + (cascade ? a.caption : a.flatCaption) + "\n";
        text += std::string("Icon=") + IconName + "\n";
        text += "Exec=" + helper + " " + a.switchText + " %F\n";
    }
    return text;
}

// --- Nautilus and Caja: one script per operation, in a subfolder for the submenu ---------------

std::string ScriptPath(const std::string& folder, const TMenuAction& a, bool cascade) {
    return cascade ? folder + SubmenuName + "/" + a.caption : folder + a.flatCaption;
}

std::string Script(const std::string& helperPath, const TMenuAction& a) {
    return std::string("#!/bin/sh\n# ") + OwnMark + ": installed by Tellvane, removed with \"tellvane /deactivate\".\n" +
           "exec /bin/sh -c " + ShellQuote(MissingProgramGuard()) + " " + ShellQuote(helperPath) + " " + a.switchText +
           " \"$@\"\n";
}

void InstallScripts(const std::string& folder, const std::string& helperPath, bool cascade) {
    for (const auto& a : MenuActions()) WriteOwnFile(ScriptPath(folder, a, cascade), Script(helperPath, a), 0755);
}

void RemoveScripts(const std::string& folder) {
    for (const auto& a : MenuActions()) {
        RemoveOwnFile(ScriptPath(folder, a, false));
        RemoveOwnFile(ScriptPath(folder, a, true));
    }
    // Our submenu goes when nothing else was put into it.
    rmdir((folder + SubmenuName).c_str());
}

// --- Nemo: one action file per operation ------------------------------------------------------
// Nemo keeps submenus in the user's own layout file, which we do not rewrite: its items stay flat.

std::string NemoPath(const std::string& folder, const TMenuAction& a) {
    return folder + "tellvane-" + a.id + ".nemo_action";
}

std::string NemoAction(const std::string& helperPath, const TMenuAction& a) {
    std::string text = "[Nemo Action]\nActive=true\n";
    text += std::string("Name=") + a.flatCaption + "\n";
    text += "Exec=/bin/sh -c " + DesktopExecQuote(MissingProgramGuard()) + " " + DesktopExecQuote(helperPath) + " " +
            a.switchText + " %F\n";
    text += std::string("Icon-Name=") + IconName + "\n";
    text += "Selection=notnone\nExtensions=any;\nQuote=double\n";
    text += std::string("X-Tellvane-Mark=") + OwnMark + "\n";
    return text;
}

// --- Thunar: entries in uca.xml, a file shared with the user's own actions --------------------

std::string ThunarEntry(const std::string& helperPath, const TMenuAction& a, bool cascade) {
    // Thunar expands "%%" to "%" before it splits the command as the shell would.
    const std::string command =
        ReplaceAll("/bin/sh -c " + ShellQuote(MissingProgramGuard()) + " " + ShellQuote(helperPath), "%", "%%") + " " +
        a.switchText + " %F";
    std::string text = "<action>\n";
    text += std::string("\t<icon>") + IconName + "</icon>\n";
    text += std::string("\t<name>") + XmlEscape(cascade ? a.caption : a.flatCaption) + "</name>\n";
    text += std::string("\t<submenu>") + (cascade ? SubmenuName : "") + "</submenu>\n";
    text += std::string("\t<unique-id>") + ThunarIdPrefix + a.id + "</unique-id>\n";
    text += "\t<command>" + XmlEscape(command) + "</command>\n";
    text += std::string("\t<description>") + XmlEscape(a.flatCaption) + "</description>\n";
    text += "\t<range>*</range>\n\t<patterns>*</patterns>\n";
    text += "\t<directories/>\n\t<audio-files/>\n\t<image-files/>\n\t<other-files/>\n\t<text-files/>\n\t<video-files/>\n";
    text += "</action>\n";
    return text;
}

constexpr const char* EmptyUcaXml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n</actions>\n";

// One pass of UcaWithoutOwnEntries.
std::optional<std::string> RemoveOwnBlocks(const std::string& xml) {
    const size_t listEnd = xml.rfind("</actions>");
    const size_t listStart = xml.find("<actions");
    if (listEnd == std::string::npos || listStart == std::string::npos || listStart > listEnd) return std::nullopt;
    std::string out;
    size_t pos = 0;
    for (;;) {
        // Only blocks inside the list are entries.
        size_t start = xml.find("<action", std::max(pos, listStart + 1));
        while (start != std::string::npos && xml.compare(start, 8, "<actions") == 0)
            start = xml.find("<action", start + 1);
        if (start == std::string::npos || start > listEnd) break;
        const size_t close = xml.find("</action>", start);
        // A block must end inside the list: one that reaches past its end is no list we can edit.
        if (close == std::string::npos || close > listEnd) return std::nullopt;
        size_t end = close + 9;
        const std::string block = xml.substr(start, end - start);
        const size_t id = block.find("<unique-id>");
        const bool own = id != std::string::npos && block.compare(id + 11, 9, ThunarIdPrefix) == 0;
        if (own) {
            // Take the block's own line with it: the indentation before and the line break after.
            size_t lineStart = start;
            while (lineStart > pos && (xml[lineStart - 1] == ' ' || xml[lineStart - 1] == '\t')) --lineStart;
            // Blanks are the block's indentation only when they begin its line.
            if (lineStart > 0 && xml[lineStart - 1] != '\n') lineStart = start;
            if (end < xml.size() && xml[end] == '\n') ++end;
            out.append(xml, pos, lineStart - pos);
        } else {
            out.append(xml, pos, end - pos);
        }
        pos = end;
    }
    out.append(xml, pos, std::string::npos);
    return out;
}

}  // namespace

std::optional<std::string> UcaWithoutOwnEntries(const std::string& xml) {
    std::optional<std::string> out = RemoveOwnBlocks(xml);
    // Text that joins into new blocks where ours came out is no list we can edit safely.
    if (out && RemoveOwnBlocks(*out) != out) return std::nullopt;
    return out;
}

std::optional<std::string> UcaWithOwnEntries(const std::string& xml, const std::string& helperPath, bool cascade) {
    std::optional<std::string> out = UcaWithoutOwnEntries(xml);
    if (!out) return std::nullopt;
    std::string entries;
    for (const auto& a : MenuActions()) entries += ThunarEntry(helperPath, a, cascade);
    // On a line of their own: before the closing tag's indentation, when it has its own line.
    size_t at = out->rfind("</actions>");
    size_t lineStart = at;
    while (lineStart > 0 && ((*out)[lineStart - 1] == ' ' || (*out)[lineStart - 1] == '\t')) --lineStart;
    if (lineStart == 0 || (*out)[lineStart - 1] == '\n') at = lineStart;
    out->insert(at, entries);
    return out;
}

namespace {

std::string UcaPath(const std::string& folder) { return folder + "uca.xml"; }

// The system's default list, which Thunar uses while the user has no uca.xml of their own.
std::string SystemUcaXml() {
    std::string dirs = "/etc/xdg";
    if (const char* v = std::getenv("XDG_CONFIG_DIRS"); v && *v) dirs = v;
    size_t pos = 0;
    while (pos <= dirs.size()) {
        size_t end = dirs.find(':', pos);
        if (end == std::string::npos) end = dirs.size();
        std::string dir = dirs.substr(pos, end - pos);
        if (!dir.empty() && dir[0] == '/') {
            const std::string candidate = IncludeTrailingPathDelimiter(dir) + "Thunar/uca.xml";
            if (FileExists(candidate)) {
                try {
                    return ReadWholeFile(candidate);
                } catch (const EFileError&) {
                }
            }
        }
        pos = end + 1;
    }
    return EmptyUcaXml;
}

// The user's uca.xml, or the system's default when the user has none yet (Thunar would start from
// it, and our entries must not hide its defaults).
std::string LoadUcaXml(const std::string& path, bool& exists) {
    exists = PathExists(path);
    return exists ? ReadWholeFile(path) : SystemUcaXml();
}

unsigned FileMode(const std::string& path, unsigned fallback) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : fallback;
}

void RejectUcaXml(const std::string& path) {
    throw EFileError(Format(GetConstantValue("Not_custom_actions_list"), {path}));
}

void InstallThunar(const std::string& folder, const std::string& helperPath, bool cascade) {
    const std::string path = UcaPath(folder);
    if (IsSymlink(path)) {
        Log("Left alone, a link: " + path, "FileManagerActions");
        return;
    }
    bool exists = false;
    std::optional<std::string> xml = UcaWithOwnEntries(LoadUcaXml(path, exists), helperPath, cascade);
    if (!xml) {
        if (exists) RejectUcaXml(path);
        xml = UcaWithOwnEntries(EmptyUcaXml, helperPath, cascade);
    }
    if (!ForceDirectories(folder, 0755)) throw EFileError(CannotCreateMessage(path, errno));
    AtomicWriteFile(path, *xml, exists ? FileMode(path, 0644) : 0644);
}

void RemoveThunar(const std::string& folder) {
    const std::string path = UcaPath(folder);
    if (!FileExists(path)) return;
    const std::string before = ReadWholeFile(path);
    std::optional<std::string> after = UcaWithoutOwnEntries(before);
    if (!after) {
        // Nothing of ours can be in a file we could not have written; leave it untouched.
        if (before.find(std::string("<unique-id>") + ThunarIdPrefix) == std::string::npos) return;
        RejectUcaXml(path);
    }
    if (*after == before) return;
    // What is left is what Thunar would read without the file: the file was ours alone.
    if (*after == SystemUcaXml()) {
        DeleteFile(path);
        return;
    }
    AtomicWriteFile(path, *after, FileMode(path, 0644));
}

// Runs every step; one file manager's failure does not keep the others from being served. The first
// error is raised at the end.
void RunAll(std::initializer_list<std::function<void()>> steps) {
    std::optional<EFileError> first;
    for (const auto& step : steps) {
        try {
            step();
        } catch (const EFileError& e) {
            Log(e.what(), "FileManagerActions");
            if (!first) first = e;
        }
    }
    if (first) throw *first;
}

}  // namespace

const std::vector<TMenuAction>& MenuActions() {
    static const std::vector<TMenuAction> actions = {
        {"encrypt", "/encrypt", "Encrypt", "Encrypt with Tellvane"},
        {"decrypt", "/decrypt", "Decrypt", "Decrypt with Tellvane"},
        {"shred", "/shred", "Shred", "Shred with Tellvane"},
        {"hide", "/hide", "Hide", "Hide with Tellvane"},
    };
    return actions;
}

TFileManagerFolders CurrentFileManagerFolders() {
    const std::string data = XdgFolder("XDG_DATA_HOME", "/.local/share/");
    const std::string config = XdgFolder("XDG_CONFIG_HOME", "/.config/");
    return {data + "kio/servicemenus/", data + "nautilus/scripts/", data + "nemo/actions/",
            config + "caja/scripts/", config + "Thunar/"};
}

void InstallFileManagerActions(const std::string& helperPath, bool cascade) {
    // A change of layout must not leave the other layout's files behind.
    RemoveFileManagerActions();
    const TFileManagerFolders f = CurrentFileManagerFolders();
    RunAll({
        [&] { WriteOwnFile(f.dolphin + DolphinFileName, DolphinMenu(helperPath, cascade), 0755); },
        [&] { InstallScripts(f.nautilus, helperPath, cascade); },
        [&] {
            for (const auto& a : MenuActions()) WriteOwnFile(NemoPath(f.nemo, a), NemoAction(helperPath, a), 0644);
        },
        [&] { InstallScripts(f.caja, helperPath, cascade); },
        [&] { InstallThunar(f.thunar, helperPath, cascade); },
    });
}

void RemoveFileManagerActions() {
    const TFileManagerFolders f = CurrentFileManagerFolders();
    RunAll({
        [&] { RemoveOwnFile(f.dolphin + DolphinFileName); },
        [&] { RemoveScripts(f.nautilus); },
        [&] {
            for (const auto& a : MenuActions()) RemoveOwnFile(NemoPath(f.nemo, a));
        },
        [&] { RemoveScripts(f.caja); },
        [&] { RemoveThunar(f.thunar); },
    });
}

std::string MissingProgramGuard() {
    // The actions live in the home folder and outlast the package: when the helper is gone, say
    // so instead of failing with "not found". No "%" and no backslash, which the formats would
    // have to escape once more; the message is quoted for the shell.
    return "[ -x \"$0\" ] && exec \"$0\" \"$@\"; m=" + ShellQuote(GetConstantValue("Program_not_installed")) +
           "; if command -v notify-send >/dev/null 2>&1; then notify-send Tellvane \"$m\"; else echo \"$m\" >&2; fi; "
           "exit 0";
}

std::string ShellQuote(const std::string& arg) { return "'" + ReplaceAll(arg, "'", "'\\''") + "'"; }

std::string DesktopExecQuote(const std::string& arg) {
    std::string quoted = "\"";
    for (char c : arg) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        quoted += c;
    }
    quoted += '"';
    // The key file's own escaping comes on top of the Exec quoting.
    return ReplaceAll(quoted, "\\", "\\\\");
}

std::string XmlEscape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            default: out += c;
        }
    }
    return out;
}

}  // namespace tellvane
