#pragma once
// What a device-change worker does with a new device count: on removal the
// main window closes its child dialogs and hides; on arrival the keyboard's
// default layout and macro capacity are read and the main window reloads the
// working set from the keyboard. Then the tray icon follows, the count is
// stored, and the window opens by itself once per run unless the program was
// started hidden.

#include <cstdint>

namespace tavrik::sync {

// The worker body; runs on a worker thread and waits for the main window.
void respondToDeviceCount(std::int32_t deviceCount);

// Registers respondToDeviceCount as the body of every later device-change
// worker (DeviceChangeWorker.h). Called once at start, before the channels
// are registered.
void installDeviceChangeResponse();

// Called by the main window once it is initialised: a worker waiting for it
// goes on at once rather than at the end of its 50 ms step.
void noticeWindowInitialised();

} // namespace tavrik::sync
