// Whole runs through the real windows, driven by the controls' names: each starts on the start
// page (or the command line), goes through the tree and the settings, and ends on the completion
// page with the files really changed.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <fcntl.h>
#include <unistd.h>

#include "UiFixture.h"
#include "base/Options.h"
#include "crypto/CryptoAlgorithms.h"
#include "engine/FilesIterationThread.h"
#include "engine/RunRegistry.h"
#include "hide/DotHiddenFile.h"
#include "hide/HiddenConfig.h"
#include "platform/AppFolders.h"
#include "platform/CommandLine.h"
#include "platform/FileDescriptor.h"
#include "platform/FileSystem.h"
#include "shred/ShredAlgorithms.h"
#include "ui/ProgressForm.h"
#include "wizard/SourceWipeChoice.h"

namespace tellvane::test {
namespace {

std::string LabelText(QWidget* root, const char* name) {
    auto* label = root->findChild<QLabel*>(QString::fromLatin1(name));
    return label ? label->text().toStdString() : std::string("<no ") + name + ">";
}

class RunFlows : public UiTest {};

TEST_F(RunFlows, EncryptFromStartPageThroughTreeToCompletion) {
    const std::string file = dir_->file("letter.txt");
    const auto content = PatternBytes(50000);
    WriteAll(file, content);
    CreateWindows();
    Screenshot(&Main(), "00-start-page");

    ClickOperation(0);
    ASSERT_TRUE(WaitForPage(2));
    EXPECT_TRUE(Find<QAbstractButton>("BackButton")->isVisible());
    EXPECT_EQ(Find<QAbstractButton>("ExitButton")->text().toStdString(), "&Cancel");

    // Next with nothing checked is refused.
    Click("NextButton");
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].kind, TBoxKind::bkInformation);
    EXPECT_EQ(boxes_[0].text.toStdString(), "Please select some files");
    EXPECT_EQ(Main().CurrentPage(), 2);

    ASSERT_TRUE(ClickTreePath(file));
    EXPECT_GE(Main().TreeModel().SomeFilesSelected(), 1);
    Screenshot(&Main(), "02-encrypt-choose-files");
    Click("NextButton");
    ASSERT_TRUE(WaitForPage(1));
    EXPECT_EQ(Find<QAbstractButton>("NextButton")->text().toStdString(), "Encrypt");
    EXPECT_TRUE(Find<QCheckBox>("EncryptDeleteAfterCheckBox")->isChecked());

    // An empty password is refused before anything runs.
    Click("NextButton");
    ASSERT_EQ(boxes_.size(), 2u);
    EXPECT_EQ(boxes_[1].kind, TBoxKind::bkPlain);
    EXPECT_EQ(boxes_[1].text.toStdString(), "Enter password before perfom this operation please.");

    auto* algorithms = Find<QComboBox>("EncryptAlgorithmComboBox");
    ASSERT_EQ(algorithms->count(), 20);
    algorithms->setCurrentIndex(3);
    EXPECT_EQ(Find<QLabel>("AlgorithmChooseLabel")->text().toStdString(), AlgorithmList()[3]->GetDesc());
    algorithms->setCurrentIndex(19);
    EXPECT_EQ(algorithms->currentText().toStdString(), "ChaCha20-Poly1305 (Argon2id)");
    EXPECT_NE(Find<QLabel>("AlgorithmChooseLabel")->text().toStdString().find("open only with programs"), std::string::npos);
    Screenshot(&Main(), "01-encrypt-settings-modern");
    algorithms->setCurrentIndex(0);
    Find<QCheckBox>("EncryptDeleteAfterCheckBox")->setChecked(false);
    TypeInto("EncryptPasswordEdit", "s3cret");
    Screenshot(&Main(), "01-encrypt-settings");
    Click("NextButton");

    ASSERT_TRUE(WaitForPage(7));
    EXPECT_EQ(LabelText(&Main(), "FinishInfoLabel"), "Encryption completed");
    EXPECT_EQ(LabelText(&Main(), "FilesLabel"), "1 file was encrypted");
    EXPECT_FALSE(Find<QAbstractButton>("ExitButton")->isVisible());
    EXPECT_TRUE(Find<QAbstractButton>("FinishButton")->isVisible());
    EXPECT_TRUE(WaitFor([&] { return !Windows().ProgressForm().isVisible(); }));
    EXPECT_EQ(Main().windowTitle().toStdString(), "Brevikon");
    Screenshot(&Main(), "07-completion");
    ASSERT_TRUE(FileExists(file + ".enc"));
    EXPECT_TRUE(FileExists(file));  // the delete-source box was cleared

    Click("FinishButton");
    EXPECT_EQ(Main().CurrentPage(), 0);
    EXPECT_TRUE(Find<QAbstractButton>("ExitButton")->isVisible());
    EXPECT_FALSE(Find<QAbstractButton>("FinishButton")->isVisible());
    EXPECT_EQ(boxes_.size(), 2u);
}

