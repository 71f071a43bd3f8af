// The windowed program: start-up, the windows, the message loop, shutdown.
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>

#include "app/InitFinal.h"
#include "exceptionhook/ExceptionLogger.h"
#include "platform/CommandLine.h"
#include "ui/AppWindows.h"
#include "ui/MainForm.h"
#include "ui/StandardDialogs.h"
#include "ui/TellvaneApplication.h"
#include "ui/UiThreadDispatcher.h"

namespace {

bool HaveDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        if (const char* v = std::getenv(name); v && *v) return true;
    return false;
}

// The box the platform shows for an error that ends start-up; standard error without a display.
void ShowApplicationError(const char* description) {
    if (HaveDisplay() && QApplication::instance()) {
        QMessageBox::critical(nullptr, QStringLiteral("Application Error"), QString::fromUtf8(description));
    } else {
        std::fprintf(stderr, "Application Error: %s\n", description);
    }
}

}  // namespace

int main(int argc, char** argv) {
    tellvane::SetCommandLine(argc, argv);
    // Armed first; it writes only once the start-up has turned the log on.
    tellvane::InstallExceptionLogger();
    try {
        tellvane::InitializeApplication();
    } catch (const std::exception& e) {
        if (HaveDisplay()) {
            QApplication app(argc, argv);
            ShowApplicationError(e.what());
        } else {
            ShowApplicationError(e.what());
        }
        return 1;
    }

    tellvane::TTellvaneApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(tellvane::ApplicationTitle));
    // Wayland compositors match the window to its desktop entry, and so to its icon, by this id.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tellvane.Tellvane"));
    tellvane::SetCurrentApplicationTitle(QString::fromUtf8(tellvane::ApplicationTitle));
    // The windows close with the program, not the program with its last window.
    QApplication::setQuitOnLastWindowClosed(false);

    std::unique_ptr<tellvane::TAppWindows> windows;
    try {
        windows = std::make_unique<tellvane::TAppWindows>();
    } catch (const std::exception& e) {
        ShowApplicationError(e.what());
        tellvane::FinalizeApplication(tellvane::EventLoopCallServer());
        return 1;
    }

    if (tellvane::TerminationRequested()) {
        // The shell-extension switches: the loop runs and ends at once.
        windows->MainForm().TerminateApplication();
    } else {
        windows->MainForm().show();
    }
    const int status = app.exec();

    // Workers still going are stopped and awaited first; their calls onto this thread are served meanwhile.
    try {
        tellvane::FinalizeApplication(tellvane::EventLoopCallServer());
    } catch (const std::exception& e) {
        ShowApplicationError(e.what());
    }
    windows.reset();
    return status;
}
