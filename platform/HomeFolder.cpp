#include "platform/HomeFolder.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace tavrik::platform {

std::string homeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return home;
    }
    const passwd* entry = ::getpwuid(::getuid());
    return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "";
}

std::string xdgBaseFolder(const char* variable, std::string_view fallback) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] == '/') {
        return value;
    }
    const std::string home = homeFolder();
    return home.empty() ? std::string() : home + "/" + std::string(fallback);
}

std::string documentsFolder(std::string_view desktopAnswer) {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return std::string(desktopAnswer);
    }
    const std::string folder = homeFolder();
    return folder.empty() ? std::string() : folder + "/Documents";
}

} // namespace tavrik::platform
