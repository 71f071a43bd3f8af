#include "ui/MainForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QStackedWidget>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QPushButton>
#include <QToolButton>

#include "crypto/CryptoAlgorithms.h"
#include "base/Options.h"
#include "engine/Operations.h"
#include "engine/PendingFiles.h"
#include "l10n/TextConstants.h"
#include "platform/AppFolders.h"
#include "platform/CommandLine.h"
#include "platform/FileSystem.h"
#include "platform/TextFormat.h"
#include "shred/ShredAlgorithms.h"
#include "ui/ChangeMainPassForm.h"
#include "ui/DesktopActions.h"
#include "ui/DriveTreeView.h"
#include "ui/FormTranslation.h"
#include "ui/LinkLabel.h"
#include "ui/MainPassForm.h"
#include "ui/ConfirmPassForm.h"
#include "ui/NotDoneForm.h"
#include "ui/OperationPassForm.h"
#include "ui/OperationsListBox.h"
#include "ui/OptionsForm.h"
#include "ui/ProgressForm.h"
#include "ui/QtText.h"
#include "ui/StandardDialogs.h"
#include "ui/StatusBar.h"
#include "ui/UiFonts.h"
#include "wizard/DescWrap.h"
#include "wizard/PasswordText.h"
#include "wizard/SourceWipeChoice.h"
#include "wizard/Wizard.h"

namespace tellvane {

namespace {

constexpr int ClientWidth = 698;
constexpr int ClientHeight = 475;

QLabel* AddLabel(QWidget* parent, const char* name, const QString& text, int left, int top) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(left, top);
    label->adjustSize();
    return label;
}

QLabel* AddWrappedLabel(QWidget* parent, const char* name, const QString& text, QRect geometry) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(geometry);
    return label;
}

QLabel* AddBoldLabel(QWidget* parent, const char* name, const QString& text, int left, int top) {
    QLabel* label = AddLabel(parent, name, text, left, top);
    label->setFont(BoldFont(label->font()));
    label->adjustSize();
    return label;
}

QGroupBox* AddFrame(QWidget* parent, const char* name, QRect geometry) {
    auto* box = new QGroupBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(geometry);
    return box;
}

QCheckBox* AddCheckBox(QWidget* parent, const char* name, const QString& text, int left, int top, bool checked) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->move(left, top);
    box->adjustSize();
    box->setChecked(checked);
    return box;
}

QLineEdit* AddPasswordEdit(QWidget* parent, const char* name, int left, int top, int width) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(left, top, width, 21);
    edit->setEchoMode(QLineEdit::Password);
    return edit;
}

// The lower bar's flat buttons: picture and caption centred together, a frame while the pointer is
// on them.
QPushButton* AddFlatButton(QWidget* parent, const char* name, const QString& caption, const QString& hint,
                           QRect geometry, const char* glyph) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setStatusTip(hint);
    button->setGeometry(geometry);
    button->setFlat(true);
    button->setAutoDefault(false);
    button->setFocusPolicy(Qt::TabFocus);
    button->setStyleSheet(QStringLiteral("QPushButton { border: 1px solid transparent; border-radius: 3px; padding: 0 4px; }"
                                         "QPushButton:hover { border-color: #9fb6d0; background: #eef5fc; }"
                                         "QPushButton:pressed { background: #d8e8f8; }"));
    if (glyph) {
        button->setIcon(QIcon(Q(GetAppFolder() + "res/" + glyph + ".png")));
        button->setIconSize(QSize(20, 20));
    }
    return button;
}

QToolButton* AddLoadButton(QWidget* parent, const char* name, int left, int top) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(QStringLiteral("..."));
    button->setGeometry(left, top, 23, 23);
    return button;
}

// A picture of the res folder; an empty image when it cannot be read.
QImage LoadPicture(const std::string& fileName, std::string* error = nullptr) {
    try {
        QImage image = DecodePicture(ReadWholeFile(fileName));
        if (image.isNull()) throw EFileError("Cannot decode picture \"" + fileName + "\"");
        return image;
    } catch (const std::exception& e) {
        if (error) *error = e.what();
        return {};
    }
}

