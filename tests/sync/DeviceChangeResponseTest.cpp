#include "sync/DeviceChangeResponse.h"

#include "device/DeviceChangeWorker.h"
#include "keyboard/KeyMapCodec.h"
#include "tests/sync/DataSetsFixture.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

namespace tavrik::sync::testing {
namespace {

// The link and the formats that the sync layer drives.
using namespace tavrik::device;
using namespace tavrik::profile;

using namespace std::chrono_literals;
using Call = tavrik::testing::RecordingWindow::Call;
namespace message = platform::message;
namespace wparam = platform::wparam;
namespace trayicon = platform::trayicon;

bool eventually(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

std::vector<std::uint8_t> layoutBytes() {
    const keyboard::KeyMapLayer layout = defaultLayout();
    return {layout.begin(), layout.end()};
}

TEST_F(DataSetsTest, ArrivalAndRemovalFollowTheKeyboardAndOpenTheWindowOnce) {
    ASSERT_TRUE(keyboard.start());
    const std::vector<std::uint8_t> info = keyboard.area("info");
    ASSERT_EQ(info.size(), 44u);

    respondToDeviceCount(1);
    EXPECT_EQ(layoutBytes(), keyboard.area("layout"));
    EXPECT_EQ(macroCapacity(), info[11] * 128u);
    EXPECT_EQ(storedDeviceCount(), 1);
    EXPECT_TRUE(startFlags().startHidden.load());
    EXPECT_EQ(window.calls(), (std::vector<Call>{{"send", message::ProfileReload, wparam::Prof},
                                                 {"tray", trayicon::KeyboardPresent, 0},
                                                 {"post", message::Open, wparam::Open}}));

    window.clear();
    respondToDeviceCount(1);
    EXPECT_TRUE(window.calls().empty());

    setCachedActiveProfile(2);
    respondToDeviceCount(0);
    EXPECT_EQ(cachedActiveProfile(), -1);
    EXPECT_EQ(storedDeviceCount(), 0);
    EXPECT_EQ(window.calls(), (std::vector<Call>{{"send", message::DeviceRemoved, 0},
                                                 {"hide", 0, 0},
                                                 {"tray", trayicon::NoKeyboard, 0}}));

    // Plugged in again: the window was opened once already in this run.
    window.clear();
    respondToDeviceCount(1);
    EXPECT_EQ(window.calls(), (std::vector<Call>{{"send", message::ProfileReload, wparam::Prof},
                                                 {"tray", trayicon::KeyboardPresent, 0}}));
    EXPECT_TRUE(prompter.messages().empty());
}

TEST_F(DataSetsTest, AProgramStartedHiddenNeverOpensItsWindowByItself) {
    ASSERT_TRUE(keyboard.start());
    startFlags().startHidden.store(true);
    respondToDeviceCount(1);
    EXPECT_TRUE(window.callsOf("post").empty());
    EXPECT_EQ(window.callsOf("tray").size(), 1u);
}

TEST_F(DataSetsTest, AFailedLayoutReadIsShownAndKeepsThePreviousLayout) {
    ASSERT_TRUE(keyboard.start());
    // Present, but answering neither read (three attempts each).
    keyboard.control("fault noanswer 6");
    setMacroCapacity(1280);
    respondToDeviceCount(1);
    EXPECT_EQ(defaultLayout(), keyboard::BuiltInDefaultLayout);
    EXPECT_EQ(macroCapacity(), 1280u);
    EXPECT_EQ(prompter.messages(),
              std::vector<std::u16string>{u"Reads the default keyboard layout failure"});
    EXPECT_EQ(window.callsOf("send").size(), 1u);
}

TEST_F(DataSetsTest, TheWorkerWaitsForTheWindowBeforeItStoresTheCount) {
    installDeviceChangeResponse();
    window.setInitialised(false);
    ASSERT_TRUE(keyboard.start()); // the first device count starts a worker
    ASSERT_TRUE(eventually([this] { return window.initialisedQueries() >= 3; }));
    EXPECT_TRUE(window.callsOf("tray").empty());
    EXPECT_EQ(storedDeviceCount(), 0);

    window.setInitialised(true);
    joinAllWorkers();
    EXPECT_EQ(storedDeviceCount(), 1);
    EXPECT_EQ(window.callsOf("tray"), (std::vector<Call>{{"tray", trayicon::KeyboardPresent, 0}}));
    const auto steps = clock.waits();
    EXPECT_GE(std::count(steps.begin(), steps.end(), 50ms), 2) << "in steps of 50 ms";
}

// Each step of the wait ends when the window says it is initialised, not
// when its time is up: this clock gives the steps ten seconds each, and
// tells whether any ran out.
class LongStepClock final : public device::Clock {
public:
    void sleepFor(std::chrono::milliseconds duration) override { steady_.sleepFor(duration); }
    device::WaitResult waitForEvent(device::AutoResetEvent& event,
                                    std::chrono::milliseconds timeout) override {
        if (timeout != 50ms) {
            return steady_.waitForEvent(event, timeout);
        }
        const device::WaitResult result = steady_.waitForEvent(event, 10s);
        stepsRunOut += result == device::WaitResult::TimedOut ? 1 : 0;
        return result;
    }
    std::atomic<int> stepsRunOut{0};

private:
    device::SteadyClock steady_;
};

TEST_F(DataSetsTest, TheWorkerGoesOnAsSoonAsTheWindowIsInitialised) {
    LongStepClock longSteps;
    device::installDeviceClock(&longSteps);
    installDeviceChangeResponse();
    window.setInitialised(false);
    ASSERT_TRUE(keyboard.start());
    ASSERT_TRUE(eventually([this] { return window.initialisedQueries() >= 1; }));

    window.setInitialised(true);
    noticeWindowInitialised();
    joinAllWorkers();
    device::installDeviceClock(&clock);
    EXPECT_EQ(storedDeviceCount(), 1);
    EXPECT_EQ(longSteps.stepsRunOut, 0);
}

TEST_F(DataSetsTest, UnpluggingTheKeyboardHidesTheWindowThroughTheService) {
    installDeviceChangeResponse();
    ASSERT_TRUE(keyboard.start());
    joinAllWorkers();
    ASSERT_EQ(storedDeviceCount(), 1);

    keyboard.control("unplug");
    ASSERT_TRUE(eventually([] { return storedDeviceCount() == 0; }));
    joinAllWorkers();
    EXPECT_EQ(window.callsOf("hide").size(), 1u);
    EXPECT_EQ(window.callsOf("send").back(), (Call{"send", message::DeviceRemoved, 0}));

    keyboard.control("plug");
    ASSERT_TRUE(eventually([] { return storedDeviceCount() == 1; }));
    joinAllWorkers();
    EXPECT_EQ(window.callsOf("post").size(), 1u); // opened at the first arrival only
}

} // namespace
} // namespace tavrik::sync::testing
