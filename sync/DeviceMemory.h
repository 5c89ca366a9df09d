#pragma once
// What the program knows of the connected keyboard's memory: its default
// layout (the base of every key map page) and the size of its macro memory.
// Read and written from the user-interface thread and the device-change
// workers.

#include "keyboard/KeyMapCodec.h"

#include <cstdint>

namespace tavrik::sync {

// The built-in default layout until the keyboard has given its own.
keyboard::KeyMapLayer defaultLayout();
void setDefaultLayout(const keyboard::KeyMapLayer& layout);

// 0 until the keyboard has reported its macro memory.
std::uint32_t macroCapacity();
void setMacroCapacity(std::uint32_t bytes);

// Reads the default layout and the device information from the keyboard and
// keeps what was read: the layout, and the macro capacity from byte 11.
// What fails keeps its previous value. Returns whether the layout was read.
bool readKeyboardLayoutAndCapacity();

// Tests: the state of a fresh start.
void resetDeviceMemory();

} // namespace tavrik::sync
