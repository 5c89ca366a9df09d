#include "platform/ClockSetTimer.h"

#include <cerrno>
#include <cstdint>
#include <ctime>
#include <sys/timerfd.h>
#include <unistd.h>

namespace tavrik::platform {
namespace {

// The timer itself is never meant to expire: it is set a year ahead, and an
// expiry only arms it again.
constexpr std::time_t kAYear = 365L * 24 * 60 * 60;

} // namespace

ClockSetTimer::ClockSetTimer() {
    descriptor_ = ::timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (descriptor_ >= 0 && !arm()) {
        ::close(descriptor_);
        descriptor_ = -1;
    }
}

ClockSetTimer::~ClockSetTimer() {
    if (descriptor_ >= 0) {
        ::close(descriptor_);
    }
}

bool ClockSetTimer::arm() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    itimerspec when{};
    when.it_value.tv_sec = now.tv_sec + kAYear;
    return ::timerfd_settime(descriptor_, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &when,
                             nullptr) == 0;
}

bool ClockSetTimer::takeClockSet() {
    if (descriptor_ < 0) {
        return false;
    }
    std::uint64_t expirations = 0;
    const bool set =
        ::read(descriptor_, &expirations, sizeof expirations) < 0 && errno == ECANCELED;
    arm();
    return set;
}

} // namespace tavrik::platform
