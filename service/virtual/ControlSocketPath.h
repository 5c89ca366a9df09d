#pragma once
// Where the virtual keyboard's control socket lives: VEZAROR_VIRTUAL_CONTROL
// when set, else "tavrik/vkbd.sock" in $XDG_RUNTIME_DIR, else "vkbd.sock" in
// the private folder /tmp/tavrik-<uid> (mode 0700).

#include <string>

namespace tavrik::service {

// Empty when no safe folder can be had.
std::string controlSocketPath();

} // namespace tavrik::service
