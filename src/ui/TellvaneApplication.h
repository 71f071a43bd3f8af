#pragma once
// The application object: its general error handler shows an error that leaves an event handler
// in a message box, and the program goes on.
#include <QApplication>

namespace tellvane {

class TTellvaneApplication : public QApplication {
    Q_OBJECT
public:
    TTellvaneApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Shows MESSAGE as the general error handler does.
void HandleApplicationException(const char* message);

}  // namespace tellvane
