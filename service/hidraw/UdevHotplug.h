#pragma once
// Hot-plug notices from udev's monitor: the hidraw nodes that udev has added
// or removed, after its rules have run (so a new node already has the
// permissions the rules give it).

#include "service/hidraw/HotplugSource.h"

#include <memory>
#include <string>

namespace tavrik::service {

// The udev daemon's control socket: present while udev runs.
inline constexpr const char* kUdevControlPath = "/run/udev/control";

// True when udev runs, judged by its control socket at `controlPath`.
bool udevRunning(const std::string& controlPath = kUdevControlPath);

// udev's monitor of hidraw nodes; null where udev does not run (nothing
// would ever be announced) or the monitor cannot be had.
std::unique_ptr<HotplugSource> createUdevHotplug();

} // namespace tavrik::service
