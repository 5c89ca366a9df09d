#pragma once
// Window messages in Qt: a message id with two parameters, delivered to a
// window (any QObject) as an event that its handler answers with a result.
// The main window's program-defined messages (MainWindowPort.h), the command
// message of buttons and menus, and the tray icon's callback all travel this
// way.

#include <QEvent>
#include <cstdint>

class QObject;

namespace tavrik::platform {

// wParam carries the command id of a button or menu item.
inline constexpr std::uint32_t kCommandMessage = 0x0111;

class WindowMessageEvent final : public QEvent {
public:
    WindowMessageEvent(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

    static QEvent::Type eventType();

    std::uint32_t message() const { return message_; }
    std::uintptr_t wParam() const { return wParam_; }
    std::intptr_t lParam() const { return lParam_; }

    // The handler's answer; setting it also accepts the event.
    void setResult(std::intptr_t result);
    std::intptr_t result() const { return result_; }

private:
    std::uint32_t message_;
    std::uintptr_t wParam_;
    std::intptr_t lParam_;
    std::intptr_t result_ = 0;
};

// Runs the window's handling of the message and returns its result (0 when no
// handler answered or the window is gone). From a thread other than the
// window's, waits until the window's thread has handled it.
std::intptr_t sendWindowMessage(QObject* window, std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam = 0);
// Queues the message for the window's thread and returns at once.
void postWindowMessage(QObject* window, std::uint32_t message, std::uintptr_t wParam,
                       std::intptr_t lParam = 0);

// The command message of a button or menu item.
inline std::intptr_t sendCommand(QObject* window, int commandId) {
    return sendWindowMessage(window, kCommandMessage, static_cast<std::uintptr_t>(commandId));
}

} // namespace tavrik::platform
