#pragma once
// The desktop's on-screen keyboard, for keys the user's keyboard lacks.

#include <string>
#include <vector>

namespace tavrik::platform {

// The on-screen keyboard programs looked for, in order of preference.
const std::vector<std::string>& onScreenKeyboardPrograms();

// Starts the first of them found on PATH, detached, without arguments.
// False when none is installed or it could not be started.
bool startOnScreenKeyboard();

} // namespace tavrik::platform
