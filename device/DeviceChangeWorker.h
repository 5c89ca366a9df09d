#pragma once
// The device-change worker: started with a device count by the channel
// registration (the first count) and by every device-set event on the command
// channel. Each start runs the registered body on a short-lived thread of its
// own; several may overlap.
//
// The body (compare with the stored count, read the default layout and the
// macro capacity, tell the main window, set the tray icon, open the window
// once) belongs to the data-set code, which registers it at start with
// setDeviceChangeWorkerBody. Until a body is registered no worker is started.

#include <cstdint>
#include <functional>

namespace tavrik::device {

using DeviceChangeWorkerBody = std::function<void(std::int32_t deviceCount)>;

// Replaces the body run by later workers; an empty function removes it.
void setDeviceChangeWorkerBody(DeviceChangeWorkerBody body);

// Starts a worker for `deviceCount`. Returns false when no body is registered
// or the thread could not be created.
bool startDeviceChangeWorker(std::int32_t deviceCount);

} // namespace tavrik::device
