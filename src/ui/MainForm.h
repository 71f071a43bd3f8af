#pragma once
// The main window: eight pages of which one shows, the wizard buttons, the status bar. It carries
// out what the wizard asks of it (IWizardWindow) and hands the user's actions to the wizard.
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

#include "l10n/LanguageController.h"
#include "wizard/DriveTreeModel.h"
#include "wizard/WizardWindow.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QStackedWidget;
class QPushButton;

namespace tellvane {

class TChangeMainPassForm;
class TConfirmPassForm;
class TFilesTreeView;
class TDriveTreeItemModel;
class TLinkLabel;
class TMainFormLanguageController;
class TMainPassForm;
class TNotDoneForm;
class TOperationPassForm;
class TOperationsListBox;
class TOptionsForm;
class TProgressForm;
class TStatusBar;
class TWizard;

class TMainForm : public QWidget, public IWizardWindow {
    Q_OBJECT
public:
    // Which ID of a language file (section "MainForm") goes to which control of this window.
    // An ID keeps its control once given; a new text gets a new ID.
    static std::vector<TQuenLang_PropEntry> TranslationEntries();
    TMainForm();
    ~TMainForm() override;

    // The windows created after this one, which it shows on the wizard's behalf.
    struct TDialogs {
        TChangeMainPassForm* changeMainPass = nullptr;
        TOperationPassForm* operationPass = nullptr;
        TOptionsForm* options = nullptr;
        TProgressForm* progress = nullptr;
        TMainPassForm* mainPass = nullptr;
        TNotDoneForm* notDone = nullptr;
        TConfirmPassForm* confirmPass = nullptr;
    };
    void AttachDialogs(const TDialogs& dialogs) { dialogs_ = dialogs; }
    const TDialogs& Dialogs() const { return dialogs_; }

    TWizard& Wizard() const { return *wizard_; }
    // The first activation: first-run main password, then the command-line activation.
    void FormActivate();
    void ShowHelp();
    // The status-bar text for the application's current hint HINT.
    void AppEventsHint(const QString& hint);
    QString StatusText() const;
    // Recomputes the hint of the control under the pointer.
    void UpdateHintFromPointer();
    bool TerminationRequested() const { return terminationRequested_; }
    void LoadPasswordFromFile(QLineEdit* edit);

    // The password file dialog's title and filter ("description|patterns|..."), translatable.
    std::string PasswordDialogTitle = "Choose file which content will be used as password";
    std::string PasswordDialogFilter = "Text files (*.TXT)|*.txt| All files|*.*";

    // IWizardWindow
    void ShowPage(int page) override;
    int CurrentPage() const override;
    void SetNextVisible(bool visible) override;
    void SetBackVisible(bool visible) override;
    void SetExitVisible(bool visible) override;
    void SetNextCaption(const std::string& caption) override;
    void SetExitCaption(const std::string& caption) override;
    std::string ExitCaption() const override;
    void SetStepTitle(const std::string& title) override;
    void SetChooseFilesHeader(const std::string& text) override;
    void SetChooseFilesDesc(const std::string& text) override;
    void SetSidePictures(TSidePicture picture) override;
    void SetChangeMainPassLinkVisible(bool visible) override;
    TDriveTreeModel& TreeModel() override { return tree_; }
    void DriveTreeRebuilt() override;
    TSecretString EncryptPassword() const override;
    int EncryptAlgorithmIndex() const override;
    bool EncryptDeleteSource() const override;
    bool EncryptPasswordFromKeyFile() const override { return encryptFromKeyFile_; }
    bool ConfirmEncryptPassword(TSecretString& typed) override;
    void SetEncryptDeleteSource(bool checked) override;
    TSecretString DecryptPassword() const override;
    bool DecryptDeleteSource() const override;
    int ShredAlgorithmIndex() const override;
    void FocusControl(TFocusTarget target) override;
    void FillHiddenItems(const std::vector<std::string>& paths) override;
    int HiddenItemCount() const override;
    bool HiddenItemChecked(int index) const override;
    void SetCompletionTexts(const std::string& header, const std::string& filesText) override;
    bool AskMainPassword(TSecretString& typed) override;
    void ShowChangeMainPassword(TSecretString& storePassword) override;
    bool AskFilePassword(const std::string& label, TSecretString& typed) override;
    TReplaceAnswer AskReplace(const std::string& question) override;
    void ErrorBox(const std::string& text) override;
    void InfoBox(const std::string& text) override;
    void PlainMessage(const std::string& text) override;
    void ShowNotDoneSummary(const std::vector<TNotCompletedFile>& entries) override;
    void ShowProgressWindow() override;
    void CloseProgressWindow() override;
    void TerminateApplication() override;

public slots:
    void NextButtonClick();
    void BackButtonClick();
    void ExitButtonClick();
    void FinishButtonClick();
    void OptionsButtonClick();
    void CaptionButtonClick();
    void HelpButtonClick();
    void OperationsListBoxClick(int index);
    void EncryptAlgorithmComboBoxChange(int index);
    void ShredAlgorithmComboBoxChange(int index);
    void ChangeMainPassLabel1Click();
    // The delete-source boxes say whether the sources are wiped, and with which method, as the
    // options now hold it.
    void ShowSourceWipeInCaptions();

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void BuildLowerBar();
    void BuildPages();
    QWidget* AddPage(int index);
    QLabel* AddSidePicture(QWidget* page, const char* name, int top, int height, const char* file);
    void FillAlgorithmLists();

