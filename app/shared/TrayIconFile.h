#pragma once
// Where the tray's icon files are: the tray shows them, and the main window
// will not start without them (MainSkinImages.h).

#include <string>

namespace tavrik::app {

// "<folder>/tray<iconId>.png"
std::string trayIconFile(const std::string& folder, int iconId);

} // namespace tavrik::app
