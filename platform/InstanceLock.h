#pragma once
// The per-user named lock that marks the running instance: an flock(2) lock
// on a file of that name in the runtime folder (RuntimeFolder.h). The lock
// lives as long as the handle that holds it, and the system drops it when
// the process ends, so a crashed instance never leaves it behind. The lock
// file itself stays; it carries nothing.

#include <string>
#include <string_view>

namespace tavrik::platform {

inline constexpr std::string_view kInstanceMutexName = "Tavrik_Mutex_09A";

class InstanceLock {
public:
    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(InstanceLock&& other) noexcept;
    InstanceLock& operator=(InstanceLock&& other) noexcept;
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Opens the lock when some other handle holds it, and keeps this handle
    // open without holding it. Returns whether the lock exists; a lock file
    // that nobody holds does not count.
    bool openExisting(std::string_view name);
    // Creates the lock and takes it. Returns false, leaving the handle closed,
    // when the file cannot be made or another handle holds the lock.
    bool createOwned(std::string_view name);
    // Releases the lock if held and closes the handle.
    void close();

    bool isOpen() const { return descriptor_ >= 0; }
    bool isOwned() const { return owned_; }

    // Whether some handle, in any process, holds the lock of that name.
    static bool exists(std::string_view name);

private:
    int descriptor_ = -1;
    bool owned_ = false;
};

// The lock file of a name: "<runtime folder>/<name>". Empty when the name is
// not a plain file name or there is no runtime folder.
std::string instanceLockPath(std::string_view name);

} // namespace tavrik::platform
