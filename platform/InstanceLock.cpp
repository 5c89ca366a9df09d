#include "platform/InstanceLock.h"

#include "platform/RuntimeFolder.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <utility>

namespace tavrik::platform {
namespace {

bool isPlainFileName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

// Close-on-exec keeps the lock out of the daemon and every other program we
// start; otherwise it would outlive this instance.
int openLockFile(std::string_view name, int extraFlags) {
    const std::string path = instanceLockPath(name);
    if (path.empty()) {
        return -1;
    }
    int descriptor = -1;
    do {
        descriptor = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | extraFlags, 0600);
    } while (descriptor < 0 && errno == EINTR);
    return descriptor;
}

// True when the lock was taken; false when another handle holds it or the
// call failed.
bool tryLock(int descriptor) {
    int result = -1;
    do {
        result = ::flock(descriptor, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

} // namespace

std::string instanceLockPath(std::string_view name) {
    if (!isPlainFileName(name)) {
        return {};
    }
    const std::string folder = runtimeFolder();
    if (folder.empty()) {
        return {};
    }
    return folder + "/" + std::string(name);
}

InstanceLock::~InstanceLock() {
    close();
}

InstanceLock::InstanceLock(InstanceLock&& other) noexcept
    : descriptor_(std::exchange(other.descriptor_, -1)),
      owned_(std::exchange(other.owned_, false)) {}

InstanceLock& InstanceLock::operator=(InstanceLock&& other) noexcept {
    if (this != &other) {
        close();
        descriptor_ = std::exchange(other.descriptor_, -1);
        owned_ = std::exchange(other.owned_, false);
    }
    return *this;
}

bool InstanceLock::openExisting(std::string_view name) {
    close();
    const int descriptor = openLockFile(name, 0);
    if (descriptor < 0) {
        return false;
    }
    if (tryLock(descriptor)) {
        // Nobody held it: a file left by an ended instance is no lock.
        ::close(descriptor);
        return false;
    }
    if (errno != EWOULDBLOCK) {
        ::close(descriptor);
        return false;
    }
    descriptor_ = descriptor;
    return true;
}

bool InstanceLock::createOwned(std::string_view name) {
    close();
    const int descriptor = openLockFile(name, O_CREAT);
    if (descriptor < 0) {
        return false;
    }
    if (!tryLock(descriptor)) {
        ::close(descriptor);
        return false;
    }
    descriptor_ = descriptor;
    owned_ = true;
    return true;
}

void InstanceLock::close() {
    if (descriptor_ >= 0) {
        // Closing the last descriptor of the open file drops the lock.
        ::close(descriptor_);
    }
    descriptor_ = -1;
    owned_ = false;
}

bool InstanceLock::exists(std::string_view name) {
    InstanceLock probe;
    return probe.openExisting(name);
}

} // namespace tavrik::platform
