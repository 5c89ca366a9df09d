// The program on X11 with no notification area, as GNOME's is without an
// extension: Qt's own answer says there is no tray, and a start that would
// wait out of sight waits minimised instead, where the task switcher has it.

#include "tests/app/startup/ProgramProcessFixture.h"
#include "tests/app/startup/VirtualX11Display.h"

namespace tavrik::app {
namespace {

using namespace tavrik::testing;

const std::string kMinimised = "window minimised";

TEST_F(ProgramProcessTest, WithoutATrayHostAStartThatWaitsHiddenWaitsMinimised) {
    VirtualX11Display x11;
    if (const std::string why = x11.start(); !why.empty()) {
        GTEST_SKIP() << why;
    }
    x11Display_ = x11.display();
    Instance first = launch({QStringLiteral("/Start")}, "0", Display::X11);
    ASSERT_TRUE(first.waitForLog(kInitHandled)) << first.log();
    ASSERT_TRUE(first.waitForLog(kMinimised)) << first.log();
    EXPECT_EQ(first.log().find(kWindowShown), std::string::npos) << first.log();

    // A second start brings it up as ever.
    Instance second = launch({}, "0", Display::X11);
    EXPECT_TRUE(second.endsWithZero()) << second.log();
    ASSERT_TRUE(first.waitForLog(kWindowShown)) << first.log();
    EXPECT_EQ(countOf(first.log(), kMinimised), 1) << first.log();
    EXPECT_EQ(first.process().state(), QProcess::Running);
}

} // namespace
} // namespace tavrik::app
