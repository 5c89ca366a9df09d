#pragma once
// The three tray and application icons: no keyboard (128), keyboard
// present (141) and the alternate state (142).

#include <QImage>

namespace tavrik::skingen {

enum class TrayState { NoKeyboard, KeyboardPresent, Alternate };

QImage renderTrayIcon(TrayState state, int size);

} // namespace tavrik::skingen
