// The windows' own behaviour: the general error handler, the worker's way onto the user-interface
// thread, the password dialogs, the Options window, the progress window between runs, password
// files, the mask, the hints and the help page.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <stdexcept>
#include <thread>

#include "UiFixture.h"
#include "base/Options.h"
#include "engine/Operations.h"
#include "hide/HiddenConfig.h"
#include "l10n/BuiltinConstants.h"
#include "l10n/LanguageController.h"
#include "l10n/LanguageFile.h"
#include "l10n/TextConstants.h"
#include "platform/TextFormat.h"
#include "platform/AppFolders.h"
#include "platform/FileSystem.h"
#include "ui/ChangeMainPassForm.h"
#include "ui/ConfirmPassForm.h"
#include "ui/DriveTreeView.h"
#include "ui/MainPassForm.h"
#include "ui/NotDoneForm.h"
#include "ui/OperationPassForm.h"
#include "ui/OperationsListBox.h"
#include "ui/OptionsForm.h"
#include "ui/ProgressForm.h"
#include "ui/StandardDialogs.h"
#include "wizard/SourceWipeChoice.h"
#include "ui/UiThreadDispatcher.h"
#include "wizard/DriveTreeModel.h"

namespace tellvane::test {
namespace {

// Throws from its event handler for the first event it gets, then counts the rest.
class TThrowingObject : public QObject {
public:
    int handled = 0;
    bool event(QEvent* e) override {
        if (e->type() != QEvent::User) return QObject::event(e);
        if (handled++ == 0) throw std::runtime_error("Cannot open file \"x\". Error 2: No such file or directory");
        return true;
    }
};

class WindowBehaviour : public UiTest {};

TEST_F(WindowBehaviour, ErrorLeavingAnEventHandlerIsShownAndTheProgramGoesOn) {
    // The title at start-up; a finished run's progress window leaves the main window's caption there.
    SetCurrentApplicationTitle("Tellvane");
    TThrowingObject object;
    QCoreApplication::postEvent(&object, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&object, new QEvent(QEvent::User));
    ASSERT_TRUE(WaitFor([&] { return object.handled == 2; }));
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].kind, TBoxKind::bkException);
    EXPECT_EQ(boxes_[0].title.toStdString(), "Tellvane");
    EXPECT_EQ(boxes_[0].text.toStdString(), "Cannot open file \"x\". Error 2: No such file or directory");
}

TEST_F(WindowBehaviour, WorkerStepRunsOnTheUserInterfaceThreadWhileTheWorkerWaits) {
    TUiThreadDispatcher dispatcher;
    const std::thread::id uiThread = std::this_thread::get_id();
    std::atomic<bool> stepRan{false}, sawStepBeforeReturn{false}, finished{false};
    std::thread::id stepThread;
    std::string workerError;
    std::thread worker([&] {
        dispatcher.Run([&] {
            stepThread = std::this_thread::get_id();
            QThread::msleep(50);  // the worker must still be waiting after this
            stepRan = true;
        });
        sawStepBeforeReturn = stepRan.load();
        try {
            dispatcher.Run([] { throw std::runtime_error("step failed"); });
        } catch (const std::exception& e) {
            workerError = e.what();
        }
        finished = true;  // published last: the string is read only after it
    });
    ASSERT_TRUE(WaitFor([&] { return finished.load(); }));
    worker.join();
    EXPECT_EQ(stepThread, uiThread);
    EXPECT_TRUE(sawStepBeforeReturn);
    EXPECT_EQ(workerError, "step failed");
    EXPECT_TRUE(boxes_.empty());  // the step's error went to the worker, not to the message loop

    // On the user-interface thread itself a step runs at once.
    bool inline_ = false;
    dispatcher.Run([&] { inline_ = true; });
    EXPECT_TRUE(inline_);
}

TEST_F(WindowBehaviour, NewMainPasswordNeedsTheSameTextTwiceAndOpensAtFirstActivation) {
    // No main password: the dialog opens at the first activation; Cancel keeps it empty.
    HiddenItemsStore().Password.clear();
    std::string firstTitle;
    auto cancel = std::make_unique<TModalAnswer>([&](QWidget* dialog) {
        firstTitle = dialog->windowTitle().toStdString();
        Screenshot(dialog, "dialog-new-main-password");
        QTest::mouseClick(dialog->findChild<QPushButton*>("CancelBtn"), Qt::LeftButton);
    });
    CreateWindows();
    ASSERT_TRUE(WaitFor([&] { return cancel->Done(); }));
    EXPECT_EQ(firstTitle, "Set New Main Password");
    EXPECT_EQ(HiddenItemsStore().Password, "");

    // Letter case counts: a mismatch keeps the dialog open with what was typed.
    bool stillOpenAfterMismatch = false;
    std::string againAfterMismatch;
    auto answer = std::make_unique<TModalAnswer>([&](QWidget* dialog) {
        auto* first = dialog->findChild<QLineEdit*>("PasswordEdit");
        auto* again = dialog->findChild<QLineEdit*>("AgainPasswordEdit");
        auto* ok = dialog->findChild<QPushButton*>("OKBtn");
        EXPECT_TRUE(first->text().isEmpty());
        QTest::keyClicks(first, "Secret");
        QTest::keyClicks(again, "secret");
        QTest::mouseClick(ok, Qt::LeftButton);
        stillOpenAfterMismatch = dialog->isVisible();
        againAfterMismatch = again->text().toStdString();
        again->clear();
        QTest::keyClicks(again, "Secret");
        QTest::mouseClick(ok, Qt::LeftButton);
    });
    TSecretString store = "old";
    Main().ShowChangeMainPassword(store);
    EXPECT_TRUE(answer->Done());
    EXPECT_TRUE(stillOpenAfterMismatch);
    EXPECT_EQ(againAfterMismatch, "secret");
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].kind, TBoxKind::bkError);
    EXPECT_EQ(boxes_[0].text.toStdString(),
              "Password you entered second time is different from the one you entered first time!");
    EXPECT_EQ(store, "Secret");

    // Two empty boxes are equal; a reopened dialog shows empty boxes.
    answer = std::make_unique<TModalAnswer>([&](QWidget* dialog) {
        EXPECT_TRUE(dialog->findChild<QLineEdit*>("PasswordEdit")->text().isEmpty());
        EXPECT_TRUE(dialog->findChild<QLineEdit*>("AgainPasswordEdit")->text().isEmpty());
        QTest::mouseClick(dialog->findChild<QPushButton*>("OKBtn"), Qt::LeftButton);
    });
    Main().ShowChangeMainPassword(store);
    EXPECT_TRUE(answer->Done());
    EXPECT_EQ(store, "");
}

