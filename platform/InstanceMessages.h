#pragma once
// What instances of the program say to each other: the identity of the main
// window and the two notifications another instance can send it.

#include <cstdint>

namespace tavrik::platform {

// The main window's identity, the four-character code MAIN.
inline constexpr std::uint32_t kMainWindowIdentity = 0x4D41494E;

// Modes of notifyInstanceWindows with instanceWindowCallback.
inline constexpr int kNotifyOpen = 0; // message::Open: bring the running instance to the front
inline constexpr int kNotifyKill = 1; // message::Kill: shut the running instance down

} // namespace tavrik::platform
