#pragma once
// Tests of the data sets, Apply and the workers: a fresh virtual keyboard
// behind the real service library, recording ports, a clock that waits a
// fifth of every wait, and clean process-wide state before and after.

#include "app/PathSet.h"
#include "device/Commands.h"
#include "device/DataSets.h"
#include "device/DeviceState.h"
#include "device/StartFlags.h"
#include "device/WorkerThreads.h"
#include "platform/Ports.h"
#include "tests/device/TestClock.h"
#include "tests/support/RecordingPorts.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/VirtualKeyboardSession.h"
#include "ui/LanguageTexts.h"

#include <gtest/gtest.h>

namespace tavrik::device::testing {

inline void resetDataSetState() {
    joinAllWorkers();
    setDeviceChangeWorkerBody({});
    platform::resetPorts();
    installDeviceClock(nullptr);
    resetDataSets();
    resetDeviceState();
    resetStartFlags();
    setCachedActiveProfile(-1);
    app::resetPathSet();
    ui::resetLanguageTexts();
}

class DataSetsTest : public ::testing::Test {
protected:
    DataSetsTest() : clock(5), keyboard(folder) {}

    void SetUp() override {
        resetDataSetState();
        installDeviceClock(&clock);
        platform::installMainWindowPort(&window);
        platform::installPrompter(&prompter);
        app::PathSet paths;
        paths.userDataFolder = folder.path() + "/Tavrik_09A";
        app::installPathSet(paths);
    }

    void TearDown() override {
        keyboard.stop();
        resetDataSetState();
    }

    tavrik::testing::TemporaryFolder folder;
    tavrik::testing::RecordingWindow window;
    tavrik::testing::RecordingPrompter prompter;
    TestClock clock;
    tavrik::testing::VirtualKeyboardSession keyboard;
};

} // namespace tavrik::device::testing
