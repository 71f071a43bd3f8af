#pragma once
// A label that acts as a link: navy, underlined, hand cursor, a click signal.
#include <QLabel>

namespace tellvane {

class TLinkLabel : public QLabel {
    Q_OBJECT
public:
    TLinkLabel(const QString& text, QWidget* parent);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace tellvane