TEST_F(WindowBehaviour, OptionsWindowStoresOnOkOnlyAndStartsOneRegisteringInstance) {
    DeleteFile(TOptions::GetFileName());
    CreateWindows();
    TOptionsForm& options = Windows().OptionsForm();
    QTest::mouseClick(Find<QAbstractButton>("OptionsButton"), Qt::LeftButton);
    ASSERT_TRUE(options.isVisible());
    auto* pages = Find<QTabWidget>(&options, "Pages");
    EXPECT_EQ(pages->currentWidget()->objectName().toStdString(), "general");
    auto* integrate = Find<QCheckBox>(&options, "IntegrateCheckBox");
    auto* cascaded = Find<QCheckBox>(&options, "CascadedCheckBox");
    EXPECT_TRUE(integrate->isChecked());
    EXPECT_FALSE(cascaded->isChecked());
    Screenshot(&options, "options-general");

    // Pointing at a check box shows its hint in the main window's status bar.
    QCursor::setPos(integrate->mapToGlobal(integrate->rect().center()));
    Main().UpdateHintFromPointer();
    EXPECT_EQ(Main().StatusText().toStdString(),
              "Program's items will appear in Explorer context menu for files and folders");

    // OK without a change still writes both keys and starts one instance.
    QTest::mouseClick(Find<QPushButton>(&options, "ok2"), Qt::LeftButton);
    EXPECT_FALSE(options.isVisible());
    EXPECT_EQ(startedSwitches_, std::vector<std::string>{"/activate"});
    const std::string written = ReadText(TOptions::GetFileName());
    EXPECT_NE(written.find("IntegrateContextMenu"), std::string::npos);
    EXPECT_NE(written.find("CascadeContextMenu"), std::string::npos);

    // Cancel after a change writes nothing and starts nothing; the next showing shows the store.
    options.ShowPage(TOptionsForm::opGeneral);
    integrate->setChecked(false);
    cascaded->setChecked(true);
    QTest::mouseClick(Find<QPushButton>(&options, "CancelButton"), Qt::LeftButton);
    EXPECT_EQ(ReadText(TOptions::GetFileName()), written);
    EXPECT_EQ(startedSwitches_.size(), 1u);
    options.ShowPage(TOptionsForm::opGeneral);
    EXPECT_TRUE(integrate->isChecked());
    EXPECT_FALSE(cascaded->isChecked());

    // Integration off: the instance unregisters.
    integrate->setChecked(false);
    cascaded->setChecked(true);
    QTest::mouseClick(Find<QPushButton>(&options, "ok2"), Qt::LeftButton);
    EXPECT_EQ(startedSwitches_, (std::vector<std::string>{"/activate", "/deactivate"}));
    EXPECT_FALSE(TOptions().GetOption("IntegrateContextMenu", true));
    EXPECT_TRUE(TOptions().GetOption("CascadeContextMenu", false));

    // The title bar's help button opens the About page.
    Main().CaptionButtonClick();
    EXPECT_EQ(pages->currentWidget()->objectName().toStdString(), "about");
    EXPECT_EQ(Find<QLabel>(&options, "Label4")->text().toStdString(), "Version 1.2");
    Screenshot(&options, "options-about");

    // The language page: English and the registered languages by their own names; the choice is
    // stored on OK, and the box shows the stored choice next time.
    options.ShowPage(TOptionsForm::opLanguage);
    auto* language = Find<QComboBox>(&options, "LanguageComboBox");
    EXPECT_EQ(language->itemText(0).toStdString(), "English");
    const int german = language->findText(QStringLiteral("Deutsch"));
    ASSERT_GT(german, 0);
    EXPECT_EQ(language->currentIndex(), 0);
    Screenshot(&options, "options-language");
    language->setCurrentIndex(german);
    QTest::mouseClick(Find<QPushButton>(&options, "ok2"), Qt::LeftButton);
    EXPECT_EQ(TOptions().GetOption("LanguageID", 0), 1031);
    options.ShowPage(TOptionsForm::opLanguage);
    EXPECT_EQ(language->currentIndex(), german);
    language->setCurrentIndex(0);
    QTest::mouseClick(Find<QPushButton>(&options, "ok2"), Qt::LeftButton);
    EXPECT_EQ(TOptions().GetOption("LanguageID", 0), 1033);  // once chosen, English is stored too
    TOptions().DeleteKey("LanguageID");
    options.hide();
}