    TDriveTreeModel tree_;
    std::unique_ptr<TWizard> wizard_;
    std::unique_ptr<TMainFormLanguageController> QuenLanguageController;
    TDialogs dialogs_;
    bool terminationRequested_ = false;
    bool encryptFromKeyFile_ = false;  // the encrypt box holds a key file's text, not edited since
    bool hintUpdatePending_ = false;
    // A delete-source box's own caption and the one naming the wiping method, while shown.
    struct TDeleteCaptions {
        QString plain;
        QString wipe;
    };
    TDeleteCaptions encryptDeleteCaptions_;
    TDeleteCaptions decryptDeleteCaptions_;

    QStackedWidget* Notebook = nullptr;
    QWidget* LowerPanel = nullptr;
    TStatusBar* StatusBar = nullptr;
    QPushButton* OptionsButton = nullptr;
    QPushButton* HelpButton = nullptr;
    QPushButton* BackButton = nullptr;
    QPushButton* NextButton = nullptr;
    QPushButton* ExitButton = nullptr;
    QPushButton* FinishButton = nullptr;

    QLabel* MainBackImage = nullptr;
    TOperationsListBox* OperationsListBox = nullptr;
    QComboBox* EncryptAlgorithmComboBox = nullptr;
    QLabel* AlgorithmChooseLabel = nullptr;
    QLineEdit* EncryptPasswordEdit = nullptr;
    QCheckBox* EncryptMaskPasswordCheckBox = nullptr;
    QCheckBox* EncryptDeleteAfterCheckBox = nullptr;
    QLabel* ChooseFileBackImage = nullptr;
    QLabel* ChooseFilesHeaderLabel = nullptr;
    TFilesTreeView* FilesTreeView = nullptr;
    TDriveTreeItemModel* treeItemModel_ = nullptr;
    QLabel* ChooseFilesDescLabel = nullptr;
    TLinkLabel* ChangeMainPassLabel1 = nullptr;
    QLineEdit* DecryptPasswordEdit = nullptr;
    QCheckBox* DecryptDeleteAfterCryptCheckBox = nullptr;
    QComboBox* ShredAlgorithmComboBox = nullptr;
    QLabel* ShredAlgorithmDecsLabel = nullptr;
    QListWidget* HiddenFilesListBox = nullptr;
    QLabel* FinishBackImage = nullptr;
    QLabel* FinishInfoLabel = nullptr;
    QLabel* FilesLabel = nullptr;
    // The side pictures of pages 1, 3, 4, 5 and 6, by TSidePicture.
    std::vector<QLabel*> sidePictures_;
};

}  // namespace tellvane
