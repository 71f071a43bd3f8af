#include "UiFixture.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <cstdlib>

#include "app/InitFinal.h"
#include "engine/PendingFiles.h"
#include "engine/RunRegistry.h"
#include "hide/HiddenConfig.h"
#include "platform/CommandLine.h"
#include "ui/ConfirmPassForm.h"
#include "ui/DesktopActions.h"
#include "ui/DriveTreeView.h"
#include "ui/NotDoneForm.h"
#include "ui/OperationsListBox.h"
#include "ui/TellvaneApplication.h"
#include "ui/UiThreadDispatcher.h"
#include "wizard/DriveTreeModel.h"
#include "wizard/PathClasses.h"

namespace tellvane::test {

namespace {

// The process-wide frame: application object and start-up, once.
class UiEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
        home_ = std::make_unique<TempDir>();
        setenv("XDG_CONFIG_HOME", home_->path().c_str(), 1);
        // The windows' texts are checked in English: no locale may choose another language.
        unsetenv("LC_ALL");
        setenv("LC_MESSAGES", "C", 1);
        SetCommandLine(std::vector<std::string>{"test_ui"});
        InitializeApplication();
        CreatePathClasses();
        static int argc = 1;
        static char arg0[] = "test_ui";
        static char* argv[] = {arg0, nullptr};
        app_ = std::make_unique<TTellvaneApplication>(argc, argv);
        QApplication::setQuitOnLastWindowClosed(false);
    }
    void TearDown() override {
        FreePathClasses();
        FinalizeApplication(EventLoopCallServer());
        app_.reset();
        home_.reset();
    }

private:
    std::unique_ptr<TempDir> home_;
    std::unique_ptr<TTellvaneApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const g_environment = ::testing::AddGlobalTestEnvironment(new UiEnvironment);

}  // namespace

bool WaitFor(const std::function<bool()>& predicate, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!predicate()) {
        if (timer.elapsed() > timeoutMs) return false;
        QTest::qWait(10);
    }
    return true;
}

TModalAnswer::TModalAnswer(std::function<void(QWidget*)> action)
    : done_(std::make_shared<bool>(false)), alive_(std::make_shared<bool>(true)) {
    auto timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, action, done = done_, alive = alive_] {
        if (!*alive) {
            timer->deleteLater();
            return;
        }
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        *done = true;
        action(modal);
    });
    timer->start();
}

TModalAnswer::~TModalAnswer() { *alive_ = false; }

void Screenshot(QWidget* widget, const std::string& name) {
    const char* folder = std::getenv("TELLVANE_SCREENSHOT_DIR");
    if (!folder || !*folder || !widget) return;
    QDir().mkpath(QString::fromUtf8(folder));
    widget->grab().save(QString::fromUtf8(folder) + "/" + QString::fromStdString(name) + ".png");
}

void UiTest::SetUp() {
    dir_ = std::make_unique<TempDir>();
    boxes_.clear();
    SetMessageBoxHook([this](const TBoxRecord& box) { boxes_.push_back(box); });
    SetOpenHelpHook([this](const std::string& file) {
        helpOpened_.push_back(file);
        return helpOpens_;
    });
    SetStartSelfHook([this](const std::string&, const std::string& s) { startedSwitches_.push_back(s); });
    SetOpenFileHook({});
    summaries_.clear();
    confirmAnswers_.clear();
    SetNotDoneHook([this](const QString& text) { summaries_.push_back(text.toStdString()); });
    // Unless a test answers otherwise, the confirmation is typed as the box holds it.
    SetConfirmPassHook([this]() -> std::optional<std::string> {
        if (confirmAnswers_.empty()) return Find<QLineEdit>("EncryptPasswordEdit")->text().toStdString();
        auto answer = confirmAnswers_.front();
        confirmAnswers_.pop_front();
        return answer;
    });
    SetCommandLine(std::vector<std::string>{"test_ui"});
    StartedFromCmdLine = false;
    PendingFiles().clear();
    // No first-run dialog unless a test asks for it.
    HiddenItemsStore().Password = "main";
}

