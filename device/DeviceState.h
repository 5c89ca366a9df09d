#pragma once
// What the program knows of the connected keyboard beyond a single command:
// how many keyboards the device-change worker saw last, the keyboard's
// default layout (the base of every key map page) and the size of its macro
// memory. The last known active profile is kept by the command set
// (Commands.h). Read and written from the user-interface thread and the
// device-change workers.

#include "keyboard/KeyMapCodec.h"

#include <cstdint>

namespace tavrik::device {

// Bytes of macro memory per unit of device information byte 11.
inline constexpr std::uint32_t kMacroMemoryUnit = 128;

// 0 at start. The count the device-change workers compare with; it is
// stored only after the main window is initialised.
int storedDeviceCount();
void setStoredDeviceCount(int count);

// The count the service reported last, kept the moment it is reported and
// before any worker has responded to it; 0 at start. This answers "is a
// keyboard here?": the stored count lags behind while a worker waits for the
// window, and a keyboard the service has reported must never be shown to
// the user as missing.
int reportedDeviceCount();
void noteReportedDeviceCount(int count);

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
void resetDeviceState();

} // namespace tavrik::device