// The wiping of sources: off by default, stored on OK, and named at once by the delete-source
// boxes of both settings pages.
TEST_F(WindowBehaviour, SourceWipeOptionIsStoredAndNamedByTheDeleteSourceBoxes) {
    DeleteFile(TOptions::GetFileName());
    CreateWindows();
    TOptionsForm& options = Windows().OptionsForm();
    auto* encryptBox = Find<QCheckBox>("EncryptDeleteAfterCheckBox");
    auto* decryptBox = Find<QCheckBox>("DecryptDeleteAfterCryptCheckBox");
    options.ShowPage(TOptionsForm::opSources);
    auto* wipe = Find<QCheckBox>(&options, "WipeSourceCheckBox");
    auto* method = Find<QComboBox>(&options, "WipeMethodComboBox");
    EXPECT_FALSE(wipe->isChecked());
    EXPECT_FALSE(method->isEnabled());
    ASSERT_EQ(method->count(), 11);
    QTest::mouseClick(wipe, Qt::LeftButton, {}, QPoint(8, wipe->height() / 2));
    EXPECT_TRUE(method->isEnabled());
    method->setCurrentIndex(6);
    Screenshot(&options, "options-sources");
    QTest::mouseClick(Find<QPushButton>(&options, "ok2"), Qt::LeftButton);
    EXPECT_TRUE(TOptions().GetOption("WipeSourceFiles", false));
    EXPECT_EQ(TOptions().GetOption("WipeSourceMethod", -1), 6);
    const std::string gost = "Russian military standards GOST P50739-95";
    EXPECT_EQ(encryptBox->text().toStdString(), "Wipe source files after encryption\nwith " + gost);
    EXPECT_EQ(decryptBox->text().toStdString(), "Wipe source files after decryption\nwith " + gost);
    Main().ShowPage(wpEncryptSettings);
    encryptBox->setChecked(true);
    Screenshot(&Main(), "01-encrypt-settings-wipe");

    options.ShowPage(TOptionsForm::opSources);
    EXPECT_TRUE(wipe->isChecked());
    EXPECT_EQ(method->currentIndex(), 6);
    wipe->setChecked(false);
    QTest::mouseClick(Find<QPushButton>(&options, "ok2"), Qt::LeftButton);
    EXPECT_FALSE(TOptions().GetOption("WipeSourceFiles", true));
    EXPECT_EQ(encryptBox->text().toStdString(), "Delete source files after encryption");
    EXPECT_EQ(decryptBox->text().toStdString(), "Delete source files after decryption");
    Main().ShowPage(wpStart);
}

TEST_F(WindowBehaviour, ChangeMainPasswordFromOptionsAsksForTheCurrentOneFirst) {
    CreateWindows();
    TOptionsForm& options = Windows().OptionsForm();
    options.ShowPage(TOptionsForm::opGeneral);
    std::vector<std::string> dialogs;
    std::unique_ptr<TModalAnswer> second;
    auto first = std::make_unique<TModalAnswer>([&](QWidget* dialog) {
        dialogs.push_back(dialog->objectName().toStdString());
        second = std::make_unique<TModalAnswer>([&](QWidget* next) {
            dialogs.push_back(next->objectName().toStdString());
            QTest::keyClicks(next->findChild<QLineEdit*>("PasswordEdit"), "fresh");
            QTest::keyClicks(next->findChild<QLineEdit*>("AgainPasswordEdit"), "fresh");
            QTest::mouseClick(next->findChild<QPushButton*>("OKBtn"), Qt::LeftButton);
        });
        QTest::keyClicks(dialog->findChild<QLineEdit*>("PasswordEdit"), "main");
        QTest::mouseClick(dialog->findChild<QPushButton*>("OKBtn"), Qt::LeftButton);
    });
    QTest::mouseClick(Find<QPushButton>(&options, "ChooseMainPassButton"), Qt::LeftButton);
    EXPECT_EQ(dialogs, (std::vector<std::string>{"MainPassForm", "ChangeMainPassForm"}));
    EXPECT_EQ(HiddenItemsStore().Password, "fresh");

    // A refused current password: the new-password dialog does not open.
    dialogs.clear();
    std::unique_ptr<TModalAnswer> cancel;
    first = std::make_unique<TModalAnswer>([&](QWidget* dialog) {
        dialogs.push_back(dialog->objectName().toStdString());
        cancel = std::make_unique<TModalAnswer>([&](QWidget* again) {
            dialogs.push_back(again->objectName().toStdString());
            QTest::mouseClick(again->findChild<QPushButton*>("CancelBtn"), Qt::LeftButton);
        });
        QTest::keyClicks(dialog->findChild<QLineEdit*>("PasswordEdit"), "main");
        QTest::mouseClick(dialog->findChild<QPushButton*>("OKBtn"), Qt::LeftButton);
    });
    QTest::mouseClick(Find<QPushButton>(&options, "ChooseMainPassButton"), Qt::LeftButton);
    EXPECT_EQ(dialogs, (std::vector<std::string>{"MainPassForm", "MainPassForm"}));
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text.toStdString(), "You entered wrong password!");
    EXPECT_EQ(HiddenItemsStore().Password, "fresh");
    options.hide();
}

