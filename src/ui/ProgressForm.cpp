#include "ui/ProgressForm.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include "engine/ProgressReadouts.h"
#include "engine/RunRegistry.h"
#include "platform/AppFolders.h"
#include "ui/QtText.h"
#include "ui/StandardDialogs.h"
#include "ui/UiFonts.h"

namespace tellvane {

namespace {

QLabel* AddLabel(QWidget* parent, const char* name, const QString& text, int left, int top) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(left, top);
    label->adjustSize();
    return label;
}

QProgressBar* AddBar(QWidget* parent, const char* name, int left, int top, int width, int height) {
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setGeometry(left, top, width, height);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    return bar;
}

void CentreOnDesktop(QWidget* window) {
    if (QScreen* screen = QGuiApplication::primaryScreen())
        window->move(screen->availableGeometry().center() - window->rect().center());
}

}  // namespace

TProgressForm::TProgressForm(QWidget* mainForm) : QDialog(nullptr), mainForm_(mainForm) {
    setObjectName(QStringLiteral("ProgressForm"));
    setFont(TahomaFont());
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(348, 241);
    setModal(false);

    auto* groupBox1 = new QGroupBox(QStringLiteral("Current file"), this);
    groupBox1->setObjectName(QStringLiteral("GroupBox1"));
    groupBox1->setGeometry(8, 8, 329, 72);
    AddLabel(groupBox1, "Label1", QStringLiteral("File name:"), 16, 16);
    FileNameLabel = new QLabel(groupBox1);
    FileNameLabel->setObjectName(QStringLiteral("FileNameLabel"));
    // A fixed width: a long path is clipped, not wrapped.
    FileNameLabel->setGeometry(80, 16, 230, 13);

    auto* groupBox2 = new QGroupBox(QStringLiteral("All files"), this);
    groupBox2->setObjectName(QStringLiteral("GroupBox2"));
    groupBox2->setGeometry(9, 84, 329, 119);
    AddLabel(groupBox2, "Label3", QStringLiteral("Files:"), 15, 17);
    FilesPercentLabel = AddLabel(groupBox2, "FilesPercentLabel", QString(), 157, 17);
    AddLabel(groupBox2, "Label2", QStringLiteral("Elapsed time:"), 15, 43);
    ElapsedTimeLabel = AddLabel(groupBox2, "ElapsedTimeLabel", QString(), 156, 43);
    AddLabel(groupBox2, "Label4", QStringLiteral("Estimated time:"), 15, 59);
    EstimatedTimeLabel = AddLabel(groupBox2, "EstimatedTimeLabel", QString(), 156, 59);

    // The bars lie on the window itself, over their group boxes.
    CurrentFileProgressBar = AddBar(this, "CurrentFileProgressBar", 24, 50, 294, 16);
    AllFilesProgressBar = AddBar(this, "AllFilesProgressBar", 24, 169, 294, 17);

    Cancel = new QPushButton(QStringLiteral("Cancel"), this);
    Cancel->setObjectName(QStringLiteral("Cancel"));
    Cancel->setGeometry(126, 209, 75, 25);
    Cancel->setAutoDefault(false);
    connect(Cancel, &QPushButton::clicked, this, &TProgressForm::CancelClick);

    OneSecondTimer.setObjectName(QStringLiteral("OneSecondTimer"));
    OneSecondTimer.setInterval(100);
    connect(&OneSecondTimer, &QTimer::timeout, this, &TProgressForm::Tick);

    CentreOnDesktop(this);
}

void TProgressForm::Tick() {
    const TProgressView view = ReadProgressView();
    ElapsedTimeLabel->setText(Q(view.elapsedText));
    ElapsedTimeLabel->adjustSize();
    EstimatedTimeLabel->setText(Q(view.estimatedText));
    EstimatedTimeLabel->adjustSize();
    CurrentFileProgressBar->setValue(std::min(view.currentFilePercent, 100));
    AllFilesProgressBar->setValue(std::min(view.allFilesPercent, 100));
    setWindowTitle(Q(view.caption));
    if (mainForm_) mainForm_->setWindowTitle(Q(view.mainCaption));
    SetCurrentApplicationTitle(Q(view.mainCaption));
    FileNameLabel->setText(Q(view.fileName));
    FilesPercentLabel->setText(Q(view.filesText));
    FilesPercentLabel->adjustSize();
}

void TProgressForm::CancelClick() {
    CancelOperation();
    // Hidden whether or not the worker's closing got here first.
    QDialog::done(QDialog::Rejected);
}

void TProgressForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    OneSecondTimer.start();
    Tick();
}

void TProgressForm::hideEvent(QHideEvent* event) {
    OneSecondTimer.stop();
    if (mainForm_) mainForm_->setWindowTitle(Q(EditionName));
    SetCurrentApplicationTitle(mainForm_ ? mainForm_->windowTitle() : Q(EditionName));
    QDialog::hideEvent(event);
}

// Escape and the close box too: hiding the window while its run goes on would leave a run nobody
// can stop.
void TProgressForm::reject() { CancelClick(); }

std::vector<TQuenLang_PropEntry> TProgressForm::TranslationEntries() {
    return {
        {1, "GroupBox1", "Caption", ""},
        {2, "Label1", "Caption", ""},
        {3, "GroupBox2", "Caption", ""},
        {4, "Label3", "Caption", ""},
        {5, "Label2", "Caption", ""},
        {6, "Label4", "Caption", ""},
        {7, "Cancel", "Caption", ""},
    };
}

}  // namespace tellvane
