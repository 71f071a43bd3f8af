#pragma once
// A user-interface thread for worker tests: the test thread serves the worker's synchronous calls
// and records what the run showed.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "engine/DriveTree.h"
#include "engine/RunRegistry.h"
#include "engine/WorkerHost.h"

namespace tellvane::test {

class WorkerTestHost : public IWorkerHost {
public:
    WorkerTestHost() : uiThread_(std::this_thread::get_id()) { SetWorkerHost(this); }
    ~WorkerTestHost() override {
        StopAndAwaitWorkers({[this] { ServeUntilWoken(); }, [this] { Wake(); }});
        SetWorkerHost(nullptr);
    }

    void RunOnUiThread(const std::function<void()>& step) override {
        if (std::this_thread::get_id() == uiThread_) return step();
        std::packaged_task<void()> task(step);
        auto done = task.get_future();
        {
            std::lock_guard<std::mutex> g(lock_);
            queue_.push_back(std::move(task));
        }
        wake_.notify_one();
        done.get();
    }
    const TDriveTree* DriveTree() const override {
        if (onDriveTree) onDriveTree();
        return tree;
    }
    bool AskFilePassword(const std::string& label, std::string& typed) override {
        passwordLabels.push_back(label);
        if (passwordAnswers.empty()) return false;
        typed = passwordAnswers.front();
        passwordAnswers.erase(passwordAnswers.begin());
        return true;
    }
    TReplaceAnswer AskReplace(const std::string& question) override {
        replaceQuestions.push_back(question);
        if (replaceAnswers.empty()) return TReplaceAnswer::raNo;
        const TReplaceAnswer a = replaceAnswers.front();
        replaceAnswers.erase(replaceAnswers.begin());
        return a;
    }
    void ShowPlainMessage(const std::string& text) override { messages.push_back(text); }
    void ShowSkippedAtOnce(const std::string& text) override { messages.push_back(text); }
    void ShowNotCompletedSummary(const std::vector<TNotCompletedFile>& entries) override {
        summaries.push_back(entries);
    }
    void CloseProgressWindow() override { ++progressClosed; }
    void ShowCompletion(const std::string& header, const std::string& filesText) override {
        completions.push_back(header + "|" + filesText);
    }
    void ShowRunError(const std::string& message) override { errors.push_back(message); }

    // Serves calls until no worker is left (or the time is up); ONTICK runs between servings.
    bool ServeUntilDone(std::chrono::milliseconds limit = std::chrono::seconds(20),
                        const std::function<void()>& onTick = {}) {
        auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            ServeOnce(std::chrono::milliseconds(5));
            if (onTick) onTick();
            if (RunningWorkerCount() == 0) {
                ServeOnce(std::chrono::milliseconds(0));
                return true;
            }
        }
        return false;
    }

    // Serves calls as they come until the end of a run wakes this thread.
    void ServeUntilWoken() {
        for (;;) {
            std::deque<std::packaged_task<void()>> steps;
            bool woken;
            {
                std::unique_lock<std::mutex> g(lock_);
                wake_.wait(g, [&] { return !queue_.empty() || woken_; });
                steps.swap(queue_);
                woken = std::exchange(woken_, false);
            }
            for (auto& s : steps) s();
            if (woken) return;
        }
    }
    void Wake() {
        std::lock_guard<std::mutex> g(lock_);
        woken_ = true;
        wake_.notify_one();
    }

    void ServeOnce(std::chrono::milliseconds wait) {
        std::deque<std::packaged_task<void()>> steps;
        {
            std::unique_lock<std::mutex> g(lock_);
            wake_.wait_for(g, wait, [&] { return !queue_.empty(); });
            steps.swap(queue_);
        }
        for (auto& s : steps) s();
    }

    const TDriveTree* tree = nullptr;
    std::function<void()> onDriveTree;  // called when the worker asks for the tree
    std::vector<std::string> passwordAnswers;
    std::vector<std::string> passwordLabels;
    std::vector<TReplaceAnswer> replaceAnswers;
    std::vector<std::string> replaceQuestions;
    std::vector<std::string> messages;
    std::vector<std::vector<TNotCompletedFile>> summaries;
    std::vector<std::string> completions;
    std::vector<std::string> errors;
    int progressClosed = 0;

private:
    std::thread::id uiThread_;
    std::mutex lock_;
    std::condition_variable wake_;
    std::deque<std::packaged_task<void()>> queue_;
    bool woken_ = false;
};

}  // namespace tellvane::test