// Rows of the hidden-items list are 13 pixels high.
class TFixedRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width(), 13);
    }
};

void ToggleMask(QLineEdit* edit) {
    const char mask = TogglePasswordMask(edit->echoMode() == QLineEdit::Password ? '*' : '\0');
    edit->setEchoMode(mask ? QLineEdit::Password : QLineEdit::Normal);
}

}  // namespace

TMainForm::TMainForm() : QWidget(nullptr) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(ClientWidth, ClientHeight);
    setFont(DialogFont());
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);

    BuildPages();
    BuildLowerBar();
    StatusBar = new TStatusBar(this);
    StatusBar->setGeometry(0, ClientHeight - 24, ClientWidth, 24);
    StatusBar->raise();

    wizard_ = std::make_unique<TWizard>(*this);
    FormCreate();
    // The chosen language replaces the design texts once the window stands.
    QuenLanguageController = std::make_unique<TMainFormLanguageController>(*this);
    QuenLanguageController->FormLoaded();
    qApp->installEventFilter(this);
}

TMainForm::~TMainForm() {
    qApp->removeEventFilter(this);
    QuenLanguageController.reset();
    // The wizard puts the window back on its start page when its path goes: the controls must
    // still be there.
    wizard_.reset();
}

void TMainForm::FormCreate() {
    DescLineChars = 360 / std::max(1, QFontMetrics(OperationsListBox->font()).horizontalAdvance(QLatin1Char('a'))) - 4;
    ShowPage(wpStart);
    setWindowTitle(Q(EditionName));
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(ClientWidth / 2, ClientHeight / 2));
    std::string error;
    const QImage start = LoadPicture(GetAppFolder() + "res/MainForm.jpg", &error);
    if (start.isNull()) {
        // Reported by the general error handler once the message loop runs; the window works
        // without its picture.
        QTimer::singleShot(0, this, [error] { ShowExceptionBox(Q(error)); });
    } else {
        MainBackImage->setPixmap(QPixmap::fromImage(start));
    }
}

QWidget* TMainForm::AddPage(int index) {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("Page%1").arg(index));
    page->setAutoFillBackground(true);
    Notebook->addWidget(page);
    return page;
}

QLabel* TMainForm::AddSidePicture(QWidget* page, const char* name, int top, int height, const char* file) {
    auto* picture = new QLabel(page);
    picture->setObjectName(QString::fromLatin1(name));
    picture->setGeometry(0, top, 290, height);
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (file) {
        const QImage image = LoadPicture(GetAppFolder() + "res/" + file);
        if (!image.isNull()) picture->setPixmap(QPixmap::fromImage(image));
    }
    return picture;
}

