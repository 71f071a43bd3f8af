#include "ui/DesktopActions.h"

#include <QDesktopServices>
#include <QUrl>

#include "platform/DetachedProcess.h"
#include "base/Logger.h"
#include "platform/AppFolders.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/TextFormat.h"
#include "l10n/TextConstants.h"
#include "ui/StandardDialogs.h"
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
    bool opened = false;
    if (FileExists(fileName))
        opened = HelpHook() ? HelpHook()(fileName) : QDesktopServices::openUrl(QUrl::fromLocalFile(Q(fileName)));
    // Without a browser a click would otherwise do nothing at all: say where the page is.
    if (!opened) InfoBox(Q(Format(GetConstantValue("Help_not_opened"), {fileName})));
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
