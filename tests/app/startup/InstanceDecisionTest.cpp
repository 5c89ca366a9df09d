#include "app/startup/InstanceDecision.h"

#include "tests/support/TemporaryFolder.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

namespace tavrik::app {
namespace {

constexpr pid_t kRunning = 4242;

struct Notified {
    pid_t process;
    int mode;
    friend bool operator==(const Notified&, const Notified&) = default;
};

class InstanceDecisionTest : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("XDG_RUNTIME_DIR", runtime_.path().c_str(), 1); }
    void TearDown() override { ::unsetenv("XDG_RUNTIME_DIR"); }

    InstanceDecision decide(std::vector<std::string> arguments, pid_t found) {
        return decideInstance(
            arguments, [found] { return found; },
            [this](pid_t process, int mode) {
                notified_.push_back({process, mode});
                return true;
            });
    }

    testing::TemporaryFolder runtime_;
    std::vector<Notified> notified_;
};

TEST_F(InstanceDecisionTest, SwitchesAreReadLeftToRightInAnyCase) {
    struct Case {
        std::vector<std::string> arguments;
        pid_t found;
        InstanceOutcome outcome;
        bool startHidden;
        std::vector<Notified> notified;
    };
    const Case cases[] = {
        {{"/Kill"}, kRunning, InstanceOutcome::EndProcess, false, {{kRunning, 1}}},
        {{"/kILL"}, kRunning, InstanceOutcome::EndProcess, false, {{kRunning, 1}}},
        // The kill ends the start; "/Start" before it has no further effect.
        {{"/START", "/kill"}, kRunning, InstanceOutcome::EndProcess, true, {{kRunning, 1}}},
        {{"/Kill", "/Start"}, kRunning, InstanceOutcome::EndProcess, false, {{kRunning, 1}}},
        // No process found: the kill is dropped and the rest still counts.
        {{"/kill", "/start"}, 0, InstanceOutcome::FirstInstance, true, {}},
        {{"/start"}, kRunning, InstanceOutcome::FirstInstance, true, {}},
        {{"Start", "/Killer", "-kill", "/Kil", ""},
         kRunning,
         InstanceOutcome::FirstInstance,
         false,
         {}},
        {{}, kRunning, InstanceOutcome::FirstInstance, false, {}},
    };
    for (const Case& c : cases) {
        notified_.clear();
        const InstanceDecision decision = decide(c.arguments, c.found);
        const std::string line = ::testing::PrintToString(c.arguments);
        EXPECT_EQ(decision.outcome, c.outcome) << line;
        if (c.outcome == InstanceOutcome::EndProcess) {
            EXPECT_FALSE(decision.mutex.isOpen()) << line;
        } else {
            EXPECT_EQ(decision.startHidden, c.startHidden) << line;
            EXPECT_TRUE(decision.mutex.isOwned()) << line;
        }
        EXPECT_EQ(notified_, c.notified) << line;
    }
}

TEST_F(InstanceDecisionTest, AHeldMutexHandsOverToTheRunningInstance) {
    const InstanceDecision first = decide({}, kRunning);
    ASSERT_TRUE(first.mutex.isOwned());

    const InstanceDecision second = decide({"/Start"}, kRunning);
    EXPECT_EQ(second.outcome, InstanceOutcome::EndProcess);
    EXPECT_EQ(notified_, (std::vector<Notified>{{kRunning, 0}}));

    // Held, but no process to be found: go on, keeping the opened handle.
    notified_.clear();
    const InstanceDecision blind = decide({}, 0);
    EXPECT_EQ(blind.outcome, InstanceOutcome::FirstInstance);
    EXPECT_TRUE(blind.mutex.isOpen());
    EXPECT_FALSE(blind.mutex.isOwned());
    EXPECT_TRUE(notified_.empty());
}

TEST_F(InstanceDecisionTest, TheMutexOfAFinishedInstanceIsTakenAgain) {
    {
        const InstanceDecision first = decide({}, kRunning);
        ASSERT_TRUE(first.mutex.isOwned());
    }
    const InstanceDecision next = decide({}, kRunning);
    EXPECT_EQ(next.outcome, InstanceOutcome::FirstInstance);
    EXPECT_TRUE(next.mutex.isOwned());
    EXPECT_TRUE(notified_.empty());
}

} // namespace
} // namespace tavrik::app
