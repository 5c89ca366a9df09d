#pragma once
// A main window and a prompter that record what the model asks of them, for
// tests of the data sets, the workers and the profile operations. Both may be
// called from worker threads.

#include "platform/MainWindowPort.h"
#include "platform/Prompter.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tavrik::testing {

class RecordingWindow final : public platform::MainWindowPort {
public:
    struct Call {
        std::string what; // "send", "post", "setTimer", "killTimer", "hide", "tray", "apply",
                          // "refresh", "busy"
        std::uint64_t first = 0;
        std::uint64_t second = 0;
        friend bool operator==(const Call&, const Call&) = default;
    };

    std::intptr_t sendMessage(std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t) override {
        record({"send", message, wParam});
        return 0;
    }
    void postMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t) override {
        record({"post", message, wParam});
    }
    void setTimer(std::uint32_t timerId, std::uint32_t milliseconds) override {
        record({"setTimer", timerId, milliseconds});
    }
    void killTimer(std::uint32_t timerId) override { record({"killTimer", timerId, 0}); }
    bool isInitialised() const override {
        ++initialisedQueries_;
        return initialised_.load();
    }
    void hideWindow() override { record({"hide", 0, 0}); }
    void setTrayIcon(int iconId) override {
        record({"tray", static_cast<std::uint64_t>(iconId), 0});
    }
    int lastNormalTrayIcon() const override { return platform::trayicon::NoKeyboard; }
    void setApplyEnabled(bool enabled) override {
        applyEnabled_.store(enabled);
        record({"apply", enabled ? 1u : 0u, 0});
    }
    bool isApplyEnabled() const override { return applyEnabled_.load(); }
    void refreshKeyButtons() override { record({"refresh", 0, 0}); }
    void setBusyIndicatorVisible(bool visible) override { record({"busy", visible ? 1u : 0u, 0}); }

    void setInitialised(bool initialised) { initialised_.store(initialised); }
    int initialisedQueries() const { return initialisedQueries_.load(); }
    // Sets the state without recording a call.
    void presetApplyEnabled(bool enabled) { applyEnabled_.store(enabled); }

    std::vector<Call> calls() const {
        std::lock_guard lock(mutex_);
        return calls_;
    }
    std::vector<Call> callsOf(const std::string& what) const {
        std::vector<Call> found;
        for (const Call& call : calls()) {
            if (call.what == what) {
                found.push_back(call);
            }
        }
        return found;
    }
    void clear() {
        std::lock_guard lock(mutex_);
        calls_.clear();
    }

private:
    void record(Call call) {
        std::lock_guard lock(mutex_);
        calls_.push_back(std::move(call));
    }

    mutable std::mutex mutex_;
    std::vector<Call> calls_;
    std::atomic<bool> initialised_{true};
    mutable std::atomic<int> initialisedQueries_{0};
    std::atomic<bool> applyEnabled_{false};
};

class RecordingPrompter final : public platform::Prompter {
public:
    void showMessage(const std::u16string& text, const std::u16string&,
                     platform::MessageIcon) override {
        std::lock_guard lock(mutex_);
        messages_.push_back(text);
    }
    bool askYesNo(const std::u16string& text, bool defaultYes) override {
        std::function<void()> whileAsked;
        {
            std::lock_guard lock(mutex_);
            questions_.push_back({text, defaultYes});
            whileAsked = whileAsked_;
        }
        // What the user does while the box is open, before answering.
        if (whileAsked) {
            whileAsked();
        }
        return answer_;
    }
    std::optional<std::string> chooseOpenFile(const platform::FileDialogRequest& request) override {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
        return chosenPath_;
    }
    std::optional<std::string> chooseSaveFile(const platform::FileDialogRequest& request) override {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
        return chosenPath_;
    }

    void answerQuestionsWith(bool yes) { answer_ = yes; }
    void whileAsked(std::function<void()> action) { whileAsked_ = std::move(action); }
    void choosePath(std::optional<std::string> path) { chosenPath_ = std::move(path); }

    std::vector<std::u16string> messages() const {
        std::lock_guard lock(mutex_);
        return messages_;
    }
    std::vector<std::pair<std::u16string, bool>> questions() const {
        std::lock_guard lock(mutex_);
        return questions_;
    }
    std::vector<platform::FileDialogRequest> requests() const {
        std::lock_guard lock(mutex_);
        return requests_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::u16string> messages_;
    std::vector<std::pair<std::u16string, bool>> questions_;
    std::vector<platform::FileDialogRequest> requests_;
    bool answer_ = false;
    std::function<void()> whileAsked_;
    std::optional<std::string> chosenPath_;
};

} // namespace tavrik::testing
