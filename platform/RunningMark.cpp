#include "platform/RunningMark.h"

#include "platform/HomeFolder.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <unistd.h>

namespace tavrik::platform {
namespace {

int openMark(const std::string& path, bool create) {
    if (path.empty()) {
        return -1;
    }
    if (create) {
        std::error_code ignored;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    }
    return ::open(path.c_str(), O_RDONLY | O_CLOEXEC | (create ? O_CREAT : 0), 0600);
}

int lockOrAgain(int descriptor, int operation) {
    int result = 0;
    do {
        result = ::flock(descriptor, operation);
    } while (result != 0 && errno == EINTR);
    return result;
}

} // namespace

std::string runningMarkPath() {
    const std::string state = xdgBaseFolder("XDG_STATE_HOME", ".local/state");
    return state.empty() ? std::string() : state + "/tavrik/running";
}

RunningMark::~RunningMark() {
    if (descriptor_ >= 0) {
        ::close(descriptor_);
    }
}

bool RunningMark::hold() {
    if (descriptor_ >= 0) {
        return true;
    }
    const int descriptor = openMark(runningMarkPath(), true);
    if (descriptor < 0) {
        return false;
    }
    // Shared: the instances of several sessions hold it side by side.
    if (lockOrAgain(descriptor, LOCK_SH) != 0) {
        ::close(descriptor);
        return false;
    }
    descriptor_ = descriptor;
    return true;
}

bool RunningMark::isHeld() {
    const int descriptor = openMark(runningMarkPath(), false);
    if (descriptor < 0) {
        return false;
    }
    const bool held = lockOrAgain(descriptor, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(descriptor);
    return held;
}

} // namespace tavrik::platform
