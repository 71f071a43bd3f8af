#pragma once
// The list of operations on the start page, drawn by the program: a picture, the bold title and
// the wrapped description per row. The row under the pointer is the selected one (a hover mark).
#include <QImage>
#include <QStringList>
#include <QWidget>

#include <string>
#include <vector>

namespace tellvane {

class TOperationsListBox : public QWidget {
    Q_OBJECT
public:
    static constexpr int ItemHeight = 51;

    explicit TOperationsListBox(QWidget* parent);

    // One row per item, up to the number of operations; the items' texts are not drawn (a row
    // shows its operation's title and description), so the list's length is what they set.
    int Count() const;
    QStringList Items() const { return items_; }
    void SetItems(const QStringList& items);
    // The selected row, or -1.
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int index);
    QRect ItemRect(int index) const;
    // The row at Y in the list's coordinates, or -1 below the last row.
    int ItemAt(int y) const;

signals:
    // A click while row INDEX was selected (after the list's 100 ms pause).
    void OperationClicked(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void DrawItem(QPainter& painter, int index, const QRect& rect);
    const QImage& Picture(int index, bool selected);

    int itemIndex_ = -1;
    QStringList items_;
    std::vector<QImage> pictures_;  // the ten pictures, decoded once
};

// The JPEG picture JPEG decoded (Qt's JPEG reader); a null image when it cannot be decoded.
QImage DecodePicture(const std::string& jpeg);

}  // namespace tellvane
