#pragma once
// DeviceEventCallback: the one callback the service calls, on its own
// threads, for every channel. It does almost nothing itself; real work goes to
// the user-interface thread (a one-shot timer or a message to the main
// window) or to a short-lived worker.

#include "VezAror.h"

#include <cstdint>

namespace tavrik::device {

// Codes of the keyboard's consumer-control interface that mean something.
namespace consumer {
constexpr std::uint16_t BankSwitch = 767;      // switch the G-key bank
constexpr std::uint16_t LightingReload = 1025; // refresh the lighting view
constexpr std::uint16_t ProfileReload = 1026;  // reload the profile from the keyboard
constexpr std::uint16_t TrayNormal = 6160;     // tray icon back to its normal state
constexpr std::uint16_t TrayAlternate = 6161;  // tray icon to the alternate state
} // namespace consumer

// Consumer channel, input report: the code's action (others are ignored).
// Command channel, input report: the answer of a waiting transaction.
// Command channel, device set changed: a device-change worker for the count.
// Returns 1 in every case.
std::int32_t DeviceEventCallback(const ServiceEvent* event);

} // namespace tavrik::device
