#include "platform/TerminationSignals.h"

#include <csignal>
#include <gtest/gtest.h>
#include <poll.h>

namespace tavrik::platform {
namespace {

bool readable(int descriptor) {
    pollfd watched{descriptor, POLLIN, 0};
    return ::poll(&watched, 1, 0) == 1;
}

// A signal that ends the program from outside becomes something to read,
// not the end of the process; the next one ends it at once.
TEST(TerminationSignals, EachSignalBecomesReadableOnceAndTheNextOneIsFatal) {
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        SCOPED_TRACE(signal);
        TerminationSignals termination;
        ASSERT_TRUE(termination.valid());
        EXPECT_FALSE(readable(termination.descriptor()));
        ASSERT_EQ(::raise(signal), 0);
        EXPECT_TRUE(readable(termination.descriptor()));
        EXPECT_EQ(termination.takeSignal(), signal);
        EXPECT_EQ(termination.takeSignal(), 0);
        struct sigaction now {};
        ::sigaction(signal, nullptr, &now);
        EXPECT_EQ(now.sa_handler, SIG_DFL) << "a second one ends the process";
    }
}

} // namespace
} // namespace tavrik::platform
