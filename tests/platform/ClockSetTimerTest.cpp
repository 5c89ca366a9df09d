// The clock-set timer stays quiet while nobody sets the clock: a program
// that watches it is never woken for nothing. (Setting the clock to see it
// fire would change the machine's time for everyone, so that is not done.)

#include "platform/ClockSetTimer.h"

#include <gtest/gtest.h>
#include <poll.h>

namespace tavrik::platform {
namespace {

bool readable(int descriptor) {
    pollfd watched{descriptor, POLLIN, 0};
    return ::poll(&watched, 1, 0) == 1 && (watched.revents & POLLIN) != 0;
}

TEST(ClockSetTimer, IsQuietWhileTheClockIsNotSet) {
    ClockSetTimer timer;
    ASSERT_TRUE(timer.valid());
    EXPECT_FALSE(readable(timer.descriptor()));
    EXPECT_FALSE(timer.takeClockSet());
    EXPECT_FALSE(readable(timer.descriptor())) << "armed again";
}

} // namespace
} // namespace tavrik::platform
