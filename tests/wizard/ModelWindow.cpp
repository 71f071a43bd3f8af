#include "ModelWindow.h"

namespace tellvane::test {

bool TModelWindow::AskMainPassword(TSecretString& typed) {
    Record("AskMainPassword");
    mainPass.FormShow();
    ++mainPassShown;
    if (mainPassAnswers.empty()) return false;
    std::optional<std::string> answer = mainPassAnswers.front();
    mainPassAnswers.pop_front();
    if (!answer) return false;
    mainPass.PasswordEdit = *answer;
    typed = mainPass.PasswordEdit;
    return true;
}

void TModelWindow::ShowChangeMainPassword(TSecretString& storePassword) {
    Record("ChangeMainPassword");
    changePass.FormShow();
    ++changeShown;
    while (!changeAnswers.empty()) {
        TChangeAnswer answer = changeAnswers.front();
        changeAnswers.pop_front();
        if (!answer.ok) return;
        changePass.PasswordEdit = answer.first;
        changePass.AgainPasswordEdit = answer.again;
        if (changePass.OKBtnClick(storePassword, [this](const std::string& t) { ErrorBox(t); })) return;
    }
}

bool TModelWindow::AskFilePassword(const std::string& label, TSecretString& typed) {
    Record("AskFilePassword");
    filePass.EnterPassLabel = label;
    filePass.FormShow();
    filePassLabels.push_back(label);
    if (filePassAnswers.empty()) return false;
    std::optional<std::string> answer = filePassAnswers.front();
    filePassAnswers.pop_front();
    if (answer) filePass.PasswordEdit = *answer;
    typed = filePass.PasswordEdit;
    return answer.has_value();
}

void TTestUiLoop::RunOnUiThread(const std::function<void()>& step) {
    if (std::this_thread::get_id() == uiThread_) {
        step();
        return;
    }
    TItem item{&step, nullptr, false};
    std::unique_lock<std::mutex> guard(lock_);
    queue_.push_back(&item);
    changed_.notify_all();
    changed_.wait(guard, [&] { return item.done; });
    if (item.error) std::rethrow_exception(item.error);
}

bool TTestUiLoop::PumpUntil(const std::function<bool()>& pred, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!pred()) {
        TItem* item = nullptr;
        {
            std::unique_lock<std::mutex> guard(lock_);
            if (!changed_.wait_until(guard, std::min(deadline, std::chrono::steady_clock::now() + std::chrono::milliseconds(5)),
                                     [&] { return !queue_.empty(); })) {
                if (std::chrono::steady_clock::now() >= deadline) return pred();
                continue;
            }
            item = queue_.front();
            queue_.pop_front();
        }
        try {
            (*item->step)();
        } catch (...) {
            item->error = std::current_exception();
        }
        std::lock_guard<std::mutex> guard(lock_);
        item->done = true;
        changed_.notify_all();
    }
    return true;
}

}  // namespace tellvane::test