TEST_F(WindowBehaviour, ProgressWindowBetweenRunsShowsZerosAndCancelRestoresTheCaption) {
    CreateWindows();
    TProgressForm& progress = Windows().ProgressForm();
    progress.show();
    EXPECT_TRUE(progress.TimerActive());
    EXPECT_EQ(Find<QLabel>(&progress, "ElapsedTimeLabel")->text().toStdString(), "00:00:00");
    EXPECT_EQ(Find<QLabel>(&progress, "EstimatedTimeLabel")->text().toStdString(), "00:00:00");
    EXPECT_EQ(Find<QLabel>(&progress, "FilesPercentLabel")->text().toStdString(), "0 of 0");
    EXPECT_EQ(progress.windowTitle().toStdString(), "0% completed...");
    EXPECT_EQ(Main().windowTitle().toStdString(), "Brevikon - 0% completed...");
    // Escape presses Cancel.
    QTest::keyClick(&progress, Qt::Key_Escape);
    EXPECT_FALSE(progress.isVisible());
    EXPECT_FALSE(progress.TimerActive());
    EXPECT_EQ(Main().windowTitle().toStdString(), "Brevikon");
}

TEST_F(WindowBehaviour, PasswordFromFileKeepsItsLineBreakAndTheMaskFlipsPerClick) {
    CreateWindows();
    ClickOperation(0);
    ASSERT_TRUE(WaitForPage(2));
    Main().ShowPage(1);
    auto* edit = Find<QLineEdit>("EncryptPasswordEdit");
    const std::string file = dir_->file("key.txt");
    WriteText(file, "one line");
    SetOpenFileHook([&](const QString& title, const QString& filter) {
        EXPECT_EQ(title.toStdString(), "Choose file which content will be used as password");
        EXPECT_EQ(filter.toStdString(), "Text files (*.TXT);;All files (*.*)");
        return QString::fromStdString(file);
    });
    QTest::mouseClick(Find<QAbstractButton>("EncryptLoadPassdButton"), Qt::LeftButton);
    EXPECT_EQ(Main().EncryptPassword(), "one line\r\n");

    // A file that cannot be read: its open error, and the box keeps its text.
    SetOpenFileHook([&](const QString&, const QString&) { return QString::fromStdString(dir_->file("gone.txt")); });
    QTest::mouseClick(Find<QAbstractButton>("EncryptLoadPassdButton"), Qt::LeftButton);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].kind, TBoxKind::bkError);
    EXPECT_NE(boxes_[0].text.toStdString().find("gone.txt"), std::string::npos);
    EXPECT_EQ(Main().EncryptPassword(), "one line\r\n");

    // Cancelled dialog: nothing changes.
    SetOpenFileHook([](const QString&, const QString&) { return QString(); });
    QTest::mouseClick(Find<QAbstractButton>("EncryptLoadPassdButton"), Qt::LeftButton);
    EXPECT_EQ(Main().EncryptPassword(), "one line\r\n");

    auto* mask = Find<QCheckBox>("EncryptMaskPasswordCheckBox");
    EXPECT_EQ(edit->echoMode(), QLineEdit::Password);
    EXPECT_EQ(edit->displayText().toStdString(), std::string(edit->text().size(), '*'));
    QTest::mouseClick(mask, Qt::LeftButton);
    EXPECT_EQ(edit->echoMode(), QLineEdit::Normal);
    QTest::mouseClick(mask, Qt::LeftButton);
    EXPECT_EQ(edit->echoMode(), QLineEdit::Password);
}

TEST_F(WindowBehaviour, OperationListHoverSelectsAndHelpOpensThePage) {
    CreateWindows();
    auto* list = Find<TOperationsListBox>("OperationsListBox");
    ASSERT_EQ(list->Count(), 5);
    QTest::mouseMove(list, list->ItemRect(3).center());
    EXPECT_EQ(list->ItemIndex(), 3);
    // The rows show the shipped pictures, decoded by Qt: row 0 plain, row 3 as selected.
    const QImage shot = list->grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (const auto& [row, picture] : {std::pair{0, &GetOperationImage(0)}, std::pair{3, &GetSelectedOperationImage(3)}}) {
        const QImage image = DecodePicture(picture->jpeg).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(image.size(), QSize(picture->width, picture->height)) << row;
        const QRect r = list->ItemRect(row);
        const int top = (2 * r.top() + r.height()) / 2 - image.height() / 2;
        EXPECT_EQ(shot.copy(r.left() + 15, top, image.width(), image.height()), image) << row;
    }
    EXPECT_TRUE(DecodePicture("not a picture").isNull());
    Screenshot(&Main(), "00-start-page-hover");
    QTest::mouseMove(list, QPoint(10, list->height() - 2));  // below the last row
    EXPECT_EQ(list->ItemIndex(), -1);

    // The status bar: a control's own hint, else the step title the window carries.
    ClickOperation(0);
    ASSERT_TRUE(WaitForPage(2));
    auto* back = Find<QAbstractButton>("BackButton");
    QCursor::setPos(back->mapToGlobal(back->rect().center()));
    Main().UpdateHintFromPointer();
    EXPECT_EQ(Main().StatusText().toStdString(), "Show previous step");
    auto* desc = Find<QLabel>("ChooseFilesDescLabel");
    QCursor::setPos(desc->mapToGlobal(desc->rect().center()));
    Main().UpdateHintFromPointer();
    EXPECT_EQ(Main().StatusText().toStdString(), "Encrypting files - Step 1 of 2");
    Click("ExitButton");  // Cancel: back to the start page
    EXPECT_EQ(Main().CurrentPage(), 0);

    QTest::mouseClick(Find<QAbstractButton>("HelpButton"), Qt::LeftButton);
    QTest::keyClick(&Main(), Qt::Key_F1);
    ASSERT_EQ(helpOpened_.size(), 2u);
    EXPECT_EQ(helpOpened_[0], GetAppFolder() + "Help/index.html");
    EXPECT_TRUE(boxes_.empty());
    // Nothing opens the page: a message says where it is.
    helpOpens_ = false;
    QTest::keyClick(&Main(), Qt::Key_F1);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text.toStdString(), Format(GetConstantValue("Help_not_opened"), {helpOpened_[0]}));
}

