#pragma once
// Where the processes that use one virtual keyboard meet: one keyboard per
// state file, so beside it. Whoever names the state file finds them, whatever
// else its environment says.
//
//   <state>.server   flock(2) held by the process that serves the keyboard
//   <state>.lock     the keyboard's lock for command exchanges (DeviceLock.h)
//   <state>.socket   the serving process's device socket (DeviceServer.h);
//                    in the runtime folder, named after the state file's
//                    CRC-32, when the path is too long for a socket

#include <string>

namespace tavrik::service {

struct SharedDevicePaths {
    std::string serverLock;
    std::string exchangeLock;
    std::string socket;

    // Without a state file the keyboard is one process's alone.
    bool shared() const { return !serverLock.empty(); }
};

SharedDevicePaths sharedDevicePaths(const std::string& statePath);

} // namespace tavrik::service
