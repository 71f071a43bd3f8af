#include "ui/TellvaneApplication.h"

#include <QProxyStyle>

#include <exception>

#include "base/Logger.h"
#include "ui/StandardDialogs.h"

namespace tellvane {

namespace {

// Password boxes mask every character with "*", whatever the desktop's style prefers.
class TAsteriskPasswordStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_LineEdit_PasswordCharacter) return '*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

}  // namespace

TTellvaneApplication::TTellvaneApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setStyle(new TAsteriskPasswordStyle);
}

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
