#include "ui/NotDoneForm.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/QtText.h"
#include "ui/UiFonts.h"

namespace tellvane {

namespace {

TNotDoneHook& Hook() {
    static TNotDoneHook hook;
    return hook;
}

}  // namespace

void SetNotDoneHook(TNotDoneHook hook) { Hook() = std::move(hook); }

TNotDoneForm::TNotDoneForm() : QDialog(nullptr) {
    setObjectName(QStringLiteral("NotDoneForm"));
    setWindowTitle(QStringLiteral("Entries not done"));
    setFont(DialogFont());
    setModal(true);
    resize(560, 320);
    Label1 = new QLabel(QStringLiteral("These entries were not done, or need your attention:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    EntriesEdit = new QPlainTextEdit(this);
    EntriesEdit->setObjectName(QStringLiteral("EntriesEdit"));
    // Read-only, yet the text can be selected and copied: a long list goes into a bug report or a
    // script as it stands.
    EntriesEdit->setReadOnly(true);
    EntriesEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
    EntriesEdit->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    CopyBtn = new QPushButton(QStringLiteral("&Copy"), this);
    CopyBtn->setObjectName(QStringLiteral("CopyBtn"));
    CopyBtn->setAutoDefault(false);
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    connect(CopyBtn, &QPushButton::clicked, this, [this] { QApplication::clipboard()->setText(ListText()); });
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(CopyBtn);
    buttons->addWidget(OKBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(EntriesEdit, 1);
    layout->addLayout(buttons);
}

void TNotDoneForm::Show(const std::vector<TNotCompletedFile>& entries) {
    QStringList lines;
    for (const auto& e : entries) lines << Q(e.fileName + ": " + e.reason);
    EntriesEdit->setPlainText(lines.join(QLatin1Char('\n')));
    if (Hook()) return Hook()(ListText());
    exec();
}

QString TNotDoneForm::ListText() const { return EntriesEdit->toPlainText(); }

std::vector<TQuenLang_PropEntry> TNotDoneForm::TranslationEntries() {
    return {
        {1, "NotDoneForm", "Caption", ""},
        {2, "Label1", "Caption", ""},
        {3, "CopyBtn", "Caption", ""},
        {4, "OKBtn", "Caption", ""},
    };
}

}  // namespace tellvane
