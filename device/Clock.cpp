#include "device/Clock.h"

#include <atomic>
#include <thread>

namespace tavrik::device {
namespace {

// Never destroyed: a worker may still wait on it while the process ends.
SteadyClock& steadyClock() {
    static auto* clock = new SteadyClock;
    return *clock;
}

std::atomic<Clock*> installedClock{nullptr};

} // namespace

void SteadyClock::sleepFor(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

WaitResult SteadyClock::waitForEvent(AutoResetEvent& event, std::chrono::milliseconds timeout) {
    return event.waitFor(timeout) ? WaitResult::Signalled : WaitResult::TimedOut;
}

Clock& deviceClock() {
    Clock* installed = installedClock.load();
    return installed != nullptr ? *installed : steadyClock();
}

void installDeviceClock(Clock* clock) {
    installedClock.store(clock);
}

} // namespace tavrik::device
