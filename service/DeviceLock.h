#pragma once
// The cross-process lock of one keyboard: flock(2) on a file that every
// process reaching the keyboard opens, the hidraw node itself or the virtual
// keyboard's lock file. It belongs to the open file, so two handles in one
// process exclude each other as two processes do, and the system drops it
// when the process that holds it ends: a holder that dies never leaves it
// behind. Who holds it and for how long is CommandExchanges' business.

#include "platform/UniqueFd.h"

#include <chrono>
#include <memory>
#include <string>

namespace tavrik::service {

class DeviceLock {
public:
    explicit DeviceLock(platform::UniqueFd file);

    // The lock file at `path`, made for the user alone when missing; null
    // when it cannot be opened (or is a link).
    static std::shared_ptr<DeviceLock> openFile(const std::string& path);

    // Takes the lock if nobody holds it.
    bool tryLock();
    // Takes the lock, waiting for its holder until `deadline`. flock has no
    // time-out, so the wait looks again every few milliseconds; it only
    // happens while another process holds the keyboard.
    bool lockUntil(std::chrono::steady_clock::time_point deadline);
    void unlock();

private:
    platform::UniqueFd file_;
};

} // namespace tavrik::service
