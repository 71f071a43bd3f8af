#include "ui/StandardDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace tellvane {

namespace {

TMessageBoxHook& BoxHook() {
    static TMessageBoxHook hook;
    return hook;
}

TOpenFileHook& FileHook() {
    static TOpenFileHook hook;
    return hook;
}

TReplaceBoxHook& ReplaceHook() {
    static TReplaceBoxHook hook;
    return hook;
}

TMessageBoxTexts*& CurrentTexts() {
    static TMessageBoxTexts* texts = nullptr;
    return texts;
}

struct TButtonName {
    QMessageBox::StandardButton button;
    const char* name;
    const char* text;
};

const TButtonName ButtonNames[] = {
    {QMessageBox::Ok, "OKButton", "OK"},          {QMessageBox::Cancel, "CancelButton", "Cancel"},
    {QMessageBox::Yes, "YesButton", "&Yes"},      {QMessageBox::No, "NoButton", "&No"},
    {QMessageBox::YesToAll, "YesToAllButton", "Yes to &All"}, {QMessageBox::NoToAll, "NoToAllButton", "N&o to All"},
};

QString& TitleStore() {
    static QString title = QStringLiteral("Tellvane");
    return title;
}

void ShowBox(TBoxKind kind, const QString& title, const QString& text) {
    if (BoxHook()) {
        BoxHook()({kind, title, text});
        return;
    }
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    if (kind == TBoxKind::bkError || kind == TBoxKind::bkException) icon = QMessageBox::Critical;
    if (kind == TBoxKind::bkInformation) icon = QMessageBox::Information;
    QMessageBox box(icon, title, text, QMessageBox::Ok, QApplication::activeWindow());
    ApplyButtonTexts(box);
    box.exec();
}

}  // namespace

TMessageBoxTexts::TMessageBoxTexts() {
    setObjectName(QStringLiteral("MessageBoxes"));
    for (const TButtonName& b : ButtonNames) {
        auto* button = new QPushButton(QString::fromUtf8(b.text), this);
        button->setObjectName(QString::fromLatin1(b.name));
    }
    CurrentTexts() = this;
}

TMessageBoxTexts::~TMessageBoxTexts() {
    if (CurrentTexts() == this) CurrentTexts() = nullptr;
}

QString TMessageBoxTexts::ButtonText(QMessageBox::StandardButton button) const {
    for (const TButtonName& b : ButtonNames)
        if (b.button == button)
            if (auto* pushButton = findChild<QPushButton*>(QString::fromLatin1(b.name))) return pushButton->text();
    return {};
}

void ApplyButtonTexts(QMessageBox& box) {
    const TMessageBoxTexts* texts = CurrentTexts();
    if (!texts) return;
    for (const TButtonName& b : ButtonNames)
        if (QAbstractButton* button = box.button(b.button)) button->setText(texts->ButtonText(b.button));
}

void SetMessageBoxHook(TMessageBoxHook hook) { BoxHook() = std::move(hook); }

void ErrorBox(const QString& text) { ShowBox(TBoxKind::bkError, QString(), text); }
void InfoBox(const QString& text) { ShowBox(TBoxKind::bkInformation, QString(), text); }
void PlainMessage(const QString& text) { ShowBox(TBoxKind::bkPlain, CurrentApplicationTitle(), text); }
void ShowExceptionBox(const QString& text) { ShowBox(TBoxKind::bkException, CurrentApplicationTitle(), text); }

void SetReplaceBoxHook(TReplaceBoxHook hook) { ReplaceHook() = std::move(hook); }

TReplaceAnswer AskReplaceBox(const QString& text) {
    if (ReplaceHook()) return ReplaceHook()(text);
    // A test that only records boxes must never wait on one: it answers No.
    if (BoxHook()) {
        BoxHook()({TBoxKind::bkPlain, CurrentApplicationTitle(), text});
        return TReplaceAnswer::raNo;
    }
    QMessageBox box(QMessageBox::Question, CurrentApplicationTitle(), text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::YesToAll | QMessageBox::NoToAll,
                    QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    ApplyButtonTexts(box);
    switch (box.exec()) {
        case QMessageBox::Yes: return TReplaceAnswer::raYes;
        case QMessageBox::YesToAll: return TReplaceAnswer::raYesToAll;
        case QMessageBox::NoToAll: return TReplaceAnswer::raNoToAll;
        default: return TReplaceAnswer::raNo;
    }
}

QString CurrentApplicationTitle() { return TitleStore(); }
void SetCurrentApplicationTitle(const QString& title) { TitleStore() = title; }

void SetOpenFileHook(TOpenFileHook hook) { FileHook() = std::move(hook); }

QString ChooseOpenFile(QWidget* parent, const QString& title, const QString& filter) {
    if (FileHook()) return FileHook()(title, filter);
    return QFileDialog::getOpenFileName(parent, title, QString(), filter);
}

std::vector<TQuenLang_PropEntry> TMessageBoxTexts::TranslationEntries() {
    return {
        {1, "OKButton", "Caption", ""},
        {2, "CancelButton", "Caption", ""},
        {3, "YesButton", "Caption", ""},
        {4, "NoButton", "Caption", ""},
        {5, "YesToAllButton", "Caption", ""},
        {6, "NoToAllButton", "Caption", ""},
    };
}

}  // namespace tellvane