TEST_F(WindowBehaviour, RealMessageBoxesCarryTheirIconsAndTitles) {
    CreateWindows();
    SetMessageBoxHook({});
    SetCurrentApplicationTitle("Tellvane");
    struct Seen {
        QMessageBox::Icon icon;
        std::string title, text;
    };
    std::vector<Seen> seen;
    auto answer = [&](const std::string& shot) {
        return std::make_unique<TModalAnswer>([&, shot](QWidget* dialog) {
            auto* box = qobject_cast<QMessageBox*>(dialog);
            ASSERT_NE(box, nullptr);
            seen.push_back({box->icon(), box->windowTitle().toStdString(), box->text().toStdString()});
            Screenshot(box, shot);
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        });
    };
    auto a = answer("box-information");
    Main().InfoBox("Please select some files");
    auto b = answer("box-error");
    Main().ErrorBox("You entered wrong password!");
    auto c = answer("box-plain");
    Main().PlainMessage("Enter password before perfom this operation please.");
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].icon, QMessageBox::Information);
    EXPECT_EQ(seen[0].title, "");
    EXPECT_EQ(seen[1].icon, QMessageBox::Critical);
    EXPECT_EQ(seen[1].title, "");
    EXPECT_EQ(seen[1].text, "You entered wrong password!");
    EXPECT_EQ(seen[2].icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen[2].title, "Tellvane");
}

TEST_F(WindowBehaviour, TreeTogglesOnlyOnPicturesAndLabel) {
    std::filesystem::create_directory(dir_->file("inner"));
    WriteText(dir_->file("inner/a.txt"), "a");
    WriteText(dir_->file("b.txt"), "b");
    WriteText(dir_->file("a10"), "");
    WriteText(dir_->file("a9"), "");
    // The test folder plays the home folder: the first root, above the volumes.
    const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("HOME", dir_->path().c_str(), 1);
    CreateWindows();
    ClickOperation(0);
    ASSERT_TRUE(WaitForPage(2));
    setenv("HOME", savedHome.c_str(), 1);
    TDriveTreeModel& tree = Main().TreeModel();
    ASSERT_GT(tree.DrivesInTree().size(), 1u);
    EXPECT_EQ(tree.DrivesInTree()[0]->Text, dir_->path().string());
    ASSERT_TRUE(ClickTreePath(dir_->file("b.txt")));  // opens the way down and checks b.txt
    ASSERT_EQ(tree.SomeFilesSelected(), 1);
    std::vector<std::string> shown;
    for (const auto& child : tree.DrivesInTree()[0]->Children) shown.push_back(child->Text);
    EXPECT_EQ(shown, (std::vector<std::string>{"inner", "a9", "a10", "b.txt"}));
    Screenshot(&Main(), "02-tree-home-first");

    auto* view = Find<TFilesTreeView>("FilesTreeView");
    // Space ticks and unticks the entry the keyboard stands on.
    TTreeNode* a9 = tree.DrivesInTree()[0]->Children[1].get();
    view->setFocus();
    view->setCurrentIndex(view->ItemModel()->IndexOf(a9));
    QTest::keyClick(view, Qt::Key_Space);
    EXPECT_EQ(a9->StateIndex, nsChecked);
    EXPECT_EQ(tree.SomeFilesSelected(), 2);
    QTest::keyClick(view, Qt::Key_Space);
    EXPECT_EQ(a9->StateIndex, nsUnchecked);
    ASSERT_EQ(tree.SomeFilesSelected(), 1);
    TTreeNode* folder = nullptr;
    std::function<void(TTreeNode*)> findInner = [&](TTreeNode* node) {
        for (auto& child : node->Children) {
            if (child->Text == "inner" && TDriveTree::GetFullPathByTree(child.get()) == dir_->file("inner"))
                folder = child.get();
            findInner(child.get());
        }
    };
    for (auto& drive : tree.Tree().DrivesInTree) findInner(drive.get());
    ASSERT_NE(folder, nullptr);
    const QModelIndex index = view->ItemModel()->IndexOf(folder);
    view->scrollTo(index);
    const QRect row = view->visualRect(index);

    // Right of the label and on the expand button: no mark changes; the button opens the folder.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(view->viewport()->width() - 4, row.center().y()));
    EXPECT_EQ(folder->StateIndex, nsUnchecked);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(row.left() - 10, row.center().y()));
    EXPECT_EQ(folder->StateIndex, nsUnchecked);
    EXPECT_TRUE(WaitFor([&] { return view->isExpanded(index) && !folder->HasOnlyDummyChild(); }));
    EXPECT_EQ(tree.SomeFilesSelected(), 1);

    // The state picture checks the folder and what is loaded below it; the label unchecks it.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(row.left() + 8, row.center().y()));
    EXPECT_EQ(folder->StateIndex, nsChecked);
    ASSERT_EQ(folder->Children.size(), 1u);
    EXPECT_EQ(folder->Children[0]->StateIndex, nsChecked);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(row.left() + 45, row.center().y()));
    EXPECT_EQ(folder->StateIndex, nsUnchecked);
    EXPECT_EQ(folder->Children[0]->StateIndex, nsUnchecked);
    EXPECT_EQ(tree.SomeFilesSelected(), 1);
    EXPECT_FALSE(view->currentIndex().isValid());  // no node stays selected
}

