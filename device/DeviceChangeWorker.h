#pragma once
// The device-change worker: started with a device count by the channel
// registration (the first count) and by every device-set event on the command
// channel. Each start runs the registered body on a short-lived thread of its
// own. The bodies run one at a time, in the order of their counts: a
// keyboard pulled, plugged and pulled again in quick succession is seen in
// that order, and no worker compares or stores a count while another one
// acts on its own (which once left a stored count of 1 for a keyboard that
// had gone again, and the last arrival unread).
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

// True when every worker started so far has acted: once a count was
// reported (DeviceState.h), the program has done with it.
bool deviceChangeWorkersIdle();

} // namespace tavrik::device
