#pragma once
// Noticing that the system clock was set. The main window looks when the
// kernel says the clock was set or the system resumed (platform/
// ClockSetTimer.h), or every second where it cannot say: if the wall clock
// moved by more than the tolerance against the time that really passed,
// someone set it. The time that passed is taken from the clock that keeps
// counting through suspend (CLOCK_BOOTTIME), so waking from sleep is not
// taken for a change of the clock. Slow corrections (NTP slewing) stay
// within the tolerance and go unnoticed, as they should.

#include <chrono>

namespace tavrik::app {

class ClockJumpWatch {
public:
    explicit ClockJumpWatch(std::chrono::milliseconds tolerance) : tolerance_(tolerance) {}

    // One look at both clocks. Returns true when the wall clock jumped since
    // the previous look; the first look only records.
    bool observe(std::chrono::system_clock::time_point wallTime,
                 std::chrono::nanoseconds timeSinceBoot);

    // The two clocks as the program reads them.
    static std::chrono::nanoseconds timeSinceBoot();

private:
    std::chrono::milliseconds tolerance_;
    bool observed_ = false;
    std::chrono::system_clock::time_point lastWallTime_;
    std::chrono::nanoseconds lastTimeSinceBoot_{0};
};

} // namespace tavrik::app
