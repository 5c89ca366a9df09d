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
    // Only an absolute path counts: a relative one would follow the working
    // folder and split the instances of one user. And the folder must be as
    // private as the /tmp fallback: in a folder that others can write to, or
    // that is theirs, someone else could hold the lock or answer on the
    // socket in place of the running instance.
    if (runtime != nullptr && runtime[0] == '/') {
        std::string path(runtime);
        while (path.size() > 1 && path.back() == '/') {
            path.pop_back();
        }
        if (isPrivateFolder(path)) {
            return path;
        }
    }
    return privateTemporaryFolder();
}

} // namespace tavrik::platform