// The window's key-file rule and the console's -k are one rule: what the window encrypted with a
// key file, the console opens with the same file.
TEST_F(RunFlows, FileEncryptedWithAKeyFileOpensOnTheConsoleWithTheSameFile) {
    const std::string file = dir_->file("keyed.txt");
    const auto content = PatternBytes(3000, 5);
    WriteAll(file, content);
    const std::string key = dir_->file("key.txt");
    WriteText(key, "first line\r\nzweite Zeile \xC3\xA4\n");
    CreateWindows();
    ASSERT_TRUE(ChooseFileAndGoOn(0, file, 1));
    SetOpenFileHook([&](const QString&, const QString&) { return QString::fromStdString(key); });
    QTest::mouseClick(Find<QAbstractButton>("EncryptLoadPassdButton"), Qt::LeftButton);
    Click("NextButton");
    ASSERT_TRUE(WaitForPage(7));
    ASSERT_FALSE(FileExists(file));

    QProcess cli;
    cli.start(QStringLiteral(TELLVANE_CLI), {"decrypt", "-k", QString::fromStdString(key),
                                              QString::fromStdString(file + ".enc")});
    ASSERT_TRUE(cli.waitForFinished(30000));
    EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    ASSERT_TRUE(FileExists(file));
    EXPECT_EQ(ReadAll(file), content);
}

