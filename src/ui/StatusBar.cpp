#include "ui/StatusBar.h"

#include <QPainter>

namespace tellvane {

QString GetLongHint(const QString& hint) {
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.mid(bar + 1);
}

TStatusBar::TStatusBar(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("StatusBar"));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(240, 240, 240));
    setPalette(p);
}

void TStatusBar::SetText(const QString& text) {
    if (text == text_) return;
    text_ = text;
    update();
}

void TStatusBar::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    // The panel lies inside the border of width 2; the text starts at its left top corner.
    const QRect panel = rect().adjusted(4, 4, -4, -2);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(panel, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text_);
}

}  // namespace tellvane
