#pragma once
// The standing requests (channels) through which the keyboard reports what
// happens on it: the consumer channel, the command channel, and the LED
// request that shows the G-key bank. Each channel keeps one unit id, 0 before
// its first registration; re-registering deletes the stored id first, so a
// channel never has more than one standing request.

#include <array>
#include <cstdint>

namespace tavrik::device {

struct ChannelUnitIds {
    std::uint32_t led = 0;
    std::uint32_t consumer = 0;
    std::uint32_t command = 0;
};

ChannelUnitIds channelUnitIds();

// The G-key bank: 0 = bank A, 1 = bank B. Bank A at every start.
int currentBank();
// Switches to the other bank; returns the new one.
int flipBank();

// The 2-byte LED report for the current bank: 0x05, then 0x02 plus the bank.
std::array<std::uint8_t, 2> ledReport();

// Called once after the service was bound: bank A and LED unit id 0, the
// consumer channel, a clear response hand-over, the command channel, then the
// first device count, which starts the device-change worker. With no
// keyboard present the start-hidden flag is set, so a keyboard plugged in
// later does not open the window by itself.
void registerChannels();

// (Re)registers the LED request with the current report.
void registerLedRequest();

// Tests: bank A and every unit id 0, without calling the service.
void resetChannels();

} // namespace tavrik::device
