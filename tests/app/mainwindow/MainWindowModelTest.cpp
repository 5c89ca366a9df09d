// The main window's toolkit-free pieces: noticing a set clock and the link
// address.

#include "app/mainwindow/ClockJumpWatch.h"
#include "app/mainwindow/LinkAddress.h"

#include <gtest/gtest.h>

namespace tavrik::app {
namespace {

using namespace std::chrono_literals;

TEST(ClockJumpWatch, OnlyAWallClockStepBeyondTheToleranceCounts) {
    const struct {
        std::chrono::milliseconds wallStep;
        std::chrono::milliseconds realStep;
        bool jump;
    } cases[] = {
        {1000ms, 1000ms, false},       // both clocks ran
        {3100ms, 1000ms, true},        // set forward
        {-60000ms, 1000ms, true},      // set back
        {2900ms, 1000ms, false},       // within the tolerance
        {-900ms, 1000ms, false},       // slowed by a correction
        {3600000ms, 3600000ms, false}, // a long pause of the program, e.g. suspend
    };
    for (const auto& c : cases) {
        ClockJumpWatch watch(2000ms);
        const auto wall = std::chrono::system_clock::time_point(1700000000s);
        const auto boot = std::chrono::nanoseconds(5s);
        EXPECT_FALSE(watch.observe(wall, boot)) << "the first look only records";
        EXPECT_EQ(watch.observe(wall + c.wallStep, boot + c.realStep), c.jump)
            << c.wallStep.count() << " " << c.realStep.count();
        // The next look compares with the clock as it was set.
        EXPECT_FALSE(watch.observe(wall + c.wallStep + 1s, boot + c.realStep + 1s));
    }
}

TEST(ClockJumpWatch, TimeSinceBootRuns) {
    const auto first = ClockJumpWatch::timeSinceBoot();
    const auto second = ClockJumpWatch::timeSinceBoot();
    EXPECT_GT(first.count(), 0);
    EXPECT_GE(second, first);
}

TEST(LinkAddress, WebAddressesStayFileNamesAreTakenBesideTheSkin) {
    const std::string skin = "/opt/tavrik/Skins/";
    const std::string guide = "/opt/tavrik/Help/index.html";
    const struct {
        std::u16string value;
        std::string address;
    } cases[] = {
        {u"https://example.org/keyboard", "https://example.org/keyboard"},
        {u"mailto:help@example.org", "mailto:help@example.org"},
        {u"  http://example.org  ", "http://example.org"},
        {u"../Help/index.html", "/opt/tavrik/Help/index.html"},
        {u"..\\Help\\index.html", "/opt/tavrik/Help/index.html"},
        {u"./guide//index.html", "/opt/tavrik/Skins/guide/index.html"},
        {u"/usr/share/doc/tavrik/index.html", "/usr/share/doc/tavrik/index.html"},
        {u"/usr/share/doc/../doc/tavrik/index.html", "/usr/share/doc/tavrik/index.html"},
        {u"c:guide.html", "/opt/tavrik/Skins/c:guide.html"},
        {u"", guide},
        {u" ", guide},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(resolveLinkAddress(c.value, skin, guide), c.address);
    }
}

} // namespace
} // namespace tavrik::app
