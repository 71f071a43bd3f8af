#include "ui/OptionsForm.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>

#include "base/Options.h"
#include "l10n/TextConstants.h"
#include "platform/AppFolders.h"
#include "shred/ShredAlgorithms.h"
#include "ui/DesktopActions.h"
#include "ui/QtText.h"
#include "ui/UiFonts.h"
#include "wizard/SourceWipeChoice.h"
#include "wizard/Wizard.h"
#include "wizard/WizardWindow.h"

namespace tellvane {

namespace {

QLabel* AddLabel(QWidget* parent, const char* name, const QString& text, int left, int top, int width, int height) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(left, top, width, height);
    return label;
}

// A label of several lines, read from its top left.
QLabel* AddNote(QWidget* parent, const char* name, const QString& text, int left, int top, int width, int height) {
    QLabel* label = AddLabel(parent, name, text, left, top, width, height);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QWidget* AddPage(QTabWidget* pages, const char* name, const QString& caption) {
    auto* page = new QWidget;
    page->setObjectName(QString::fromLatin1(name));
    pages->addTab(page, caption);
    return page;
}

}  // namespace

TOptionsForm::TOptionsForm(IWizardWindow& window) : QWidget(nullptr), window_(window) {
    setObjectName(QStringLiteral("OptionsForm"));
    setWindowTitle(QStringLiteral("Options"));
    setFont(DialogFont());
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(447, 282);

    Pages = new QTabWidget(this);
    Pages->setObjectName(QStringLiteral("Pages"));
    Pages->setGeometry(9, 11, 430, 233);

    QWidget* general = AddPage(Pages, "general", QStringLiteral("General"));

    auto* groupBox2 = new QGroupBox(QStringLiteral("Shell extension options"), general);
    groupBox2->setObjectName(QStringLiteral("GroupBox2"));
    groupBox2->setGeometry(5, 5, 404, 78);
    IntegrateCheckBox = new QCheckBox(QStringLiteral("&Integrate %1 into shell").arg(Q(EditionName)), groupBox2);
    IntegrateCheckBox->setObjectName(QStringLiteral("IntegrateCheckBox"));
    IntegrateCheckBox->setGeometry(11, 22, 342, 17);
    IntegrateCheckBox->setStatusTip(
        QStringLiteral("Program's items will appear in Explorer context menu for files and folders"));
    CascadedCheckBox = new QCheckBox(QStringLiteral("Use cascaded context menus"), groupBox2);
    CascadedCheckBox->setObjectName(QStringLiteral("CascadedCheckBox"));
    CascadedCheckBox->setGeometry(11, 45, 342, 17);
    CascadedCheckBox->setStatusTip(QStringLiteral("Shell context menu items will hide inside submenu"));

    auto* groupBox1 = new QGroupBox(QStringLiteral("Main Password"), general);
    groupBox1->setObjectName(QStringLiteral("GroupBox1"));
    groupBox1->setGeometry(3, 89, 406, 104);
    auto* chooseMainPassButton = new QPushButton(QStringLiteral("Change Main Password..."), groupBox1);
    chooseMainPassButton->setObjectName(QStringLiteral("ChooseMainPassButton"));
    chooseMainPassButton->setGeometry(13, 21, 134, 25);
    chooseMainPassButton->setStatusTip(QStringLiteral("Change Main Password..."));
    chooseMainPassButton->setAutoDefault(false);
    connect(chooseMainPassButton, &QPushButton::clicked, this, &TOptionsForm::ChooseMainPassButtonClick);
    AddNote(groupBox1, "Label2",
            QStringLiteral("Main Password is used to control access to Hide files and Show files "
                           "features. Only person who knows Main Password can hide files form "
                           "Explorer and show previously hidden files."),
            13, 52, 380, 44);

    QWidget* about = AddPage(Pages, "about", QStringLiteral("About"));
    auto* aboutImg = AddLabel(about, "about_img", QString(), 3, 3, 166, 200);
    aboutImg->setPixmap(QPixmap(QString::fromStdString(GetAppFolder() + "res/About.png")));
    aboutImg->setAlignment(Qt::AlignCenter);
    auto* programLabel = AddLabel(about, "ProgramLabel", Q(EditionName), 193, 9, 216, 16);
    programLabel->setFont(BoldFont(DialogFont(13)));
    programLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    AddLabel(about, "Label4", QStringLiteral("Version 1.2"), 193, 31, 216, 13)->setAlignment(Qt::AlignHCenter);
    AddLabel(about, "Label5", QStringLiteral("Protects your secret files from exposure"), 193, 44, 224, 19)
        ->setAlignment(Qt::AlignHCenter);

    // A page of its own, so that the other pages keep their controls where they were.
    QWidget* language = AddPage(Pages, "language", QStringLiteral("Language"));
    AddLabel(language, "LanguageLabel", QStringLiteral("&Language of the program:"), 13, 14, 390, 16);
    LanguageComboBox = new QComboBox(language);
    LanguageComboBox->setObjectName(QStringLiteral("LanguageComboBox"));
    LanguageComboBox->setGeometry(13, 34, 250, 22);
    LanguageComboBox->setStatusTip(QStringLiteral("The language the windows and the console speak"));
    // Each language by its own name, so that a user lost in a foreign one finds theirs.
    LanguageComboBox->addItem(QStringLiteral("English"), 1033);
    for (const auto& [id, name] : LangManager().RegisteredLanguages())
        LanguageComboBox->addItem(QString::fromStdString(name), id);
    findChild<QLabel*>(QStringLiteral("LanguageLabel"))->setBuddy(LanguageComboBox);
    AddNote(language, "LanguageNote", QStringLiteral("The chosen language is used from the next start of the program."),
            13, 64, 390, 32);

    // The wiping of sources: a page of its own too.
    QWidget* sources = AddPage(Pages, "sources", QStringLiteral("Source files"));
    WipeSourceCheckBox = new QCheckBox(QStringLiteral("&Wipe source files with:"), sources);
    WipeSourceCheckBox->setObjectName(QStringLiteral("WipeSourceCheckBox"));
    WipeSourceCheckBox->setGeometry(13, 14, 390, 17);
    WipeSourceCheckBox->setStatusTip(
        QStringLiteral("Source files that Encrypt and Decrypt delete are first overwritten with this method"));
    WipeMethodComboBox = new QComboBox(sources);
    WipeMethodComboBox->setObjectName(QStringLiteral("WipeMethodComboBox"));
    WipeMethodComboBox->setGeometry(31, 36, 314, 22);
    for (const auto& method : ShredAlgorithmList()) WipeMethodComboBox->addItem(Q(method->DisplayName()));
    connect(WipeSourceCheckBox, &QCheckBox::toggled, WipeMethodComboBox, &QWidget::setEnabled);
    AddNote(sources, "WipeSourceNote",
            QStringLiteral("When Encrypt or Decrypt deletes its source files, each one is first "
                           "overwritten with the chosen method, as Shred does. On flash storage "
                           "and copy-on-write file systems overwriting cannot reach every old copy."),
            13, 68, 390, 64);

    ok2 = new QPushButton(QStringLiteral("&OK"), this);
    ok2->setObjectName(QStringLiteral("ok2"));
    ok2->setGeometry(202, 249, 75, 25);
    ok2->setDefault(true);
    ok2->setStatusTip(QStringLiteral("Apply changes and close this window"));
    connect(ok2, &QPushButton::clicked, this, &TOptionsForm::ok2Click);
    auto* cancelButton = new QPushButton(QStringLiteral("&Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("CancelButton"));
    cancelButton->setGeometry(283, 250, 75, 25);
    cancelButton->setStatusTip(QStringLiteral("Exit this window without saving options"));
    connect(cancelButton, &QPushButton::clicked, this, &TOptionsForm::CancelButtonClick);
    auto* helpButton = new QPushButton(QStringLiteral("&Help"), this);
    helpButton->setObjectName(QStringLiteral("HelpButton"));
    helpButton->setGeometry(363, 250, 75, 25);
    helpButton->setStatusTip(QStringLiteral("View help for the current page of Options dialog"));
    connect(helpButton, &QPushButton::clicked, this, &TOptionsForm::HelpButtonClick);

    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TOptionsForm::ShowPage(TPage page) {
    Pages->setCurrentIndex(page);
    show();
    raise();
    activateWindow();
}

void TOptionsForm::SetOptionsToGUI() {
    TOptions options;
    IntegrateCheckBox->setChecked(options.GetOption("IntegrateContextMenu", true));
    CascadedCheckBox->setChecked(options.GetOption("CascadeContextMenu", false));
    // Without a stored choice the box shows the language in use (the locale's, or English).
    const TLanguageChoice choice = ReadLanguageChoice(options);
    const int index = LanguageComboBox->findData(choice.stored ? choice.id : LangManager().LanguageID());
    LanguageComboBox->setCurrentIndex(index < 0 ? 0 : index);
    const TSourceWipeChoice wipe = ReadSourceWipeChoice(options);
    WipeSourceCheckBox->setChecked(wipe.on);
    WipeMethodComboBox->setCurrentIndex(wipe.method);
    WipeMethodComboBox->setEnabled(wipe.on);
}

void TOptionsForm::GetOptionsFromGUI() {
    TOptions options;
    options.SetOption("IntegrateContextMenu", IntegrateCheckBox->isChecked());
    options.SetOption("CascadeContextMenu", CascadedCheckBox->isChecked());
    // An unchanged box leaves the option alone, so that the locale keeps choosing until the user does.
    const int chosen = LanguageComboBox->currentData().toInt();
    const TLanguageChoice choice = ReadLanguageChoice(options);
    if (choice.stored || chosen != LangManager().LanguageID()) options.SetOption("LanguageID", chosen);
    WriteSourceWipeChoice(options, {WipeSourceCheckBox->isChecked(), std::max(0, WipeMethodComboBox->currentIndex())});
    emit OptionsStored();
}

void TOptionsForm::ApplyShellIntegration() {
    // Read back from the store, not from the box: what counts is what was stored.
    const bool integrate = TOptions().GetOption("IntegrateContextMenu", true);
    StartSelfDetached(integrate ? "/activate" : "/deactivate");
}

void TOptionsForm::ok2Click() {
    GetOptionsFromGUI();
    ApplyShellIntegration();
    hide();
}

void TOptionsForm::CancelButtonClick() { hide(); }

void TOptionsForm::HelpButtonClick() { OpenHelpFile(); }

void TOptionsForm::ChooseMainPassButtonClick() { ChangeMainPassword(window_, true); }

void TOptionsForm::showEvent(QShowEvent* event) {
    SetOptionsToGUI();
    QWidget::showEvent(event);
}

void TOptionsForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        OpenHelpFile();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        CancelButtonClick();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        ok2Click();
        return;
    }
    QWidget::keyPressEvent(event);
}

std::vector<TQuenLang_PropEntry> TOptionsForm::TranslationEntries() {
    return {
        {1, "OptionsForm", "Caption", ""},
        {2, "general", "Caption", ""},
        {3, "GroupBox2", "Caption", ""},
        {4, "IntegrateCheckBox", "Caption", ""},
        {5, "IntegrateCheckBox", "Hint", ""},
        {6, "CascadedCheckBox", "Caption", ""},
        {7, "CascadedCheckBox", "Hint", ""},
        {8, "GroupBox1", "Caption", ""},
        {9, "ChooseMainPassButton", "Caption", ""},
        {10, "ChooseMainPassButton", "Hint", ""},
        {11, "Label2", "Caption", ""},
        {12, "about", "Caption", ""},
        {13, "ProgramLabel", "Caption", ""},
        {14, "Label4", "Caption", ""},
        {15, "Label5", "Caption", ""},
        {16, "ok2", "Caption", ""},
        {17, "ok2", "Hint", ""},
        {18, "CancelButton", "Caption", ""},
        {19, "CancelButton", "Hint", ""},
        {20, "HelpButton", "Caption", ""},
        {21, "HelpButton", "Hint", ""},
        {22, "language", "Caption", ""},
        {23, "LanguageLabel", "Caption", ""},
        {24, "LanguageComboBox", "Hint", ""},
        {25, "LanguageNote", "Caption", ""},
        {26, "sources", "Caption", ""},
        {27, "WipeSourceCheckBox", "Caption", ""},
        {28, "WipeSourceCheckBox", "Hint", ""},
        {29, "WipeMethodComboBox", "Items", ""},
        {30, "WipeSourceNote", "Caption", ""},
    };
}

}  // namespace tellvane
