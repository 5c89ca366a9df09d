#include "app/tray/TrayIconState.h"

namespace tavrik::app {

bool TrayIconState::change(int iconId) {
    if (current_.exchange(iconId) == iconId) {
        return false;
    }
    if (iconId == platform::trayicon::NoKeyboard || iconId == platform::trayicon::KeyboardPresent) {
        lastNormal_.store(iconId);
    }
    return true;
}

} // namespace tavrik::app
