#include "ui/TellvaneApplication.h"

#include <exception>

#include "app/Logger.h"
#include "ui/StandardDialogs.h"

namespace tellvane {

TTellvaneApplication::TTellvaneApplication(int& argc, char** argv) : QApplication(argc, argv) {}

void HandleApplicationException(const char* message) {
    Log(message, "Application");
    ShowExceptionBox(QString::fromUtf8(message));
}

bool TTellvaneApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        HandleApplicationException(e.what());
    } catch (...) {
        HandleApplicationException("Unknown error");
    }
    return false;
}

}  // namespace tellvane