void UiTest::TearDown() {
    if (windows_) {
        StopAndAwaitWorkers(EventLoopCallServer());
        windows_.reset();
    }
    SetMessageBoxHook({});
    SetOpenHelpHook({});
    SetStartSelfHook({});
    SetOpenFileHook({});
    SetNotDoneHook({});
    SetConfirmPassHook({});
    StartedFromCmdLine = false;
    PendingFiles().clear();
    QCoreApplication::processEvents();
    dir_.reset();
}

void UiTest::CreateWindows() {
    windows_ = std::make_unique<TAppWindows>();
    Main().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Main()));
}

void UiTest::Click(const char* buttonName) {
    auto* button = Find<QAbstractButton>(buttonName);
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isVisible()) << buttonName << " is hidden";
    QTest::mouseClick(button, Qt::LeftButton);
}

void UiTest::ClickOperation(int index) {
    auto* list = Find<TOperationsListBox>("OperationsListBox");
    ASSERT_NE(list, nullptr);
    const QPoint centre = list->ItemRect(index).center();
    QTest::mouseMove(list, centre);
    QTest::mouseClick(list, Qt::LeftButton, {}, centre);
}

bool UiTest::ChooseFileAndGoOn(int index, const std::string& file, int settingsPage) {
    ClickOperation(index);
    if (!WaitForPage(2) || !ClickTreePath(file)) return false;
    Click("NextButton");
    return WaitForPage(settingsPage);
}

bool UiTest::ClickTreePath(const std::string& path) {
    auto* view = Find<TFilesTreeView>("FilesTreeView");
    if (!view) return false;
    TDriveTreeItemModel* model = view->ItemModel();
    // The drive whose mount point is the longest prefix of PATH.
    TTreeNode* node = nullptr;
    size_t used = 0;
    for (const auto& drive : Main().TreeModel().DrivesInTree()) {
        std::string root = drive->Text == "/" ? "/" : drive->Text + "/";
        if (path.compare(0, root.size(), root) == 0 && root.size() > used) {
            node = drive.get();
            used = root.size();
        }
    }
    if (!node) return false;
    std::string rest = path.substr(used);
    while (!rest.empty()) {
        view->expand(model->IndexOf(node));
        model->FetchNode(node);
        QCoreApplication::processEvents();
        const size_t slash = rest.find('/');
        const std::string name = rest.substr(0, slash);
        rest = slash == std::string::npos ? std::string() : rest.substr(slash + 1);
        TTreeNode* next = nullptr;
        for (const auto& child : node->Children)
            if (child->Text == name) next = child.get();
        if (!next) return false;
        node = next;
    }
    const QModelIndex index = model->IndexOf(node);
    view->scrollTo(index);
    QCoreApplication::processEvents();
    const QRect rect = view->visualRect(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(rect.left() + 45, rect.center().y()));
    return true;
}

void UiTest::TypeInto(const char* editName, const std::string& text) {
    auto* edit = Find<QLineEdit>(editName);
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    edit->clear();
    QTest::keyClicks(edit, QString::fromStdString(text));
}

std::unique_ptr<TModalAnswer> UiTest::AnswerPassword(const std::string& password, const std::string& shotName) {
    return std::make_unique<TModalAnswer>([password, shotName](QWidget* dialog) {
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("PasswordEdit"));
        auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("OKBtn"));
        if (!edit || !ok) return;
        QTest::keyClicks(edit, QString::fromStdString(password));
        if (!shotName.empty()) Screenshot(dialog, shotName);
        QTest::mouseClick(ok, Qt::LeftButton);
    });
}

bool UiTest::WaitForPage(int page, int timeoutMs) {
    return WaitFor([&] { return Main().CurrentPage() == page; }, timeoutMs);
}

}  // namespace tellvane::test