void TMainForm::BuildPages() {
    Notebook = new QStackedWidget(this);
    Notebook->setObjectName(QStringLiteral("Notebook"));
    Notebook->setGeometry(0, 0, ClientWidth, 414);

    // Page 0: the list of operations.
    QWidget* page = AddPage(0);
    MainBackImage = AddSidePicture(page, "MainBackImage", 4, 410, nullptr);
    AddBoldLabel(page, "Label1", QStringLiteral("What would you like to do?"), 314, 14);
    OperationsListBox = new TOperationsListBox(page);
    OperationsListBox->setGeometry(314, 33, 360, 260);
    connect(OperationsListBox, &TOperationsListBox::OperationClicked, this, &TMainForm::OperationsListBoxClick);
    AddWrappedLabel(page, "Label2", QStringLiteral("Select desired action from the list above"),
                    QRect(314, 299, 360, 64));

    // Page 1: encryption settings.
    page = AddPage(1);
    QLabel* encryptPicture = AddSidePicture(page, "EncryptBackImage", 4, 410, "Encrypt.jpg");
    QGroupBox* box = AddFrame(page, "GroupBox1", QRect(314, 13, 360, 230));
    AddBoldLabel(box, "Label5", QStringLiteral("Choose algorithm you want to crypt with:"), 23, 21);
    AlgorithmChooseLabel = AddWrappedLabel(
        box, "AlgorithmChooseLabel",
        QStringLiteral("Blowfish has a 64-bit block size and a key length of anywhere from 32 bits to 448 bits. There "
                       "is no effective cryptanalysis of Blowfish known publicly as of 2006, Extremely strong "
                       "protection."),
        QRect(23, 67, 306, 147));
    EncryptAlgorithmComboBox = new QComboBox(page);
    EncryptAlgorithmComboBox->setObjectName(QStringLiteral("EncryptAlgorithmComboBox"));
    EncryptAlgorithmComboBox->setGeometry(337, 53, 321, 21);
    EncryptAlgorithmComboBox->setStatusTip(QStringLiteral("Select algorithm"));
    box = AddFrame(page, "GroupBox2", QRect(314, 249, 360, 153));
    AddBoldLabel(box, "Label9", QStringLiteral("Enter password:"), 23, 21);
    QToolButton* load = AddLoadButton(box, "EncryptLoadPassdButton", 319, 39);
    connect(load, &QToolButton::clicked, this, [this] { LoadPasswordFromFile(EncryptPasswordEdit); });
    EncryptPasswordEdit = AddPasswordEdit(page, "EncryptPasswordEdit", 337, 289, 290);
    // Typed into, the box no longer holds the key file's text.
    connect(EncryptPasswordEdit, &QLineEdit::textEdited, this, [this] { encryptFromKeyFile_ = false; });
    EncryptMaskPasswordCheckBox =
        AddCheckBox(page, "EncryptMaskPasswordCheckBox", QStringLiteral("Mask password"), 337, 316, true);
    connect(EncryptMaskPasswordCheckBox, &QCheckBox::clicked, this, [this] { ToggleMask(EncryptPasswordEdit); });
    EncryptDeleteAfterCheckBox = AddCheckBox(page, "EncryptDeleteAfterCheckBox",
                                             QStringLiteral("Delete source files after encryption"), 337, 339, false);

    // Page 2: the file choice.
    page = AddPage(2);
    ChooseFileBackImage = AddSidePicture(page, "ChooseFileBackImage", 4, 410, nullptr);
    ChooseFilesHeaderLabel = AddBoldLabel(page, "ChooseFilesHeaderLabel", QString(), 314, 13);
    FilesTreeView = new TFilesTreeView(page);
    FilesTreeView->setGeometry(314, 32, 360, 280);
    treeItemModel_ = new TDriveTreeItemModel(
        tree_, [this](TTreeNode* node) { return wizard_->TreeNodeExpanding(node); }, this);
    FilesTreeView->SetItemModel(treeItemModel_);
    connect(FilesTreeView, &TFilesTreeView::NodeClicked, this, [this](TTreeNode* node) {
        if (wizard_->TreeNodeClick(node)) treeItemModel_->StatesChanged();
    });
    connect(FilesTreeView, &QTreeView::expanded, this,
            [this](const QModelIndex& index) { treeItemModel_->FetchNode(treeItemModel_->NodeAt(index)); });
    ChooseFilesDescLabel = AddWrappedLabel(page, "ChooseFilesDescLabel", QString(), QRect(314, 318, 360, 59));
    ChangeMainPassLabel1 = new TLinkLabel(QStringLiteral("Change main password..."), page);
    ChangeMainPassLabel1->setObjectName(QStringLiteral("ChangeMainPassLabel1"));
    ChangeMainPassLabel1->move(314, 383);
    ChangeMainPassLabel1->adjustSize();
    ChangeMainPassLabel1->hide();
    connect(ChangeMainPassLabel1, &TLinkLabel::clicked, this, &TMainForm::ChangeMainPassLabel1Click);

    // Page 3: decryption settings.
    page = AddPage(3);
    QLabel* decryptPicture = AddSidePicture(page, "DecryptBackImage", 4, 410, "Decrypt.jpg");
    box = AddFrame(page, "GroupBox3", QRect(314, 13, 360, 167));
    AddBoldLabel(box, "Label4", QStringLiteral("Enter password:"), 23, 21);
    DecryptPasswordEdit = AddPasswordEdit(box, "DecryptPasswordEdit", 23, 40, 290);
    {
        QFont f = DecryptPasswordEdit->font();
        f.setPixelSize(13);
        DecryptPasswordEdit->setFont(f);
    }
    auto* decryptMask = AddCheckBox(box, "DecryptMaskPasswordCheckBox", QStringLiteral("Mask password"), 23, 70, true);
    connect(decryptMask, &QCheckBox::clicked, this, [this] { ToggleMask(DecryptPasswordEdit); });
    DecryptDeleteAfterCryptCheckBox = AddCheckBox(box, "DecryptDeleteAfterCryptCheckBox",
                                                  QStringLiteral("Delete source files after decryption"), 23, 93, false);
    load = AddLoadButton(box, "DecryptLoadPassButton", 319, 39);
    connect(load, &QToolButton::clicked, this, [this] { LoadPasswordFromFile(DecryptPasswordEdit); });

    // Page 4: shredding settings.
    page = AddPage(4);
    QLabel* shredPicture = AddSidePicture(page, "ShredBackImage", 4, 410, "Shred.jpg");
    box = AddFrame(page, "GroupBox4", QRect(314, 13, 360, 249));
    AddBoldLabel(box, "Label6", QStringLiteral("Choose your shredding algorithm:"), 23, 21);
    ShredAlgorithmComboBox = new QComboBox(box);
    ShredAlgorithmComboBox->setObjectName(QStringLiteral("ShredAlgorithmComboBox"));
    ShredAlgorithmComboBox->setGeometry(23, 44, 314, 21);
    ShredAlgorithmDecsLabel = AddWrappedLabel(
        box, "ShredAlgorithmDecsLabel",
        QStringLiteral("Quick Wiping - an easy way of clearing information approved U.S. Department of Defense. It "
                       "must not be applied for important secret information."),
        QRect(23, 77, 314, 138));

    // Page 5: the list of hidden items.
    page = AddPage(5);
    QLabel* showPicture = AddSidePicture(page, "ShowBackImage", 4, 410, "Show.jpg");
    AddBoldLabel(page, "Label7", QStringLiteral("Which hidden files do you want to show?"), 314, 16);
    HiddenFilesListBox = new QListWidget(page);
    HiddenFilesListBox->setObjectName(QStringLiteral("HiddenFilesListBox"));
    HiddenFilesListBox->setGeometry(314, 35, 360, 278);
    HiddenFilesListBox->setUniformItemSizes(true);
    HiddenFilesListBox->setItemDelegate(new TFixedRowDelegate(HiddenFilesListBox));
    AddWrappedLabel(page, "Label3",
                    QStringLiteral("Select hidden files, folders or drives from the list and click Next to make them "
                                   "show in Explorer again. Use Change Main Password link below to change the "
                                   "password program asks you before this step."),
                    QRect(314, 325, 360, 52));
    auto* link2 = new TLinkLabel(QStringLiteral("Change Main Password..."), page);
    link2->setObjectName(QStringLiteral("ChangeMainPassLabel2"));
    link2->move(314, 383);
    link2->adjustSize();
    connect(link2, &TLinkLabel::clicked, this, &TMainForm::ChangeMainPassLabel1Click);

    // Page 6 holds the hide picture only.
    page = AddPage(6);
    QLabel* hidePicture = AddSidePicture(page, "HideBackImage", 4, 410, "Hide.jpg");

    // Page 7: completion.
    page = AddPage(7);
    FinishBackImage = AddSidePicture(page, "FinishBackImage", 0, 500, nullptr);
    FinishInfoLabel = AddBoldLabel(page, "FinishInfoLabel", QString(), 314, 16);
    {
        QFont f = FinishInfoLabel->font();
        f.setPixelSize(19);
        FinishInfoLabel->setFont(f);
    }
    FilesLabel = AddLabel(page, "FilesLabel", QString(), 314, 67);

    sidePictures_ = {encryptPicture, decryptPicture, shredPicture, hidePicture, showPicture};
    FillAlgorithmLists();
}

