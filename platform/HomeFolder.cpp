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

} // namespace tavrik::platform