// A language file of its own, on the real main window: a list for ID 17 sets the operations' rows,
// one of two IDs of a link is enough, a combo box's list reaches as far as it goes and its text
// selects a row, and an ID with many leading zeros is the number it spells.
TEST_F(WindowBehaviour, LanguageFileTranslatesTheRealMainWindowById) {
    const std::string file = dir_->file("Test.lng");
    WriteText(file,
              "LANGID=1036\n[MainForm]\n"
              "00000017=premier\\nsecond\n"
              "00000028=Lien un\n"
              "00000040=Lien deux\n"
              "00000022=CAST-128\n"
              "00000023=Un\\nDeux\n"
              "00000035=Deux\n"
              "00000036=Un\\nDeux\\nTrois\n"
              "000000000002=Fini\n");
    ASSERT_TRUE(LangManager().RegisterLangFile(file));
    LangManager().SetLanguageID(1036);
    CreateWindows();
    auto* list = Find<TOperationsListBox>("OperationsListBox");
    auto* algorithms = Find<QComboBox>("EncryptAlgorithmComboBox");
    auto* methods = Find<QComboBox>("ShredAlgorithmComboBox");
    const int rows = list->Count();
    const QStringList items = list->Items();
    const std::string link1 = Find<QLabel>("ChangeMainPassLabel1")->text().toStdString();
    const std::string link2 = Find<QLabel>("ChangeMainPassLabel2")->text().toStdString();
    const std::string finish = Find<QAbstractButton>("FinishButton")->text().toStdString();
    const int chosen[] = {algorithms->currentIndex(), methods->currentIndex()};
    const QString descriptions[] = {Find<QLabel>("AlgorithmChooseLabel")->text(),
                                    Find<QLabel>("ShredAlgorithmDecsLabel")->text()};
    const QStringList names = {algorithms->itemText(0), algorithms->itemText(1), algorithms->itemText(2),
                               methods->itemText(2), methods->itemText(3)};
    LangManager().SetLanguageID(1033);

    EXPECT_EQ(rows, 2);
    EXPECT_EQ(items, (QStringList{"premier", "second"}));
    EXPECT_EQ(link1, "Lien un");
    EXPECT_EQ(link2, "Lien deux");
    EXPECT_EQ(finish, "Fini");
    // "Text" picks its row, before or after the list renamed it; the list renames the first rows.
    EXPECT_EQ(chosen[0], 1);
    EXPECT_EQ(chosen[1], 1);
    // Picking the row is no change by the user: the descriptions keep their design texts.
    EXPECT_TRUE(descriptions[0].startsWith("Blowfish has a 64-bit block size")) << descriptions[0].toStdString();
    EXPECT_TRUE(descriptions[1].startsWith("Quick Wiping")) << descriptions[1].toStdString();
    EXPECT_EQ(names, (QStringList{"Un", "Deux", "CAST-256", "Trois", "NAVSO P-5239-26"}));
    // Back in the default language the window has its design texts again.
    EXPECT_EQ(list->Count(), 5);
    EXPECT_EQ(Find<QLabel>("ChangeMainPassLabel1")->text().toStdString(), "Change main password...");
}

TEST_F(WindowBehaviour, LanguageFileRenamesComboRowsAsFarAsItReaches) {
    const std::string file = dir_->file("Test2.lng");
    WriteText(file, "LANGID=1040\n[MainForm]\n23=Uno\\nDue\n36=A\\nB\\nC\\nD\\nE\\nF\\nG\\nH\\nI\\nJ\\nK\\nL\n");
    ASSERT_TRUE(LangManager().RegisterLangFile(file));
    LangManager().SetLanguageID(1040);
    CreateWindows();
    auto* algorithms = Find<QComboBox>("EncryptAlgorithmComboBox");
    auto* methods = Find<QComboBox>("ShredAlgorithmComboBox");
    const QStringList seen = {algorithms->itemText(0), algorithms->itemText(1), algorithms->itemText(2),
                              methods->itemText(10)};
    const int counts[] = {algorithms->count(), methods->count()};
    LangManager().SetLanguageID(1033);
    EXPECT_EQ(seen, (QStringList{"Uno", "Due", "CAST-256", "K"}));
    EXPECT_EQ(counts[0], 20);
    EXPECT_EQ(counts[1], 11);  // the twelfth item has no row
}