void TMainForm::FillAlgorithmLists() {
    for (const auto& algorithm : AlgorithmList()) EncryptAlgorithmComboBox->addItem(Q(algorithm->Caption()));
    if (EncryptAlgorithmComboBox->count() > 0) EncryptAlgorithmComboBox->setCurrentIndex(0);
    for (const auto& method : ShredAlgorithmList()) ShredAlgorithmComboBox->addItem(Q(method->DisplayName()));
    if (ShredAlgorithmComboBox->count() > 0) ShredAlgorithmComboBox->setCurrentIndex(0);
    // Connected after filling: the design texts stay until the user changes a list.
    connect(EncryptAlgorithmComboBox, &QComboBox::currentIndexChanged, this, &TMainForm::EncryptAlgorithmComboBoxChange);
    connect(ShredAlgorithmComboBox, &QComboBox::currentIndexChanged, this, &TMainForm::ShredAlgorithmComboBoxChange);
}

void TMainForm::BuildLowerBar() {
    auto* panel = new QFrame(this);
    LowerPanel = panel;
    panel->setObjectName(QStringLiteral("LowerPanel"));
    panel->setGeometry(-1, 413, 699, 42);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setLineWidth(1);

    OptionsButton = AddFlatButton(panel, "OptionsButton", QString(), QStringLiteral("Show Options dialog"),
                                  QRect(13, 7, 30, 30), "Options");
    HelpButton = AddFlatButton(panel, "HelpButton", QStringLiteral("Help"), QStringLiteral("Show Help file"),
                               QRect(48, 7, 90, 30), "Help");
    BackButton = AddFlatButton(panel, "BackButton", QStringLiteral("Back"), QStringLiteral("Show previous step"),
                               QRect(315, 7, 100, 30), "Back");
    NextButton = AddFlatButton(panel, "NextButton", QStringLiteral("Next"), QStringLiteral("Show next step"),
                               QRect(421, 7, 100, 30), "Next");
    // The picture right of the text.
    NextButton->setLayoutDirection(Qt::RightToLeft);
    FinishButton = AddFlatButton(panel, "FinishButton", QStringLiteral("Finish"), QString(), QRect(591, 7, 100, 30),
                                 "Finish");
    ExitButton = AddFlatButton(panel, "ExitButton", QStringLiteral("Exit"), QStringLiteral("Exit"),
                               QRect(591, 7, 100, 30), "Exit");
    BackButton->hide();
    NextButton->hide();
    // Beneath Exit: reachable only while Exit is hidden.
    FinishButton->hide();

    connect(OptionsButton, &QPushButton::clicked, this, &TMainForm::OptionsButtonClick);
    connect(HelpButton, &QPushButton::clicked, this, &TMainForm::HelpButtonClick);
    connect(BackButton, &QPushButton::clicked, this, &TMainForm::BackButtonClick);
    connect(NextButton, &QPushButton::clicked, this, &TMainForm::NextButtonClick);
    connect(ExitButton, &QPushButton::clicked, this, &TMainForm::ExitButtonClick);
    connect(FinishButton, &QPushButton::clicked, this, &TMainForm::FinishButtonClick);
}

