#pragma once
// What the model and the device layer may ask of the main window. The Qt main
// window implements it; tests put a recorder in its place. Every call may come
// from any thread unless it says otherwise.

#include <cstdint>

namespace tavrik::platform {

// Messages of the main window (program-defined ids; parameters are
// four-character codes, see fourCharCode).
namespace message {
constexpr std::uint32_t Init = 0x4D4E;          // wParam INIT: finish start-up
constexpr std::uint32_t Open = 0x5350;          // wParam OPEN: show the window
constexpr std::uint32_t Kill = 0x4D4B;          // wParam "KILL" in memory order: shut down
constexpr std::uint32_t BankChanged = 0x5045;   // wParam LED: mark the G keys of the bank
constexpr std::uint32_t ProfileReload = 0x5452; // wParam PROF: reload from the keyboard
constexpr std::uint32_t DeviceRemoved = 0x4753; // any wParam: close child dialogs
constexpr std::uint32_t SliderMoved = 0x28D1;   // wParam control id, lParam position
constexpr std::uint32_t TimeChanged = 0x001E;   // system clock changed: run Apply
constexpr std::uint32_t KeyboardWorkEnded = 0x4B57; // long keyboard work has ended
} // namespace message

namespace wparam {
constexpr std::uint32_t Init = 0x494E4954; // INIT
constexpr std::uint32_t Open = 0x4F50454E; // OPEN
constexpr std::uint32_t Kill = 0x4C4C494B; // the bytes of "KILL" in memory order
constexpr std::uint32_t Led = 0x004C4544;  // LED
constexpr std::uint32_t Prof = 0x50524F46; // PROF
} // namespace wparam

namespace timer {
constexpr std::uint32_t BusyAnimation = 1050; // 50 ms period while Apply runs
constexpr std::uint32_t LightingReload = 1051;
constexpr std::uint32_t ProfileReload = 1053;
} // namespace timer

namespace trayicon {
constexpr int None = 0;
constexpr int NoKeyboard = 128;
constexpr int KeyboardPresent = 141;
constexpr int Alternate = 142;
} // namespace trayicon

class MainWindowPort {
public:
    virtual ~MainWindowPort() = default;

    // Runs the handler of `message` on the user-interface thread and waits for
    // its result (called on that thread, it runs the handler directly).
    virtual std::intptr_t sendMessage(std::uint32_t message, std::uintptr_t wParam,
                                      std::intptr_t lParam = 0) = 0;
    // Queues `message` for the user-interface thread and returns at once.
    virtual void postMessage(std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam = 0) = 0;
    // A timer fires every `milliseconds` on the user-interface thread until it
    // is killed; setting a running timer again restarts it. Handlers of the
    // one-shot hand-over timers kill their timer first.
    virtual void setTimer(std::uint32_t timerId, std::uint32_t milliseconds) = 0;
    virtual void killTimer(std::uint32_t timerId) = 0;

    // True once the posted INIT message has been handled.
    virtual bool isInitialised() const = 0;
    virtual void hideWindow() = 0;

    // The tray icon (trayicon::...). The window remembers the last normal icon
    // (NoKeyboard or KeyboardPresent) so that the alternate state can end.
    virtual void setTrayIcon(int iconId) = 0;
    virtual int lastNormalTrayIcon() const = 0;

    // The Apply button mirrors "changes pending".
    virtual void setApplyEnabled(bool enabled) = 0;
    virtual bool isApplyEnabled() const = 0;

    // Redraws the texts and marks of the on-screen key buttons from the
    // working set (after a commit or reload).
    virtual void refreshKeyButtons() = 0;
    virtual void setBusyIndicatorVisible(bool visible) = 0;
};

} // namespace tavrik::platform
