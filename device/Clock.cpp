#include "device/Clock.h"

#include <atomic>
#include <thread>

namespace tavrik::device {
namespace {

SteadyClock steadyClock;
std::atomic<Clock*> installedClock{&steadyClock};

} // namespace

void SteadyClock::sleepFor(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

WaitResult SteadyClock::waitForEvent(AutoResetEvent& event, std::chrono::milliseconds timeout) {
    return event.waitFor(timeout) ? WaitResult::Signalled : WaitResult::TimedOut;
}

Clock& deviceClock() {
    return *installedClock.load();
}

void installDeviceClock(Clock* clock) {
    installedClock.store(clock != nullptr ? clock : &steadyClock);
}

} // namespace tavrik::device
