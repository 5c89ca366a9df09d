#include "service/DeviceLock.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>

namespace tavrik::service {
namespace {

constexpr std::chrono::milliseconds kFirstLook{1};
constexpr std::chrono::milliseconds kLongestLook{4};

} // namespace

DeviceLock::DeviceLock(platform::UniqueFd file) : file_(std::move(file)) {}

std::shared_ptr<DeviceLock> DeviceLock::openFile(const std::string& path) {
    platform::UniqueFd file(
        ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, S_IRUSR | S_IWUSR));
    if (!file) {
        return nullptr;
    }
    return std::make_shared<DeviceLock>(std::move(file));
}

bool DeviceLock::tryLock() {
    for (;;) {
        if (::flock(file_.get(), LOCK_EX | LOCK_NB) == 0) {
            return true;
        }
        if (errno != EINTR) {
            return false;
        }
    }
}

bool DeviceLock::lockUntil(std::chrono::steady_clock::time_point deadline) {
    std::chrono::milliseconds look = kFirstLook;
    for (;;) {
        if (tryLock()) {
            return true;
        }
        if (errno != EWOULDBLOCK) {
            return false;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(look, deadline - now));
        look = std::min(look * 2, kLongestLook);
    }
}

void DeviceLock::unlock() {
    ::flock(file_.get(), LOCK_UN);
}

} // namespace tavrik::service