// --- the user's actions ------------------------------------------------------------------------

void TMainForm::NextButtonClick() { wizard_->NextButtonClick(); }
void TMainForm::BackButtonClick() { wizard_->BackButtonClick(); }
void TMainForm::ExitButtonClick() { wizard_->ExitButtonClick(); }
void TMainForm::FinishButtonClick() { wizard_->FinishButtonClick(); }
void TMainForm::OperationsListBoxClick(int index) { wizard_->OperationsListBoxClick(index); }
void TMainForm::ChangeMainPassLabel1Click() { wizard_->ChangeMainPassLinkClick(); }
void TMainForm::HelpButtonClick() { ShowHelp(); }
void TMainForm::ShowHelp() { OpenHelpFile(); }

void TMainForm::OptionsButtonClick() {
    if (dialogs_.options) dialogs_.options->ShowPage(TOptionsForm::opGeneral);
}

void TMainForm::CaptionButtonClick() {
    if (dialogs_.options) dialogs_.options->ShowPage(TOptionsForm::opAbout);
}

void TMainForm::EncryptAlgorithmComboBoxChange(int index) {
    auto& list = AlgorithmList();
    if (index < 0 || index >= static_cast<int>(list.size())) return;
    AlgorithmChooseLabel->setText(Q(list[static_cast<size_t>(index)]->GetDesc()));
}

