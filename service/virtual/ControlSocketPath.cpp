#include "service/virtual/ControlSocketPath.h"

#include "platform/RuntimeFolder.h"

#include <cstdlib>
#include <unistd.h>

namespace tavrik::service {

std::string controlSocketPath() {
    const char* explicitPath = std::getenv("VEZAROR_VIRTUAL_CONTROL");
    if (explicitPath != nullptr && explicitPath[0] != '\0') {
        return explicitPath;
    }
    const std::string folder = platform::runtimeFolder();
    if (folder.empty()) {
        return {};
    }
    // The /tmp fallback is already ours alone; the runtime folder is shared
    // by every program of the user.
    if (folder == platform::fallbackRuntimeFolder(::getuid())) {
        return folder + "/vkbd.sock";
    }
    return folder + "/tavrik/vkbd.sock";
}

} // namespace tavrik::service
