#pragma once
// What the three password dialogs share: a fixed dialog centred on the screen, OK pressed by Enter,
// Cancel by Escape and by the close box, and password boxes emptied at every showing.
#include <QDialog>

#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tellvane {

class TPasswordDialog : public QDialog {
    Q_OBJECT
protected:
    TPasswordDialog(const char* objectName, const QString& caption, int clientWidth, int clientHeight);

    QLabel* AddLabel(const char* name, const QString& text, int left, int top, int width = -1, int height = -1);
    QLineEdit* AddPasswordEdit(const char* name, int left, int top, int width);
    // OK and Cancel; OK closes with OK unless the dialog connects its own handler (OKOWNHANDLER).
    void AddButtons(int okLeft, int cancelLeft, int top, bool okOwnHandler = false);

    void showEvent(QShowEvent* event) override;

    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    // In tab order; the first gets the focus at every showing.
    std::vector<QLineEdit*> passwordEdits_;
};

}  // namespace tellvane
