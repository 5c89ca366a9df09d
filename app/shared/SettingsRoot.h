#pragma once
// The names under which the program keeps its per-user settings store: the
// start routine gives them to the application, and the profile settings open
// the store with them.

namespace tavrik::app {

// The organisation under which the program's settings are kept.
inline constexpr const char* kSettingsRoot = "Tavrik_Lumora";
inline constexpr const char* kApplicationName = "Tavrik";

} // namespace tavrik::app