TEST_F(RunFlows, DecryptWithWrongPasswordAnsweredThroughThePerFilePrompt) {
    const std::string file = dir_->file("plan.txt");
    const auto content = PatternBytes(20000, 7);
    WriteAll(file, content);
    TCryptoAlgorithm& blowfish = *AlgorithmList()[0];
    ASSERT_TRUE(blowfish.Encrypt(file, "right", [] { return false; }, [](int64_t, int64_t, int64_t, double) {},
                                 [](const std::string&, TSecretString&) { return false; }));
    ASSERT_TRUE(DeleteFile(file));
    WriteText(dir_->file("notes.txt"), "not encrypted");
    CreateWindows();

    ClickOperation(1);
    ASSERT_TRUE(WaitForPage(2));
    // The .enc filter: only the encrypted file is listed in its folder.
    ASSERT_FALSE(ClickTreePath(dir_->file("notes.txt")));
    ASSERT_TRUE(ClickTreePath(file + ".enc"));
    Screenshot(&Main(), "02-decrypt-choose-files");
    Click("NextButton");
    ASSERT_TRUE(WaitForPage(3));
    TypeInto("DecryptPasswordEdit", "wrong");
    Screenshot(&Main(), "03-decrypt-settings");

    std::string promptLabel;
    auto answer = std::make_unique<TModalAnswer>([&](QWidget* dialog) {
        EXPECT_EQ(dialog->objectName().toStdString(), "OperationPassForm");
        promptLabel = LabelText(dialog, "EnterPassLabel");
        QTest::keyClicks(dialog->findChild<QLineEdit*>("PasswordEdit"), "right");
        Screenshot(dialog, "dialog-operation-password");
        QTest::mouseClick(dialog->findChild<QPushButton*>("OKBtn"), Qt::LeftButton);
    });
    Click("NextButton");
    ASSERT_TRUE(WaitForPage(7));
    EXPECT_TRUE(answer->Done());
    EXPECT_EQ(promptLabel, "Enter vaild password for plan.txt.enc");
    EXPECT_EQ(LabelText(&Main(), "FinishInfoLabel"), "Decryption completed");
    ASSERT_TRUE(FileExists(file));
    EXPECT_EQ(ReadAll(file), content);
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(RunFlows, ShredRemovesTheCheckedFile) {
    const std::string file = dir_->file("old.bin");
    WriteAll(file, PatternBytes(200000));
    CreateWindows();
    ASSERT_TRUE(ChooseFileAndGoOn(2, file, 4));
    EXPECT_EQ(Find<QAbstractButton>("NextButton")->text().toStdString(), "Shred");
    auto* methods = Find<QComboBox>("ShredAlgorithmComboBox");
    ASSERT_EQ(methods->count(), 11);
    methods->setCurrentIndex(1);
    EXPECT_EQ(Find<QLabel>("ShredAlgorithmDecsLabel")->text().toStdString(), ShredAlgorithmList()[1]->GetDesc());
    Screenshot(&Main(), "04-shred-settings");
    Click("NextButton");
    ASSERT_TRUE(WaitForPage(7));
    EXPECT_EQ(LabelText(&Main(), "FinishInfoLabel"), "Shredding completed");
    EXPECT_FALSE(PathExists(file));
}

TEST_F(RunFlows, HideAndShowBehindTheMainPassword) {
    const std::string file = dir_->file("diary.txt");
    WriteText(file, "dear diary");
    // A second entry keeps the folder partly checked: a folder whose every entry is checked counts
    // as checked itself, and the hide run would take the folder whole.
    WriteText(dir_->file("shopping.txt"), "milk");
    CreateWindows();
    const int itemsBefore = HiddenItemsStore().Count();

    // A wrong main password: one error box, then the prompt again, cancelled: no path.
    {
        int shown = 0;
        std::unique_ptr<TModalAnswer> cancel;
        auto wrong = std::make_unique<TModalAnswer>([&](QWidget* dialog) {
            ++shown;
            Screenshot(dialog, "dialog-main-password");
            cancel = std::make_unique<TModalAnswer>([&](QWidget* again) {
                ++shown;
                QTest::mouseClick(again->findChild<QPushButton*>("CancelBtn"), Qt::LeftButton);
            });
            QTest::keyClicks(dialog->findChild<QLineEdit*>("PasswordEdit"), "nope");
            QTest::mouseClick(dialog->findChild<QPushButton*>("OKBtn"), Qt::LeftButton);
        });
        ClickOperation(3);
        EXPECT_TRUE(WaitFor([&] { return shown == 2; }));
        EXPECT_EQ(Main().CurrentPage(), 0);
        ASSERT_EQ(boxes_.size(), 1u);
        EXPECT_EQ(boxes_[0].kind, TBoxKind::bkError);
        EXPECT_EQ(boxes_[0].text.toStdString(), "You entered wrong password!");
        boxes_.clear();
    }

    auto answer = AnswerPassword("main");
    ClickOperation(3);
    ASSERT_TRUE(WaitForPage(2));
    EXPECT_TRUE(answer->Done());
    EXPECT_TRUE(Find<QLabel>("ChangeMainPassLabel1")->isVisible());
    EXPECT_EQ(Find<QAbstractButton>("NextButton")->text().toStdString(), "Hide");
    ASSERT_TRUE(ClickTreePath(file));
    Screenshot(&Main(), "02-hide-choose-files");
    Click("NextButton");
    ASSERT_TRUE(WaitForPage(7));
    EXPECT_EQ(LabelText(&Main(), "FinishInfoLabel"), "Hide operation completed");
    ASSERT_EQ(HiddenItemsStore().Count(), itemsBefore + 1);
    EXPECT_EQ(HiddenItemsStore().GetItem(itemsBefore).FilePath, file);
    EXPECT_NE(ReadText(dir_->file(".hidden")).find("diary.txt"), std::string::npos);
    Click("FinishButton");

    answer = AnswerPassword("main");
    ClickOperation(4);
    ASSERT_TRUE(WaitForPage(5));
    auto* list = Find<QListWidget>("HiddenFilesListBox");
    ASSERT_EQ(list->count(), itemsBefore + 1);
    QListWidgetItem* item = list->item(itemsBefore);
    EXPECT_EQ(item->text().toStdString(), file);
    EXPECT_EQ(item->checkState(), Qt::Unchecked);
    item->setCheckState(Qt::Checked);
    Screenshot(&Main(), "05-show-hidden-list");
    Click("NextButton");
    ASSERT_TRUE(WaitForPage(7));
    EXPECT_EQ(LabelText(&Main(), "FinishInfoLabel"), "Show operation completed");
    EXPECT_EQ(LabelText(&Main(), "FilesLabel"), "1 file was shown");
    EXPECT_EQ(HiddenItemsStore().Count(), itemsBefore);
    // The entry is gone from the folder's ".hidden" (the file itself goes with its last entry).
    const std::string hidden = dir_->file(".hidden");
    EXPECT_EQ((PathExists(hidden) ? ReadText(hidden) : std::string()).find("diary.txt"), std::string::npos);
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(RunFlows, CancelInTheProgressWindowStopsTheRun) {
    const std::string file = dir_->file("big.bin");
    WriteAll(file, PatternBytes(24 << 20));
    CreateWindows();
    ASSERT_TRUE(ChooseFileAndGoOn(2, file, 4));
    // The longest method: 35 passes, each flushed to the device.
    Find<QComboBox>("ShredAlgorithmComboBox")->setCurrentIndex(10);
    Click("NextButton");

    TProgressForm& progress = Windows().ProgressForm();
    ASSERT_TRUE(WaitFor([&] { return progress.isVisible(); }));
    EXPECT_TRUE(progress.TimerActive());
    ASSERT_TRUE(WaitFor([&] { return ActiveIterationThread() && ActiveIterationThread()->CurrentFileNumber() == 1; }));
    ASSERT_TRUE(WaitFor([&] { return progress.windowTitle().endsWith("completed..."); }));
    EXPECT_TRUE(Main().windowTitle().startsWith("Brevikon - "));
    EXPECT_TRUE(WaitFor([&] { return Find<QLabel>(&progress, "FilesPercentLabel")->text() == "1 of 1"; }));
    Screenshot(&progress, "progress-window");

    QTest::mouseClick(Find<QPushButton>(&progress, "Cancel"), Qt::LeftButton);
    EXPECT_FALSE(progress.isVisible());
    EXPECT_FALSE(progress.TimerActive());
    EXPECT_EQ(Main().windowTitle().toStdString(), "Brevikon");
    ASSERT_TRUE(WaitFor([] { return RunningWorkerCount() == 0; }, 60000));
    // No completion: the path stays on its settings page, and the file was not deleted.
    EXPECT_EQ(Main().CurrentPage(), 4);
    EXPECT_TRUE(Find<QAbstractButton>("ExitButton")->isVisible());
    EXPECT_TRUE(FileExists(file));
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(RunFlows, EncryptSwitchWithTodoFileRunsToTheEndAndClosesTheProgram) {
    const std::string file = dir_->file("from menu.txt");
    WriteText(file, "selected in the file manager");
    WriteText(GetDataFolder() + "todo", "\xEF\xBB\xBF" + file + "\r\n");
    // Sources wiped with the first method: a descriptor opened before the run reads its zeros.
    TOptions options;
    WriteSourceWipeChoice(options, {true, 0});
    const TFileDescriptor before(::open(file.c_str(), O_RDONLY));
    SetCommandLine(std::vector<std::string>{"tellvane", "/encrypt"});
    CreateWindows();

    ASSERT_TRUE(WaitForPage(1));
    EXPECT_FALSE(Find<QAbstractButton>("BackButton")->isVisible());
    EXPECT_TRUE(Find<QCheckBox>("EncryptDeleteAfterCheckBox")->isChecked());
    auto* edit = Find<QLineEdit>("EncryptPasswordEdit");
    // The window's focus child: the keys go there once the window is active (a display without a
    // window manager may never activate it).
    EXPECT_TRUE(WaitFor([&] { return Main().focusWidget() == edit; }, 2000));
    TypeInto("EncryptPasswordEdit", "pw");
    EXPECT_EQ(edit->displayText().toStdString(), "**");
    Click("NextButton");
    ASSERT_TRUE(WaitFor([&] { return Main().TerminationRequested(); }, 20000));
    EXPECT_TRUE(FileExists(file + ".enc"));
    EXPECT_FALSE(FileExists(file));  // deleted after encryption, as the box said
    char seen[28] = {'x'};
    EXPECT_EQ(::pread(before.get(), seen, sizeof seen, 0), 28);
    EXPECT_EQ(std::string(seen, sizeof seen), std::string(28, '\0'));
    EXPECT_NE(Main().CurrentPage(), 7);
    EXPECT_TRUE(boxes_.empty());
    DeleteFile(GetDataFolder() + "todo");
    WriteSourceWipeChoice(options, {});
}

// A file gone between the choice and the run costs only itself: named once in the summary, the
// run completes and says how many entries were not done.
TEST_F(RunFlows, FileThatVanishedIsNamedInTheSummaryAndTheRunCompletes) {
    const std::string file = dir_->file("vanishing.txt");
    WriteText(file, "here now");
    CreateWindows();
    ASSERT_TRUE(ChooseFileAndGoOn(0, file, 1));
    TypeInto("EncryptPasswordEdit", "pw");
    ASSERT_TRUE(DeleteFile(file));  // gone between the choice and the run
    Click("NextButton");
    ASSERT_TRUE(WaitFor([&] { return !summaries_.empty() && RunningWorkerCount() == 0; }));
    EXPECT_TRUE(boxes_.empty()) << boxes_[0].text.toStdString();
    ASSERT_EQ(summaries_.size(), 1u);
    EXPECT_EQ(summaries_[0].rfind(file + ": ", 0), 0u) << summaries_[0];
    ASSERT_TRUE(WaitForPage(7));
    EXPECT_FALSE(Windows().ProgressForm().isVisible());
}

TEST_F(RunFlows, SwitchWithoutTodoFileReportsItAndKeepsTheSettingsPage) {
    DeleteFile(GetDataFolder() + "todo");
    SetCommandLine(std::vector<std::string>{"tellvane", "/shred"});
    CreateWindows();
    ASSERT_TRUE(WaitFor([&] { return !boxes_.empty(); }));
    EXPECT_EQ(boxes_[0].kind, TBoxKind::bkException);
    EXPECT_EQ(boxes_[0].text.toStdString().rfind("Cannot open file", 0), 0u) << boxes_[0].text.toStdString();
    EXPECT_EQ(Main().CurrentPage(), 4);
    EXPECT_FALSE(Main().TerminationRequested());
}

}  // namespace
}  // namespace tellvane::test
