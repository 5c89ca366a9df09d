#include "service/virtual/SharedDevicePaths.h"

#include "platform/Crc32.h"
#include "platform/RuntimeFolder.h"

#include <cstdio>
#include <span>
#include <sys/un.h>

namespace tavrik::service {

SharedDevicePaths sharedDevicePaths(const std::string& statePath) {
    SharedDevicePaths paths;
    if (statePath.empty()) {
        return paths;
    }
    paths.serverLock = statePath + ".server";
    paths.exchangeLock = statePath + ".lock";
    paths.socket = statePath + ".socket";
    if (paths.socket.size() >= sizeof(sockaddr_un{}.sun_path)) {
        const std::string folder = platform::runtimeFolder();
        char name[32];
        std::snprintf(
            name, sizeof name, "/vkbd-%08x.socket",
            static_cast<unsigned>(platform::crc32(std::span(
                reinterpret_cast<const std::uint8_t*>(statePath.data()), statePath.size()))));
        paths.socket = folder.empty() ? std::string() : folder + name;
    }
    return paths;
}

} // namespace tavrik::service
