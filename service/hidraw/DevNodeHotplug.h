#pragma once
// Hot-plug notices where no udev runs: the kernel (devtmpfs) or whatever
// manages the device folder creates and removes hidraw nodes there, and an
// inotify watch on the folder hears of it. Nothing wakes while nothing is
// plugged or unplugged; a node whose permissions change later counts too.

#include "service/hidraw/HotplugSource.h"

#include <memory>
#include <string>

namespace tavrik::service {

inline constexpr const char* kDeviceFolder = "/dev";

// Notices of "hidraw*" entries coming, going or changing in `folder`; null
// when the folder cannot be watched.
std::unique_ptr<HotplugSource> createDevNodeHotplug(const std::string& folder = kDeviceFolder);

} // namespace tavrik::service
