#include "app/shared/TrayIconFile.h"

namespace tavrik::app {

std::string trayIconFile(const std::string& folder, int iconId) {
    std::string path = folder;
    if (!path.empty() && path.back() != '/') {
        path += '/';
    }
    return path + "tray" + std::to_string(iconId) + ".png";
}

} // namespace tavrik::app
