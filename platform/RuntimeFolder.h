#pragma once
// The per-user folder for the program's instance lock and its instance
// socket: $XDG_RUNTIME_DIR, or, where that does not name a private folder by
// an absolute path (a real directory, not a link, of the user's own, closed
// to group and others), a private folder under /tmp that only the user can
// enter.

#include <string>

namespace tavrik::platform {

// The folder without a trailing slash, created when it is the /tmp fallback.
// Empty when no safe folder can be had: the /tmp fallback exists but is not
// a directory, belongs to someone else or is open to others.
std::string runtimeFolder();

// The /tmp fallback's name for a user: "/tmp/tavrik-<uid>".
std::string fallbackRuntimeFolder(unsigned userId);

} // namespace tavrik::platform
