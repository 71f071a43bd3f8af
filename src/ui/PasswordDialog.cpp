#include "ui/PasswordDialog.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include "ui/UiFonts.h"

namespace tellvane {

TPasswordDialog::TPasswordDialog(const char* objectName, const QString& caption, int clientWidth,
                                 int clientHeight)
    : QDialog(nullptr) {
    setObjectName(QString::fromLatin1(objectName));
    setWindowTitle(caption);
    setFont(DialogFont());
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(clientWidth, clientHeight);
    setModal(true);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

QLabel* TPasswordDialog::AddLabel(const char* name, const QString& text, int left, int top, int width, int height) {
    auto* label = new QLabel(text, this);
    label->setObjectName(QString::fromLatin1(name));
    if (width > 0) {
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setGeometry(left, top, width, height);
    } else {
        label->move(left, top);
        label->adjustSize();
    }
    return label;
}

QLineEdit* TPasswordDialog::AddPasswordEdit(const char* name, int left, int top, int width) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setEchoMode(QLineEdit::Password);
    edit->setGeometry(left, top, width, 21);
    passwordEdits_.push_back(edit);
    return edit;
}

void TPasswordDialog::AddButtons(int okLeft, int cancelLeft, int top, bool okOwnHandler) {
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setGeometry(okLeft, top, 75, 25);
    OKBtn->setDefault(true);
    if (!okOwnHandler) connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry(cancelLeft, top, 75, 25);
    CancelBtn->setAutoDefault(false);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TPasswordDialog::showEvent(QShowEvent* event) {
    // A dialog never shows what was typed at its previous showing.
    for (QLineEdit* edit : passwordEdits_) edit->clear();
    if (!passwordEdits_.empty()) passwordEdits_.front()->setFocus();
    QDialog::showEvent(event);
}

}  // namespace tellvane
