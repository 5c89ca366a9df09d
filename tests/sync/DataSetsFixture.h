#pragma once
// Tests of the data sets, Apply and the workers: a fresh virtual keyboard
// behind the real service library, recording ports, a clock that waits a
// fifth of every wait, and clean process-wide state before and after.

#include "device/Commands.h"
#include "device/DeviceState.h"
#include "device/StartFlags.h"
#include "device/WorkerThreads.h"
#include "platform/PathSet.h"
#include "platform/Ports.h"
#include "sync/DataSets.h"
#include "sync/DeviceMemory.h"
#include "tests/support/RecordingPorts.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/TestClock.h"
#include "tests/support/VirtualKeyboardSession.h"
#include "text/LanguageTexts.h"

#include <gtest/gtest.h>

namespace tavrik::sync::testing {

inline void resetDataSetState() {
    device::joinAllWorkers();
    device::setDeviceChangeWorkerBody({});
    platform::resetPorts();
    device::installDeviceClock(nullptr);
    resetDataSets();
    device::resetDeviceState();
    resetDeviceMemory();
    device::resetStartFlags();
    device::setCachedActiveProfile(-1);
    platform::resetPathSet();
    text::resetLanguageTexts();
}

class DataSetsTest : public ::testing::Test {
protected:
    DataSetsTest() : clock(5), keyboard(folder) {}

    void SetUp() override {
        resetDataSetState();
        device::installDeviceClock(&clock);
        platform::installMainWindowPort(&window);
        platform::installPrompter(&prompter);
        platform::PathSet paths;
        paths.userDataFolder = folder.path() + "/Tavrik_09A";
        platform::installPathSet(paths);
    }

    void TearDown() override {
        keyboard.stop();
        resetDataSetState();
    }

    tavrik::testing::TemporaryFolder folder;
    tavrik::testing::RecordingWindow window;
    tavrik::testing::RecordingPrompter prompter;
    tavrik::testing::TestClock clock;
    tavrik::testing::VirtualKeyboardSession keyboard;
};

} // namespace tavrik::sync::testing
