#include "app/mainwindow/ClockJumpWatch.h"

#include <time.h>

namespace tavrik::app {

bool ClockJumpWatch::observe(std::chrono::system_clock::time_point wallTime,
                             std::chrono::nanoseconds timeSinceBoot) {
    const bool first = !observed_;
    const auto wallStep = wallTime - lastWallTime_;
    const auto realStep = timeSinceBoot - lastTimeSinceBoot_;
    observed_ = true;
    lastWallTime_ = wallTime;
    lastTimeSinceBoot_ = timeSinceBoot;
    if (first) {
        return false;
    }
    const auto drift = wallStep - realStep;
    return drift > tolerance_ || drift < -tolerance_;
}

std::chrono::nanoseconds ClockJumpWatch::timeSinceBoot() {
    timespec now{};
    ::clock_gettime(CLOCK_BOOTTIME, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

} // namespace tavrik::app
