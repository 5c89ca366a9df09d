// The follower of the focused application against a target that records
// what it is asked: the switch once the focus has rested, the switch that
// waits, and the switch made by hand that stands.

#include "app/appprofiles/FocusFollower.h"

#include "tests/support/GuiTestApplication.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <gtest/gtest.h>
#include <vector>

namespace tavrik::app {
namespace {

class RecordingTarget final : public FocusFollowerTarget {
public:
    int activeProfile() const override { return active; }
    bool switchWaits() const override { return waits; }
    bool switchTo(int profile) override {
        switches.push_back(profile);
        if (takes) {
            active = profile;
        }
        return takes;
    }
    void followingChanged() override { ++changes; }

    int active = 0;
    bool waits = false;
    bool takes = true;
    std::vector<int> switches;
    int changes = 0;
};

template <typename Condition> bool serveUntil(Condition condition) {
    const QDeadlineTimer patience(10000);
    while (!condition() && !patience.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return condition();
}

class FocusFollowerTest : public ::testing::Test {
protected:
    FocusFollowerTest() {
        ApplicationRules rules;
        rules.set("gimp", 1);
        rules.set("game", 2);
        rules.setDefault(0);
        follower_.setRules(rules);
    }
    // Served until the follower has acted on the focus (a switch or a wait).
    bool settled() {
        return serveUntil([this] { return target_.changes > changesBefore_; });
    }
    void focus(const char* id) {
        changesBefore_ = target_.changes;
        follower_.focusChanged({id, {}});
    }

    RecordingTarget target_;
    FocusFollower follower_{target_};
    int changesBefore_ = 0;
};

TEST_F(FocusFollowerTest, FlickeringFocusSwitchesOnceToWhereItRests) {
    focus("gimp");
    focus("game");
    focus("gimp");
    focus("game");
    EXPECT_TRUE(target_.switches.empty()) << "nothing before the focus rests";
    ASSERT_TRUE(settled());
    EXPECT_EQ(target_.switches, (std::vector<int>{2}));
    ASSERT_TRUE(follower_.inForce());
    EXPECT_EQ(follower_.inForce()->ruleId, "game");

    focus("game"); // the same application again changes nothing
    focus("kate");
    ASSERT_TRUE(settled());
    EXPECT_EQ(target_.switches, (std::vector<int>{2, 0})) << "the default";
    EXPECT_TRUE(follower_.inForce()->ruleId.empty());
}

TEST_F(FocusFollowerTest, ASwitchThatMustWaitComesWhenAskedAgainAndARefusalStandsNoRule) {
    target_.waits = true;
    focus("gimp");
    ASSERT_TRUE(settled());
    EXPECT_TRUE(target_.switches.empty());
    ASSERT_TRUE(follower_.waiting());
    EXPECT_EQ(follower_.waiting()->profile, 1);
    follower_.retry();
    EXPECT_TRUE(target_.switches.empty()) << "still waiting";
    target_.waits = false;
    follower_.retry();
    EXPECT_EQ(target_.switches, (std::vector<int>{1}));
    EXPECT_FALSE(follower_.waiting());
    EXPECT_EQ(follower_.inForce()->ruleId, "gimp");

    target_.takes = false;
    focus("game");
    ASSERT_TRUE(settled());
    EXPECT_FALSE(follower_.inForce()) << "the keyboard refused: no rule in force";
}

TEST_F(FocusFollowerTest, ASwitchByHandStandsUntilTheFocusMoves) {
    focus("gimp");
    ASSERT_TRUE(settled());
    ASSERT_EQ(target_.active, 1);
    follower_.noticeActiveProfile(1); // its own switch, seen by the window
    EXPECT_TRUE(follower_.inForce());

    target_.active = 2; // a profile button, the keyboard's key, a script
    follower_.noticeActiveProfile(2);
    EXPECT_FALSE(follower_.inForce());
    follower_.retry();
    EXPECT_EQ(target_.switches, (std::vector<int>{1})) << "nothing takes it back";

    focus("kate");
    ASSERT_TRUE(settled());
    EXPECT_EQ(target_.switches, (std::vector<int>{1, 0})) << "the focus moved: the rules again";

    // Rules changed while an application has the focus take effect at once.
    ApplicationRules rules = follower_.rules();
    rules.set("kate", 2);
    follower_.setRules(rules);
    EXPECT_EQ(target_.switches, (std::vector<int>{1, 0, 2}));
}

} // namespace
} // namespace tavrik::app
