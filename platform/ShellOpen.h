#pragma once
// Opening a file or a link with the desktop's handler for it (the help page
// in the browser, the maker's web address), and starting the companion daemon.

#include <string>

namespace tavrik::platform {

// A target with a URL scheme ("https://...", "mailto:...") is opened as a
// link, anything else as a local file. Returns whether the desktop accepted
// it; an empty target is refused.
bool shellOpen(const std::string& target);

// Starts the program at `path` detached from this process, without
// arguments, with its standard channels on /dev/null so that nothing of it
// shows. A missing or non-executable file is no error: nothing is started
// and false comes back.
bool launchDaemon(const std::string& path);

} // namespace tavrik::platform