void TMainForm::ShredAlgorithmComboBoxChange(int index) {
    auto& list = ShredAlgorithmList();
    if (index < 0 || index >= static_cast<int>(list.size())) return;
    ShredAlgorithmDecsLabel->setText(Q(list[static_cast<size_t>(index)]->GetDesc()));
}

void TMainForm::LoadPasswordFromFile(QLineEdit* edit) {
    const QString fileName = ChooseOpenFile(this, Q(PasswordDialogTitle), ToDialogFilter(PasswordDialogFilter));
    if (fileName.isEmpty()) return;
    std::string text = S(edit->text());
    // An unreadable file is reported with its open error; the box then keeps its text.
    if (!tellvane::LoadPasswordFromFile(*this, S(fileName), text)) return;
    edit->setText(Q(text));
    if (edit == EncryptPasswordEdit) encryptFromKeyFile_ = true;
}

void TMainForm::FormActivate() {
    if (wizard_->ActiveOnce()) return;
    std::vector<std::string> args;
    for (int i = 1; i <= ParamCount(); ++i) args.push_back(ParamStr(i));
    wizard_->FormActivate(args);
    // A command-line activation lands on a settings page: its first box takes the keys.
    if (!StartedFromCmdLine) return;
    if (CurrentPage() == wpEncryptSettings)
        EncryptPasswordEdit->setFocus();
    else if (CurrentPage() == wpDecryptSettings)
        DecryptPasswordEdit->setFocus();
    else if (CurrentPage() == wpShredSettings)
        ShredAlgorithmComboBox->setFocus();
}

// --- events ----------------------------------------------------------------------------------------

bool TMainForm::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::WindowActivate:
            if (!wizard_->ActiveOnce()) QTimer::singleShot(0, this, &TMainForm::FormActivate);
            break;
        case QEvent::EnterWhatsThisMode:
            // The help button of the title bar, where the window manager has one.
            CaptionButtonClick();
            return true;
        default:
            break;
    }
    return QWidget::event(event);
}

void TMainForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Not every window manager activates a new window (none does under a bare X server): the
    // first showing counts as the first activation too.
    if (!wizard_->ActiveOnce()) QTimer::singleShot(0, this, &TMainForm::FormActivate);
}

void TMainForm::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    TerminateApplication();
}

void TMainForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        if (event->modifiers() & Qt::ShiftModifier)
            CaptionButtonClick();
        else
            ShowHelp();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if ((event->type() == QEvent::Enter || event->type() == QEvent::Leave) && !hintUpdatePending_) {
        hintUpdatePending_ = true;
        QTimer::singleShot(0, this, [this] {
            hintUpdatePending_ = false;
            UpdateHintFromPointer();
        });
    }
    return QWidget::eventFilter(watched, event);
}

void TMainForm::UpdateHintFromPointer() {
    // A control without a hint of its own shows its parent's, up to its window.
    QString hint;
    for (QWidget* w = QApplication::widgetAt(QCursor::pos()); w; w = w->parentWidget()) {
        hint = w->statusTip();
        if (!hint.isEmpty() || w->isWindow()) break;
    }
    AppEventsHint(hint);
}

void TMainForm::AppEventsHint(const QString& hint) {
    StatusBar->SetText(GetLongHint(hint.isEmpty() ? statusTip() : hint));
}

QString TMainForm::StatusText() const { return StatusBar->Text(); }

// --- what the wizard asks ----------------------------------------------------------------------

void TMainForm::ShowPage(int page) {
    if (page == wpEncryptSettings || page == wpDecryptSettings) ShowSourceWipeInCaptions();
    Notebook->setCurrentIndex(page);
}

