#pragma once
// Every device test starts from a clean device link and leaves one behind:
// a fake service, a recording main window and a test clock installed, and
// all workers joined before the process-wide state is reset.

#include "device/Channels.h"
#include "device/Clock.h"
#include "device/Commands.h"
#include "device/DeviceChangeWorker.h"
#include "device/StartFlags.h"
#include "device/Transaction.h"
#include "device/WorkerThreads.h"
#include "platform/Ports.h"
#include "tests/device/FakeService.h"
#include "tests/device/RecordingMainWindow.h"
#include "tests/support/TestClock.h"

#include <gtest/gtest.h>

namespace tavrik::device::testing {

using tavrik::testing::TestClock;

inline void resetDeviceLink() {
    joinAllWorkers();
    setDeviceChangeWorkerBody({});
    platform::resetPorts();
    installDeviceClock(nullptr);
    resetChannels();
    resetStartFlags();
    responseHandover().reset();
    setCachedActiveProfile(-1);
}

class DeviceTest : public ::testing::Test {
protected:
    explicit DeviceTest(int clockDivisor = 1000) : clock(clockDivisor) {
        resetDeviceLink();
        clock.countWritesWith([this] { return service.writtenPackets().size(); });
        installDeviceClock(&clock);
        platform::installMainWindowPort(&window);
    }
    ~DeviceTest() override { resetDeviceLink(); }

    FakeService service;
    RecordingMainWindow window;
    TestClock clock;
};

} // namespace tavrik::device::testing
