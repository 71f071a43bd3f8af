// The windowed program: start-up, the main window, the message loop, shutdown.
#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>
#include <exception>

#include "app/InitFinal.h"
#include "platform/CommandLine.h"

namespace {

bool HaveDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        if (const char* v = std::getenv(name); v && *v) return true;
    return false;
}

// The box the platform shows for an error that ends start-up; standard error without a display.
int ReportStartupError(int argc, char** argv, const char* description) {
    if (HaveDisplay()) {
        QApplication app(argc, argv);
        QMessageBox::critical(nullptr, QStringLiteral("Application Error"), QString::fromUtf8(description));
    } else {
        std::fprintf(stderr, "Application Error: %s\n", description);
    }
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    tellvane::SetCommandLine(argc, argv);
    try {
        tellvane::InitializeApplication();
    } catch (const std::exception& e) {
        return ReportStartupError(argc, argv, e.what());
    }
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QString::fromUtf8(tellvane::ApplicationTitle));
    QMainWindow mainWindow;
    mainWindow.setWindowTitle(QStringLiteral("Brevikon"));
    mainWindow.resize(698, 475);
    int status = 0;
    if (!tellvane::TerminationRequested()) {
        mainWindow.show();
        status = app.exec();
    }
    tellvane::FinalizeApplication([] { QCoreApplication::processEvents(); });
    return status;
}