void TMainForm::ShowSourceWipeInCaptions() {
    const TSourceWipeChoice wipe = ReadSourceWipeChoice(TOptions());
    // The method as the shred page names it, in the language of the windows.
    const std::string method = S(ShredAlgorithmComboBox->itemText(wipe.method));
    auto show = [&](QCheckBox* box, TDeleteCaptions& captions, const char* constant) {
        // A text other than the one set here is the box's own, perhaps translated since.
        if (box->text() != captions.wipe) captions.plain = box->text();
        // A language file's line break is CR LF; a check box would show the CR.
        captions.wipe = wipe.on ? Q(Format(GetConstantValue(constant), {method})).replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                                : QString();
        box->setText(wipe.on ? captions.wipe : captions.plain);
        box->adjustSize();
    };
    show(EncryptDeleteAfterCheckBox, encryptDeleteCaptions_, "Wipe_source_after_encryption");
    show(DecryptDeleteAfterCryptCheckBox, decryptDeleteCaptions_, "Wipe_source_after_decryption");
}
int TMainForm::CurrentPage() const { return Notebook->currentIndex(); }
void TMainForm::SetNextVisible(bool visible) { NextButton->setVisible(visible); }
void TMainForm::SetBackVisible(bool visible) { BackButton->setVisible(visible); }

void TMainForm::SetExitVisible(bool visible) {
    ExitButton->setVisible(visible);
    FinishButton->setVisible(!visible);
}

void TMainForm::SetNextCaption(const std::string& caption) { NextButton->setText(Q(caption)); }
void TMainForm::SetExitCaption(const std::string& caption) { ExitButton->setText(Q(caption)); }
std::string TMainForm::ExitCaption() const { return S(ExitButton->text()); }

void TMainForm::SetStepTitle(const std::string& title) {
    setStatusTip(Q(title));
    UpdateHintFromPointer();
}

void TMainForm::SetChooseFilesHeader(const std::string& text) {
    ChooseFilesHeaderLabel->setText(Q(text));
    ChooseFilesHeaderLabel->adjustSize();
}

void TMainForm::SetChooseFilesDesc(const std::string& text) { ChooseFilesDescLabel->setText(Q(text)); }

void TMainForm::SetSidePictures(TSidePicture picture) {
    const size_t slot = static_cast<size_t>(picture);
    if (slot >= sidePictures_.size()) return;
    const QPixmap pixmap = sidePictures_[slot]->pixmap();
    ChooseFileBackImage->setPixmap(pixmap);
    FinishBackImage->setPixmap(pixmap);
}

void TMainForm::SetChangeMainPassLinkVisible(bool visible) { ChangeMainPassLabel1->setVisible(visible); }

void TMainForm::DriveTreeRebuilt() {
    treeItemModel_->Rebuilt();
    FilesTreeView->collapseAll();
}

TSecretString TMainForm::EncryptPassword() const { return S(EncryptPasswordEdit->text()); }
int TMainForm::EncryptAlgorithmIndex() const { return EncryptAlgorithmComboBox->currentIndex(); }
bool TMainForm::EncryptDeleteSource() const { return EncryptDeleteAfterCheckBox->isChecked(); }
void TMainForm::SetEncryptDeleteSource(bool checked) { EncryptDeleteAfterCheckBox->setChecked(checked); }
TSecretString TMainForm::DecryptPassword() const { return S(DecryptPasswordEdit->text()); }
bool TMainForm::DecryptDeleteSource() const { return DecryptDeleteAfterCryptCheckBox->isChecked(); }
int TMainForm::ShredAlgorithmIndex() const { return ShredAlgorithmComboBox->currentIndex(); }

void TMainForm::FocusControl(TFocusTarget target) {
    if (target == TFocusTarget::ftEncryptPassword) {
        EncryptPasswordEdit->setFocus();
        return;
    }
    activateWindow();
    setFocus();
}

