#pragma once
// The main window's status bar: one panel drawn by the program with the current hint or step title.
#include <QFrame>

namespace tellvane {

class TStatusBar : public QFrame {
    Q_OBJECT
public:
    explicit TStatusBar(QWidget* parent);
    void SetText(const QString& text);
    QString Text() const { return text_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
};

// The long part of a hint: the text after the first "|", or all of it when there is none.
QString GetLongHint(const QString& hint);

}  // namespace tellvane
