#include "ui/OperationsListBox.h"

#include <QMouseEvent>
#include <QPainter>
#include <QThread>

#include <algorithm>

#include "engine/Operations.h"
#include "ui/QtText.h"
#include "ui/UiFonts.h"
#include "wizard/DescWrap.h"

namespace tellvane {

QImage DecodePicture(const std::string& jpeg) {
    return QImage::fromData(QByteArray::fromRawData(jpeg.data(), static_cast<qsizetype>(jpeg.size())), "JPEG");
}

TOperationsListBox::TOperationsListBox(QWidget* parent)
    : QWidget(parent),
      items_({QStringLiteral("Encrypt"), QStringLiteral("Decrypt"), QStringLiteral("Shred"), QStringLiteral("Hide"),
              QStringLiteral("Show")}) {
    setObjectName(QStringLiteral("OperationsListBox"));
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

int TOperationsListBox::Count() const {
    return OperationsCreated() ? std::min(OperationCount(), static_cast<int>(items_.size())) : 0;
}

void TOperationsListBox::SetItems(const QStringList& items) {
    items_ = items;
    if (itemIndex_ >= Count()) itemIndex_ = -1;
    update();
}

void TOperationsListBox::SetItemIndex(int index) {
    if (index < -1 || index >= Count()) index = -1;
    if (index == itemIndex_) return;
    itemIndex_ = index;
    update();
}

QRect TOperationsListBox::ItemRect(int index) const { return QRect(0, index * ItemHeight, width(), ItemHeight); }

int TOperationsListBox::ItemAt(int y) const {
    if (y < 0) return -1;
    const int index = y / ItemHeight;
    return index < Count() ? index : -1;
}

const QImage& TOperationsListBox::Picture(int index, bool selected) {
    if (pictures_.empty() && OperationsCreated()) {
        for (int i = 0; i < Count(); ++i) pictures_.push_back(DecodePicture(GetOperationImage(i).jpeg));
        for (int i = 0; i < Count(); ++i) pictures_.push_back(DecodePicture(GetSelectedOperationImage(i).jpeg));
    }
    static const QImage none;
    const size_t slot = static_cast<size_t>(selected ? index + Count() : index);
    return slot < pictures_.size() ? pictures_[slot] : none;
}

void TOperationsListBox::DrawItem(QPainter& painter, int index, const QRect& r) {
    const bool selected = index == itemIndex_;
    painter.fillRect(r, selected ? QColor(221, 239, 255) : QColor(Qt::white));
    painter.setPen(Qt::black);

    const QImage& picture = Picture(index, selected);
    if (!picture.isNull()) {
        const int y = (r.top() + r.top() + r.height()) / 2 - picture.height() / 2;
        painter.drawImage(r.left() + 15, y, picture);
    }

    const TOperation& operation = GetOperation(index);
    // Texts are placed by their top edge, as the list's drawing routine did.
    painter.setFont(BoldFont(font()));
    painter.drawText(QRect(r.left() + 80, r.top() + 10, r.width() - 80, QFontMetrics(painter.font()).height()),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, Q(operation.Title));

    painter.setFont(font());
    const int h = QFontMetrics(font()).height();
    std::string rest = operation.Desc;
    const int lines = CountDescLines(rest);
    for (int k = 1; k <= lines; ++k) {
        const QString line = Q(TakeDescLine(rest));
        painter.drawText(QRect(r.left() + 80, r.top() + h + h * k, r.width() - 80, h),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, line);
    }
}

void TOperationsListBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    for (int i = 0; i < Count(); ++i) {
        const QRect r = ItemRect(i);
        painter.save();
        painter.setClipRect(r);
        DrawItem(painter, i, r);
        painter.restore();
    }
}

void TOperationsListBox::mouseMoveEvent(QMouseEvent* event) {
    SetItemIndex(ItemAt(event->position().toPoint().y()));
    QWidget::mouseMoveEvent(event);
}

void TOperationsListBox::leaveEvent(QEvent* event) {
    SetItemIndex(-1);
    QWidget::leaveEvent(event);
}

void TOperationsListBox::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint())) return;
    // The press selects the row under the pointer even when no move came before it.
    SetItemIndex(ItemAt(event->position().toPoint().y()));
    const int index = itemIndex_;
    if (index < 0) return;
    // The short pause lets the user see the row the click chose.
    repaint();
    QThread::msleep(100);
    emit OperationClicked(index);
}

}  // namespace tellvane
