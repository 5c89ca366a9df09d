#pragma once
// The help command: the help page "index.html" of the program's Help folder,
// opened with the desktop's handler for it.

namespace tavrik::app {

// Needs the path set. Returns whether the desktop accepted the page; when
// the page is missing or nothing could show it, a message gives its path.
bool openHelp();

} // namespace tavrik::app
