// The main window's toolkit-free pieces: noticing a set clock, the link
// address and the current-profile caption.

#include "app/mainwindow/ClockJumpWatch.h"
#include "app/mainwindow/LinkAddress.h"
#include "app/profiles/ProfileCaption.h"
#include "text/LanguageTexts.h"

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

TEST(ProfileCaption, NamesTheActiveProfileByNumberOrTheDefaultProfile) {
    text::resetLanguageTexts();
    const struct {
        int activeProfile;
        std::u16string caption;
    } cases[] = {
        {-1, u"<Default Profile>"}, {0, u"Profile 1"},         {1, u"Profile 2"},
        {2, u"Profile 3"},          {3, u"<Default Profile>"},
    };
    for (const auto& c : cases) {
        const ProfileCaption caption = profileCaptionOf(c.activeProfile);
        EXPECT_EQ(caption.caption, c.caption) << c.activeProfile;
        EXPECT_EQ(caption.tip, u"The current contextual  mode: " + c.caption);
    }
    text::setLanguageText("PROFILE_TIP", u"Mode: ");
    text::setLanguageText("DEFAULT_PROFILE_NAME", u"none");
    text::setLanguageText("PROFILE_NUMBER", u"配置 %d");
    EXPECT_EQ(profileCaptionOf(-1).tip, u"Mode: none");
    EXPECT_EQ(profileCaptionOf(1).tip, u"Mode: 配置 2");
    // A text without its number still names a profile.
    text::setLanguageText("PROFILE_NUMBER", u"Profile");
    EXPECT_EQ(profileCaptionOf(0).caption, u"Profile");
    text::resetLanguageTexts();
}

} // namespace
} // namespace tavrik::app