// Each window's table names controls the window has: a renamed control would silently keep its
// English text in every language.
TEST_F(WindowBehaviour, EveryTranslationIdFindsItsControl) {
    CreateWindows();
    std::set<std::string> sections;
    for (const auto& window : Windows().TranslatedWindows()) {
        const std::string section = window.form->objectName().toStdString();
        EXPECT_TRUE(sections.insert(section).second) << "two windows read the section " << section;
        std::set<int32_t> ids;
        for (const auto& e : window.entries) {
            EXPECT_TRUE(ids.insert(e.iID).second) << section << " repeats ID " << e.iID;
            // The main window holds the password file dialog's texts itself: the dialog is made when used.
            if (window.form == &Main() && e.ComponentName == "PasswordOpenDialog") continue;
            const bool found = e.ComponentName == section ||
                               window.form->findChild<QWidget*>(QString::fromStdString(e.ComponentName)) != nullptr;
            EXPECT_TRUE(found) << section << " ID " << e.iID << " names no control " << e.ComponentName;
        }
    }
    EXPECT_EQ(sections.size(), 9u);
}

// A German session: every window and the message boxes' buttons speak German, and German.lng
// names every constant and every translatable property of every window.
TEST_F(WindowBehaviour, GermanTranslatesEveryWindow) {
    const auto german = LangManager().RegisteredFile(1031);
    ASSERT_TRUE(german.has_value());
    const TQuenLang_CompTranslations lng = ParseLanguageFile(ReadWholeFile(*german), 1252);
    for (const auto& c : BuiltinConstants()) {
        const bool found = std::any_of(lng.Constants.begin(), lng.Constants.end(),
                                       [&](const auto& t) { return CompareConstantNames(t.first, c.name) == 0; });
        EXPECT_TRUE(found) << "German.lng lacks the constant " << c.name;
    }

    // As at start-up: the language first, then the operations take their titles from it.
    LangManager().SetLanguageID(1031);
    FreeOperations();
    CreateOperations();
    CreateWindows();
    for (const auto& window : Windows().TranslatedWindows()) {
        const std::string section = window.form->objectName().toStdString();
        const TQuenLang_CompTranslation* texts = lng.FindComponent(section);
        ASSERT_NE(texts, nullptr) << "German.lng lacks the section " << section;
        for (const auto& e : window.entries) EXPECT_EQ(texts->Values.count(e.iID), 1u) << section << " ID " << e.iID;
    }
    auto text = [](QWidget* root, const char* name) {
        QWidget* w = root->findChild<QWidget*>(QString::fromLatin1(name));
        if (auto* label = qobject_cast<QLabel*>(w)) return label->text().toStdString();
        if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text().toStdString();
        if (auto* group = qobject_cast<QGroupBox*>(w)) return group->title().toStdString();
        return std::string("<no ") + name + ">";
    };
    std::vector<std::pair<std::string, std::string>> seen = {
        {Windows().ChangeMainPassForm().windowTitle().toStdString(), "Neues Hauptpasswort festlegen"},
        {text(&Windows().ChangeMainPassForm(), "CancelBtn"), "Abbrechen"},
        {Windows().MainPassForm().windowTitle().toStdString(), "Hauptpasswort eingeben"},
        {text(&Windows().OperationPassForm(), "Label1"),
         "Geben Sie das richtige Passwort ein, um den Vorgang abzuschlie\xC3\x9F" "en"},
        {Windows().OptionsForm().windowTitle().toStdString(), "Einstellungen"},
        {Windows().OptionsForm().findChild<QTabWidget*>("Pages")->tabText(1).toStdString(), "Info"},
        {text(&Windows().OptionsForm(), "CascadedCheckBox"), "Verschachtelte Kontextmen\xC3\xBC" "s verwenden"},
        {text(&Windows().ProgressForm(), "GroupBox2"), "Alle Dateien"},
        {text(&Windows().ProgressForm(), "Cancel"), "Abbrechen"},
    };
    QMessageBox box(QMessageBox::Question, QStringLiteral("Brevikon"),
                    QString::fromStdString(GetConstantValue("Enter_password_first")), QMessageBox::Yes | QMessageBox::No);
    ApplyButtonTexts(box);
    const std::string yes = box.button(QMessageBox::Yes)->text().toStdString();
    // The show page's hint is the longest German text in a fixed box: all its lines must fit.
    auto* showHint = Main().findChild<QLabel*>(QStringLiteral("Label3"));
    ASSERT_NE(showHint, nullptr);
    EXPECT_LE(showHint->heightForWidth(showHint->width()), showHint->height());
    // The delete-source box names the wiping method in German too, as the shred page names it.
    TOptions options;
    WriteSourceWipeChoice(options, {true, 0});
    Main().ShowPage(wpEncryptSettings);
    Find<QCheckBox>("EncryptDeleteAfterCheckBox")->setChecked(true);
    Screenshot(&Main(), "german-encrypt-settings-wipe");
    seen.push_back({text(&Main(), "EncryptDeleteAfterCheckBox"),
                    "Quelldateien nach dem Verschl\xC3\xBCsseln vernichten\nmit Schnell: mit Nullen \xC3\xBC" "berschreiben"});
    // The German pictures of every window (only when pictures are asked for).
    if (std::getenv("TELLVANE_SCREENSHOT_DIR")) {
        Screenshot(&Main(), "german-start-page");
        for (int page : {1, 2, 3, 4, 5}) {
            Main().ShowPage(page);
            Screenshot(&Main(), "german-page-" + std::to_string(page));
        }
        const std::pair<QWidget*, const char*> shots[] = {
            {&Windows().ChangeMainPassForm(), "german-dialog-new-main-password"},
            {&Windows().MainPassForm(), "german-dialog-main-password"},
            {&Windows().OperationPassForm(), "german-dialog-operation-password"},
            {&Windows().ProgressForm(), "german-progress-window"},
            {&box, "german-box-question"},
        };
        for (const auto& [window, name] : shots) {
            window->show();
            QTest::qWait(50);
            Screenshot(window, name);
            window->hide();
        }
        const char* tabs[] = {"german-options-general", "german-options-about", "german-options-language",
                              "german-options-sources"};
        for (int tab : {0, 1, 2, 3}) {
            Windows().OptionsForm().ShowPage(static_cast<TOptionsForm::TPage>(tab));
            QTest::qWait(50);
            Screenshot(&Windows().OptionsForm(), tabs[tab]);
        }
        Windows().OptionsForm().hide();
        Main().ShowPage(0);
        ClickOperation(0);
        if (WaitForPage(2)) Screenshot(&Main(), "german-choose-files-tree");
    }
    WriteSourceWipeChoice(options, {});
    const std::string firstTitle = GetOperation(0).Title;
    LangManager().SetLanguageID(1033);
    FreeOperations();
    CreateOperations();
    EXPECT_EQ(firstTitle, "Verschl\xC3\xBCsseln");
    for (const auto& [got, expected] : seen) EXPECT_EQ(got, expected);
    EXPECT_EQ(yes, "&Ja");
    EXPECT_EQ(Windows().OptionsForm().windowTitle().toStdString(), "Options");  // English again
}

