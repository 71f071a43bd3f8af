#include "ui/DesktopActions.h"

#include <QDesktopServices>
#include <QUrl>

#include "platform/DetachedProcess.h"
#include "base/Logger.h"
#include "platform/AppFolders.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "ui/QtText.h"

namespace tellvane {

namespace {

TOpenHelpHook& HelpHook() {
    static TOpenHelpHook hook;
    return hook;
}

TStartSelfHook& StartHook() {
    static TStartSelfHook hook;
    return hook;
}

}  // namespace

std::string HelpFileName() { return GetAppFolder() + "Help/index.html"; }

void SetOpenHelpHook(TOpenHelpHook hook) { HelpHook() = std::move(hook); }

void OpenHelpFile() {
    const std::string fileName = HelpFileName();
    if (!FileExists(fileName)) return;
    if (HelpHook()) {
        HelpHook()(fileName);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(Q(fileName)));
}

void SetStartSelfHook(TStartSelfHook hook) { StartHook() = std::move(hook); }

void StartSelfDetached(const std::string& switchText) {
    const std::string program = ExecutablePath();
    if (StartHook()) {
        StartHook()(program, switchText);
        return;
    }
    try {
        StartDetached(program, {switchText});
    } catch (const std::exception& e) {
        // The settings are stored all the same; the failure is only logged.
        Log(e.what(), "StartSelfDetached");
    }
}

}  // namespace tellvane
