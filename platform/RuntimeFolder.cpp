#include "platform/RuntimeFolder.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrik::platform {
namespace {

// A folder we may keep a lock and a socket in: a real directory (not a link),
// ours, and closed to group and others.
bool isPrivateFolder(const std::string& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) {
        return false;
    }
    return S_ISDIR(status.st_mode) && status.st_uid == ::getuid() &&
           (status.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

std::string privateTemporaryFolder() {
    const std::string path = fallbackRuntimeFolder(::getuid());
    if (::mkdir(path.c_str(), S_IRWXU) != 0 && errno != EEXIST) {
        return {};
    }
    return isPrivateFolder(path) ? path : std::string();
}

} // namespace

std::string fallbackRuntimeFolder(unsigned userId) {
    return "/tmp/tavrik-" + std::to_string(userId);
}

std::string runtimeFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    // Only an absolute path to a folder counts: a relative one would follow
    // the working folder and split the instances of one user, and one that
    // is not there would leave the program without lock and socket.
    struct stat status {};
    if (runtime != nullptr && runtime[0] == '/' && ::stat(runtime, &status) == 0 &&
        S_ISDIR(status.st_mode)) {
        std::string path(runtime);
        while (path.size() > 1 && path.back() == '/') {
            path.pop_back();
        }
        return path;
    }
    return privateTemporaryFolder();
}

} // namespace tavrik::platform