void TMainForm::FillHiddenItems(const std::vector<std::string>& paths) {
    HiddenFilesListBox->clear();
    for (const std::string& path : paths) {
        auto* item = new QListWidgetItem(Q(path), HiddenFilesListBox);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
}

int TMainForm::HiddenItemCount() const { return HiddenFilesListBox->count(); }

bool TMainForm::HiddenItemChecked(int index) const {
    const QListWidgetItem* item = HiddenFilesListBox->item(index);
    return item && item->checkState() == Qt::Checked;
}

void TMainForm::SetCompletionTexts(const std::string& header, const std::string& filesText) {
    FinishInfoLabel->setText(Q(header));
    FinishInfoLabel->adjustSize();
    FilesLabel->setText(Q(filesText));
    FilesLabel->adjustSize();
}

bool TMainForm::AskMainPassword(TSecretString& typed) {
    return dialogs_.mainPass && dialogs_.mainPass->Ask(typed);
}

void TMainForm::ShowChangeMainPassword(TSecretString& storePassword) {
    if (dialogs_.changeMainPass) dialogs_.changeMainPass->Run(storePassword);
}

bool TMainForm::AskFilePassword(const std::string& label, TSecretString& typed) {
    return dialogs_.operationPass && dialogs_.operationPass->Ask(label, typed);
}

TReplaceAnswer TMainForm::AskReplace(const std::string& question) { return tellvane::AskReplaceBox(Q(question)); }

void TMainForm::ErrorBox(const std::string& text) { tellvane::ErrorBox(Q(text)); }
void TMainForm::InfoBox(const std::string& text) { tellvane::InfoBox(Q(text)); }
void TMainForm::PlainMessage(const std::string& text) { tellvane::PlainMessage(Q(text)); }

bool TMainForm::ConfirmEncryptPassword(TSecretString& typed) {
    return dialogs_.confirmPass && dialogs_.confirmPass->Ask(typed);
}

void TMainForm::ShowNotDoneSummary(const std::vector<TNotCompletedFile>& entries) {
    if (dialogs_.notDone) dialogs_.notDone->Show(entries);
}

void TMainForm::ShowProgressWindow() {
    if (dialogs_.progress) dialogs_.progress->show();
}

void TMainForm::CloseProgressWindow() {
    if (dialogs_.progress) dialogs_.progress->hide();
}

void TMainForm::TerminateApplication() {
    terminationRequested_ = true;
    // Queued: the loop may not run yet, and the caller's handler finishes first.
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

std::vector<TQuenLang_PropEntry> TMainForm::TranslationEntries() {
    return {
        {1, "MainForm", "Caption", ""},
        {2, "FinishButton", "Caption", ""},
        {3, "ExitButton", "Hint", ""},
        {4, "ExitButton", "Caption", ""},
        {5, "HelpButton", "Hint", ""},
        {6, "HelpButton", "Caption", ""},
        {7, "BackButton", "Hint", ""},
        {8, "BackButton", "Caption", ""},
        {9, "NextButton", "Hint", ""},
        {10, "NextButton", "Caption", ""},
        {12, "OptionsButton", "Hint", ""},
        {13, "Label2", "Caption", ""},
        {14, "Label1", "Caption", ""},
        {17, "OperationsListBox", "Items", ""},
        {18, "Label9", "Caption", ""},
        {19, "Label5", "Caption", ""},
        {20, "AlgorithmChooseLabel", "Caption", ""},
        {21, "EncryptAlgorithmComboBox", "Hint", ""},
        {22, "EncryptAlgorithmComboBox", "Text", ""},
        {23, "EncryptAlgorithmComboBox", "Items", ""},
        {24, "EncryptMaskPasswordCheckBox", "Caption", ""},
        {25, "EncryptDeleteAfterCheckBox", "Caption", ""},
        {26, "ChooseFilesDescLabel", "Caption", ""},
        {27, "ChooseFilesHeaderLabel", "Caption", ""},
        {28, "ChangeMainPassLabel1", "Caption", ""},
        {29, "ChangeMainPassLabel1", "Text", ""},
        {30, "Label4", "Caption", ""},
        {31, "DecryptMaskPasswordCheckBox", "Caption", ""},
        {32, "DecryptDeleteAfterCryptCheckBox", "Caption", ""},
        {33, "Label6", "Caption", ""},
        {34, "ShredAlgorithmDecsLabel", "Caption", ""},
        {35, "ShredAlgorithmComboBox", "Text", ""},
        {36, "ShredAlgorithmComboBox", "Items", ""},
        {37, "Label3", "Caption", ""},
        {38, "Label7", "Caption", ""},
        {39, "ChangeMainPassLabel2", "Caption", ""},
        {40, "ChangeMainPassLabel2", "Text", ""},
        {41, "FinishInfoLabel", "Caption", ""},
        {42, "FilesLabel", "Caption", ""},
        {43, "PasswordOpenDialog", "Filter", ""},
        {44, "PasswordOpenDialog", "Title", ""},
    };
}

}  // namespace tellvane
