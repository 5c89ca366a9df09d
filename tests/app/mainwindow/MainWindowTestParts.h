#pragma once
// What the tests of the main window (CTavrikDlg*Test.cpp) share: a prompter
// that records the messages it shows, a count of the window's finishes, a
// prompter put in place for a scope, and a message sent to the window.

#include "app/mainwindow/CTavrikDlg.h"
#include "platform/Ports.h"
#include "platform/Prompter.h"
#include "platform/WindowMessage.h"
#include "sync/DeviceMemory.h"

#include <QDialog>
#include <QObject>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace tavrik::testing {

// Answers every message box and records its text and title.
class MessageRecorder final : public platform::Prompter {
public:
    struct Message {
        std::u16string text;
        std::u16string title;
    };
    void showMessage(const std::u16string& text, const std::u16string& title,
                     platform::MessageIcon) override {
        const std::lock_guard lock(mutex_);
        messages_.push_back({text, title});
    }
    bool askYesNo(const std::u16string&, bool defaultYes) override { return defaultYes; }
    std::optional<std::string> chooseOpenFile(const platform::FileDialogRequest&) override {
        return {};
    }
    std::optional<std::string> chooseSaveFile(const platform::FileDialogRequest&) override {
        return {};
    }
    std::vector<Message> messages() const {
        const std::lock_guard lock(mutex_);
        return messages_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<Message> messages_;
};

// Counts how often the window finished, which ends the program's loop.
class FinishCounter {
public:
    explicit FinishCounter(QDialog& window) {
        QObject::connect(&window, &QDialog::finished, &context_, [this] { ++count_; });
    }
    int count() const { return count_; }

private:
    QObject context_;
    int count_ = 0;
};

// Puts a prompter in place for as long as it lives.
class PrompterInUse {
public:
    explicit PrompterInUse(platform::Prompter& prompter) { platform::installPrompter(&prompter); }
    ~PrompterInUse() { platform::installPrompter(nullptr); }
    PrompterInUse(const PrompterInUse&) = delete;
    PrompterInUse& operator=(const PrompterInUse&) = delete;
};

inline std::intptr_t send(app::CTavrikDlg& window, std::uint32_t message, std::uintptr_t wParam) {
    return platform::sendWindowMessage(&window, message, wParam);
}

// The record of key A in a key map page read from the keyboard.
inline std::vector<std::uint8_t> recordOfKeyA(const std::vector<std::uint8_t>& page) {
    const keyboard::KeyMapLayer layout = sync::defaultLayout();
    for (std::size_t k = 0; k < keyboard::kKeyPositionCount; ++k) {
        if (layout[3 * k] == 2 && layout[3 * k + 1] == 2 && layout[3 * k + 2] == 0x04) {
            return {page.begin() + 3 * k, page.begin() + 3 * k + 3};
        }
    }
    return {};
}

} // namespace tavrik::testing