// The run's summary lists each entry as "PATH: reason" in a read-only text that can still be
// selected and copied; it and the pass phrase's confirmation speak both languages.
TEST_F(WindowBehaviour, RunSummaryAndConfirmationInEnglishAndGerman) {
    const std::vector<TNotCompletedFile> entries = {
        {"/home/ann/pipe", "/home/ann/pipe is not a regular file; it was skipped"},
        {"/home/ann/link", "/home/ann/link is a symbolic link; it was skipped"},
        {"/home/ann/b.txt.enc", "Stream read error in /home/ann/b.txt.enc"},
    };
    for (uint16_t language : {1033, 1031}) {
        LangManager().SetLanguageID(language);
        CreateWindows();
        summaries_.clear();
        Windows().NotDoneForm().Show(entries);
        EXPECT_EQ(summaries_, std::vector<std::string>{
                                  "/home/ann/pipe: /home/ann/pipe is not a regular file; it was skipped\n"
                                  "/home/ann/link: /home/ann/link is a symbolic link; it was skipped\n"
                                  "/home/ann/b.txt.enc: Stream read error in /home/ann/b.txt.enc"});
        auto* list = Windows().NotDoneForm().findChild<QPlainTextEdit*>("EntriesEdit");
        ASSERT_NE(list, nullptr);
        EXPECT_TRUE(list->isReadOnly());
        EXPECT_TRUE(list->textInteractionFlags() & Qt::TextSelectableByMouse);
        const bool german = language == 1031;
        EXPECT_EQ(Windows().NotDoneForm().windowTitle().toStdString(),
                  german ? "Nicht bearbeitete Eintr\xC3\xA4ge" : "Entries not done");
        EXPECT_EQ(Windows().ConfirmPassForm().windowTitle().toStdString(),
                  german ? "Passwort best\xC3\xA4tigen" : "Confirm password");
        const std::string prefix = german ? "german-" : "";
        for (QWidget* dialog : std::initializer_list<QWidget*>{&Windows().NotDoneForm(), &Windows().ConfirmPassForm()}) {
            dialog->show();
            QTest::qWait(50);
            Screenshot(dialog, prefix + (dialog == &Windows().NotDoneForm() ? "dialog-run-summary" : "dialog-confirm-password"));
            dialog->hide();
        }
    }
    LangManager().SetLanguageID(1033);
}

TEST_F(WindowBehaviour, ChosenLanguageTranslatesTheMainWindowByControlName) {
    LangManager().SetLanguageID(1031);
    CreateWindows();
    const std::string back = Find<QAbstractButton>("BackButton")->text().toStdString();
    const std::string finish = Find<QAbstractButton>("FinishButton")->text().toStdString();
    const std::string helpHint = Find<QAbstractButton>("HelpButton")->statusTip().toStdString();
    LangManager().SetLanguageID(1033);
    EXPECT_EQ(back, "Zur\xC3\xBC" "ck");
    EXPECT_EQ(finish, "Fertig");
    EXPECT_EQ(helpHint, "Hilfe anzeigen");
}

}  // namespace
}  // namespace tellvane::test
