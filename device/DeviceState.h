#pragma once
// What the program knows of the connected keyboard beyond a single command:
// how many keyboards the service reported and the device-change worker saw
// last. The last known active profile is kept by the command set
// (Commands.h); the keyboard's default layout and macro memory by the sync
// layer (sync/DeviceMemory.h). Read and written from the user-interface
// thread, the service's threads and the device-change workers.

#include <cstdint>

namespace tavrik::device {

// Bytes of macro memory per unit of device information byte 11.
inline constexpr std::uint32_t kMacroMemoryUnit = 128;

// 0 at start. The count the device-change workers compare with; it is
// stored only after the main window is initialised.
int storedDeviceCount();
void setStoredDeviceCount(int count);

// The count the service reported last, kept the moment it is reported and
// before any worker has responded to it; 0 at start. This answers "is a
// keyboard here?": the stored count lags behind while a worker waits for the
// window, and a keyboard the service has reported must never be shown to
// the user as missing.
int reportedDeviceCount();
void noteReportedDeviceCount(int count);

// Tests: the counts of a fresh start.
void resetDeviceState();

} // namespace tavrik::device
