#pragma once
// A main window that records what the device link asks of it.

#include "device/Channels.h"
#include "platform/MainWindowPort.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace tavrik::device::testing {

class RecordingMainWindow : public platform::MainWindowPort {
public:
    struct Message {
        std::uint32_t message = 0;
        std::uintptr_t wParam = 0;
        int bankWhenSent = 0; // the G-key bank the handler would see
    };

    std::intptr_t sendMessage(std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t) override {
        std::lock_guard lock(mutex_);
        sent_.push_back({message, wParam, currentBank()});
        return 0;
    }
    void postMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t) override {
        std::lock_guard lock(mutex_);
        posted_.push_back({message, wParam, currentBank()});
    }
    void setTimer(std::uint32_t timerId, std::uint32_t milliseconds) override {
        std::lock_guard lock(mutex_);
        timers_.emplace_back(timerId, milliseconds);
    }
    void killTimer(std::uint32_t) override {}
    bool isInitialised() const override { return true; }
    void hideWindow() override {}
    // Takes a moment, so that overlapping callers would be seen.
    void setTrayIcon(int iconId) override {
        const int inside = ++trayCallsInside_;
        int seen = mostTrayCallsAtOnce_.load();
        while (inside > seen && !mostTrayCallsAtOnce_.compare_exchange_weak(seen, inside)) {
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        {
            std::lock_guard lock(mutex_);
            trayIcons_.push_back(iconId);
        }
        --trayCallsInside_;
    }
    int lastNormalTrayIcon() const override { return lastNormalTrayIcon_.load(); }
    void setApplyEnabled(bool) override {}
    bool isApplyEnabled() const override { return false; }
    void refreshKeyButtons() override {}
    void setBusyIndicatorVisible(bool) override {}

    void setLastNormalTrayIcon(int iconId) { lastNormalTrayIcon_.store(iconId); }

    std::vector<Message> sent() const {
        std::lock_guard lock(mutex_);
        return sent_;
    }
    std::vector<Message> posted() const {
        std::lock_guard lock(mutex_);
        return posted_;
    }
    std::vector<std::pair<std::uint32_t, std::uint32_t>> timers() const {
        std::lock_guard lock(mutex_);
        return timers_;
    }
    std::vector<int> trayIcons() const {
        std::lock_guard lock(mutex_);
        return trayIcons_;
    }
    int mostTrayCallsAtOnce() const { return mostTrayCallsAtOnce_.load(); }

private:
    mutable std::mutex mutex_;
    std::vector<Message> sent_;
    std::vector<Message> posted_;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> timers_;
    std::vector<int> trayIcons_;
    std::atomic<int> lastNormalTrayIcon_{platform::trayicon::KeyboardPresent};
    std::atomic<int> trayCallsInside_{0};
    std::atomic<int> mostTrayCallsAtOnce_{0};
};

} // namespace tavrik::device::testing
