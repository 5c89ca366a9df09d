#include "app/keyboardpanel/KeyboardPanel.h"
#include "app/lightingpanel/LightingPanel.h"
#include "app/mainwindow/BusyIndicator.h"
#include "app/mainwindow/CTavrikDlg.h"
#include "app/mainwindow/InputDuringWork.h"
#include "app/mainwindow/MainWindowLog.h"
#include "app/mainwindow/WindowTimers.h"
#include "app/profiles/CTavrik_DlgProfile.h"
#include "app/shared/MainWindowIds.h"
#include "app/tray/CTrayIcon.h"
#include "platform/MainWindowPort.h"
#include "platform/WindowMessage.h"
#include "sync/Apply.h"
#include "sync/KeyboardWork.h"
#include "ui/CPngButton.h"

#include <QEventLoop>
#include <algorithm>

namespace tavrik::app {
namespace {

constexpr std::uint32_t kAnimationPeriodMs = 50;

// The commands that cannot reach the keyboard, which run meanwhile.
bool runsDuringWork(int commandId) {
    switch (commandId) {
    case command::Cancel:
    case command::Link:
    case command::Help:
    case command::Minimize:
    case command::Menu:
    case command::About:
    case traycommand::Open:
    case traycommand::StartWithDesktop:
        return true;
    default:
        return false;
    }
}

// The commands that wait for the end: an exit the user asked for ends in
// order once the keyboard is written.
bool waitsForWork(int commandId) {
    return commandId == command::Close || commandId == command::MenuClose ||
           commandId == traycommand::Exit;
}

} // namespace

bool CTavrikDlg::runKeyboardWork(const std::function<void()>& work, bool animate) {
    if (keyboardWorkLoop_ != nullptr) {
        return false;
    }
    QEventLoop loop;
    keyboardWorkLoop_ = &loop;
    {
        const InputDuringWork input(
            [this](const QWidget* window) {
                return window == this || window == profileManager() ||
                       std::any_of(childDialogs_.begin(), childDialogs_.end(),
                                   [window](const QPointer<QWidget>& child) {
                                       return child.data() == window;
                                   });
            },
            [this](const QWidget* widget) {
                if (widget == this) {
                    return true; // the background moves the window
                }
                for (const int id : {command::Link, command::Help, command::Menu, command::Minimize,
                                     command::Close}) {
                    if (widget == button(id)) {
                        return true;
                    }
                }
                return false;
            });
        if (animate) {
            timers_->set(platform::timer::BusyAnimation, kAnimationPeriodMs);
        }
        qCDebug(windowLog, "keyboard work starts");
        const bool started = sync::startKeyboardWork(work, [this] {
            platform::postWindowMessage(this, platform::message::KeyboardWorkEnded, 0);
        });
        if (started) {
            loop.exec();
        } else {
            // No thread to be had: the work runs here, as it once did.
            work();
        }
        qCDebug(windowLog, "keyboard work ends");
        if (animate) {
            timers_->kill(platform::timer::BusyAnimation);
            busyIndicator_->setVisible(false);
        }
    }
    keyboardWorkLoop_ = nullptr;
    replayAfterWork();
    return true;
}

bool CTavrikDlg::holdDuringWork(std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam) {
    using namespace platform;
    switch (message) {
    case message::KeyboardWorkEnded:
        keyboardWorkLoop_->quit();
        return true;
    // What reads or writes the keyboard, or ends the program, waits.
    case message::Kill:
    case message::BankChanged:
    case message::ProfileReload:
    case message::TimeChanged:
    case message::SliderMoved:
        qCDebug(windowLog, "message 0x%x waits for the keyboard", message);
        heldMessages_.push_back({message, wParam, lParam});
        return true;
    case kCommandMessage: {
        const int commandId = static_cast<int>(wParam);
        if (runsDuringWork(commandId)) {
            return false;
        }
        if (waitsForWork(commandId)) {
            qCDebug(windowLog, "command %d waits for the keyboard", commandId);
            heldMessages_.push_back({message, wParam, lParam});
        } else {
            // Another Apply, a profile switch, an import, a key's editor: refused.
            qCDebug(windowLog, "command %d refused while the keyboard is busy", commandId);
        }
        return true;
    }
    default:
        // The start, showing the window, a removed keyboard's dialogs.
        return false;
    }
}

void CTavrikDlg::runAfterKeyboardWork(std::function<void()> task) {
    if (keyboardWorkLoop_ == nullptr) {
        task();
        return;
    }
    heldTasks_.push_back(std::move(task));
}

void CTavrikDlg::replayAfterWork() {
    // Posted, so that what started the work finishes first; in the order
    // they came.
    for (const HeldMessage& held : heldMessages_) {
        platform::postWindowMessage(this, held.message, held.wParam, held.lParam);
    }
    heldMessages_.clear();
    for (std::function<void()>& task : heldTasks_) {
        QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection);
    }
    heldTasks_.clear();
    if (std::exchange(refreshHeld_, false)) {
        refreshKeyButtons();
    }
    if (std::exchange(lightingReloadHeld_, false)) {
        timers_->set(platform::timer::LightingReload, 0);
    }
}

void CTavrikDlg::applyChanges() {
    runKeyboardWork([] { sync::applyChanges(); }, false);
}

} // namespace tavrik::app
