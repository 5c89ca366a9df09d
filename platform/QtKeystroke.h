#pragma once
// The keystroke of a Qt key event. The native scan code that Qt reports on
// Linux desktops (X11 and Wayland alike) is the XKB keycode, which gives the
// scan code; the Qt key gives the virtual-key code, which the keyboard model
// uses only where no scan code exists (events made by a program rather than
// by a keyboard, such as those of the offscreen platform).

#include "platform/Keystroke.h"

#include <Qt>

class QKeyEvent;

namespace tavrik::platform {

Keystroke keystrokeOf(const QKeyEvent& event);

// The virtual-key code standing for a Qt key; keypad keys are told apart by
// Qt::KeypadModifier. 0 for a key without one.
std::uint32_t virtualKeyOfQtKey(int key, Qt::KeyboardModifiers modifiers);

} // namespace tavrik::platform
