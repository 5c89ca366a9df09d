#pragma once
// Every wait of the device link (the answer time-out, the pauses between
// attempts, the polling of the workers) goes through the installed clock, so
// tests can run the failure paths in milliseconds while the program keeps the
// protocol's real timing.

#include "device/AutoResetEvent.h"

#include <chrono>

namespace tavrik::device {

enum class WaitResult { Signalled, TimedOut, Failed };

class Clock {
public:
    virtual ~Clock() = default;
    virtual void sleepFor(std::chrono::milliseconds duration) = 0;
    virtual WaitResult waitForEvent(AutoResetEvent& event, std::chrono::milliseconds timeout) = 0;
};

// The steady clock of the operating system; what the program uses.
class SteadyClock final : public Clock {
public:
    void sleepFor(std::chrono::milliseconds duration) override;
    WaitResult waitForEvent(AutoResetEvent& event, std::chrono::milliseconds timeout) override;
};

// The installed clock; the steady clock until another is installed.
Clock& deviceClock();
// nullptr puts the steady clock back. The clock must outlive every thread
// that may still wait on it.
void installDeviceClock(Clock* clock);

} // namespace tavrik::device
