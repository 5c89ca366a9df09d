#pragma once
// The main window's tray state: which icon the tray shows and which normal
// icon (no keyboard, keyboard present) to go back to after the alternate one.
// Workers read the last normal icon from their own threads; the user-interface
// thread changes the state.

#include "platform/MainWindowPort.h"

#include <atomic>

namespace tavrik::app {

class TrayIconState {
public:
    // Returns whether the tray must show another icon: false when `iconId` is
    // the one shown. A normal icon is remembered as the last normal one.
    bool change(int iconId);
    // The icon is gone (teardown): nothing shown, the last normal icon kept.
    void clear() { current_.store(platform::trayicon::None); }

    int current() const { return current_.load(); }
    int lastNormal() const { return lastNormal_.load(); }

private:
    std::atomic<int> current_{platform::trayicon::None};
    std::atomic<int> lastNormal_{platform::trayicon::NoKeyboard};
};

} // namespace tavrik::app
