#include "device/Channels.h"

#include "device/DeviceEvents.h"
#include "device/DeviceState.h"
#include "tests/device/DeviceFixture.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

namespace tavrik::device::testing {
namespace {

// Records the counts that device-change workers were started with.
class WorkerCounts {
public:
    WorkerCounts() {
        setDeviceChangeWorkerBody([this](std::int32_t count) {
            std::lock_guard lock(mutex_);
            counts_.push_back(count);
        });
    }
    // Sorted: workers run side by side, in no fixed order.
    std::vector<std::int32_t> counts() {
        joinAllWorkers();
        std::lock_guard lock(mutex_);
        std::vector<std::int32_t> sorted = counts_;
        std::sort(sorted.begin(), sorted.end());
        return sorted;
    }

private:
    std::mutex mutex_;
    std::vector<std::int32_t> counts_;
};

using Channels = DeviceTest;

TEST_F(Channels, RegistrationFollowsItsOrderAndFirstDeletesUnitIdZero) {
    WorkerCounts workers;
    service.setDeviceCount(1);
    registerChannels();

    const std::vector<std::string> expected = {"DeleteRequestFromUnitId", "RequestAsyncRead",
                                               "DeleteRequestFromUnitId", "RequestAsyncRead",
                                               "RequestGetDeviceCount"};
    EXPECT_EQ(service.callNames(), expected);
    const std::vector<ServiceCall> calls = service.calls();
    EXPECT_EQ(calls[0].unitId, 0u);
    EXPECT_EQ(calls[1].tag, VEZAROR_TAG_CONS);
    EXPECT_EQ(calls[1].selector.usagePage, 0x000C);
    EXPECT_EQ(calls[2].unitId, 0u);
    EXPECT_EQ(calls[3].tag, VEZAROR_TAG_CTRL);
    EXPECT_EQ(calls[3].selector.usagePage, 0xFF1C);
    EXPECT_EQ(calls[4].selector.usagePage, 0xFF1C);
    for (const ServiceCall& call : calls) {
        EXPECT_TRUE(call.signatureValid) << call.name;
    }
    const ChannelUnitIds ids = channelUnitIds();
    EXPECT_EQ(ids.consumer, calls[1].unitId);
    EXPECT_EQ(ids.command, calls[3].unitId);
    EXPECT_EQ(ids.led, 0u);
    EXPECT_EQ(workers.counts(), std::vector<std::int32_t>{1});
    EXPECT_FALSE(startFlags().startHidden.load());
}

TEST_F(Channels, ReRegistrationDeletesTheStoredUnitIds) {
    registerChannels();
    const ChannelUnitIds first = channelUnitIds();
    service.clearCalls();
    registerChannels();
    const std::vector<ServiceCall> calls = service.calls();
    EXPECT_EQ(calls[0].unitId, first.consumer);
    EXPECT_EQ(calls[2].unitId, first.command);
    EXPECT_NE(channelUnitIds().consumer, first.consumer);
}

TEST_F(Channels, NoKeyboardAtStartSetsTheStartHiddenFlag) {
    WorkerCounts workers;
    service.setDeviceCount(0);
    registerChannels();
    EXPECT_TRUE(startFlags().startHidden.load());
    EXPECT_EQ(workers.counts(), std::vector<std::int32_t>{0});
}

TEST_F(Channels, TwoBankEventsReturnToBankAAndRegisterTheLedRequestTwice) {
    registerChannels();
    service.clearCalls();

    EXPECT_EQ(FakeService::sendConsumerCode(consumer::BankSwitch), 1);
    EXPECT_EQ(currentBank(), 1);
    EXPECT_EQ(FakeService::sendConsumerCode(consumer::BankSwitch), 1);
    EXPECT_EQ(currentBank(), 0);

    const std::vector<ServiceCall> calls = service.calls();
    const std::vector<std::string> expected = {"DeleteRequestFromUnitId", "RequestStatusWrite",
                                               "DeleteRequestFromUnitId", "RequestStatusWrite"};
    ASSERT_EQ(service.callNames(), expected);
    EXPECT_EQ(calls[0].unitId, 0u);
    EXPECT_EQ(calls[1].data, (Bytes{0x05, 0x03}));
    EXPECT_EQ(calls[1].tag, VEZAROR_TAG_LED);
    EXPECT_EQ(calls[1].selector.usagePage, 0x0008);
    EXPECT_EQ(calls[1].selector.usage, 0x0089);
    EXPECT_EQ(calls[2].unitId, calls[1].unitId); // the second deletes the first
    EXPECT_EQ(calls[3].data, (Bytes{0x05, 0x02}));
    EXPECT_TRUE(calls[1].signatureValid);
    EXPECT_TRUE(calls[3].signatureValid);
    EXPECT_EQ(channelUnitIds().led, calls[3].unitId);

    // The main window hears of each switch after the bank bit changed.
    const auto sent = window.sent();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].message, 0x5045u);
    EXPECT_EQ(sent[0].wParam, 0x004C4544u);
    EXPECT_EQ(sent[0].bankWhenSent, 1);
    EXPECT_EQ(sent[1].bankWhenSent, 0);
}

TEST_F(Channels, ConsumerCodesRaiseTheirTimersAndOthersChangeNothing) {
    struct Row {
        std::uint16_t code;
        std::vector<std::pair<std::uint32_t, std::uint32_t>> timers;
    };
    const Row rows[] = {
        {1025, {{1051, 0}}}, {1026, {{1053, 0}}}, {6145, {}}, {6146, {}},
        {6147, {}},          {6148, {}},          {0, {}},    {766, {}},
        {1024, {}},          {6162, {}},
    };
    registerChannels();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.code);
        RecordingMainWindow rowWindow;
        platform::installMainWindowPort(&rowWindow);
        service.clearCalls();
        EXPECT_EQ(FakeService::sendConsumerCode(row.code), 1);
        joinAllWorkers();
        EXPECT_EQ(rowWindow.timers(), row.timers);
        EXPECT_TRUE(rowWindow.sent().empty());
        EXPECT_TRUE(rowWindow.trayIcons().empty());
        EXPECT_TRUE(service.calls().empty());
        EXPECT_EQ(currentBank(), 0);
        platform::installMainWindowPort(&window);
    }
}

TEST_F(Channels, TrayEventsSetTheAlternateOrTheLastNormalIconOneWorkerAtATime) {
    window.setLastNormalTrayIcon(platform::trayicon::NoKeyboard);
    FakeService::sendConsumerCode(consumer::TrayAlternate);
    joinAllWorkers();
    FakeService::sendConsumerCode(consumer::TrayNormal);
    joinAllWorkers();
    EXPECT_EQ(window.trayIcons(), (std::vector<int>{142, 128}));

    for (int i = 0; i < 12; ++i) {
        FakeService::sendConsumerCode(i % 2 == 0 ? consumer::TrayAlternate : consumer::TrayNormal);
    }
    joinAllWorkers();
    EXPECT_EQ(window.trayIcons().size(), 14u);
    EXPECT_EQ(window.mostTrayCallsAtOnce(), 1);
}

TEST_F(Channels, DeviceSetChangesOnTheCommandChannelStartTheDeviceChangeWorker) {
    WorkerCounts workers;
    EXPECT_EQ(FakeService::sendDeviceSetChange(VEZAROR_TAG_CTRL, 0), 1);
    EXPECT_EQ(FakeService::sendDeviceSetChange(VEZAROR_TAG_CONS, 5), 1);
    EXPECT_EQ(FakeService::sendDeviceSetChange(VEZAROR_TAG_LED, 6), 1);
    EXPECT_EQ(FakeService::sendDeviceSetChange(VEZAROR_TAG_CTRL, 2), 1);
    EXPECT_EQ(workers.counts(), (std::vector<std::int32_t>{0, 2}));
}

TEST_F(Channels, IncompleteEventsAreIgnored) {
    EXPECT_EQ(DeviceEventCallback(nullptr), 1);
    ServiceEvent event{};
    event.kind = VEZAROR_EVENT_INPUT_REPORT;
    EXPECT_EQ(DeviceEventCallback(&event), 1);
    ServiceRequestRecord record{};
    record.tag = VEZAROR_TAG_CONS;
    event.request = &record;
    EXPECT_EQ(DeviceEventCallback(&event), 1); // no report
    ServiceConsumerReport report{};
    record.report = &report;
    EXPECT_EQ(DeviceEventCallback(&event), 1); // no code
    record.tag = VEZAROR_TAG_CTRL;
    record.length = 64;
    EXPECT_EQ(DeviceEventCallback(&event), 1); // no data
    joinAllWorkers();
    EXPECT_TRUE(window.sent().empty());
    EXPECT_TRUE(window.timers().empty());
}

// A keyboard pulled, plugged and pulled again faster than a worker reads it:
// the workers act one at a time and in the order of the counts, whatever
// order their threads come in.
TEST(DeviceChangeWorker, WorkersActOneAtATimeInTheOrderOfTheirCounts) {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::int32_t> order;
    int acting = 0;
    int mostAtOnce = 0;
    setDeviceChangeWorkerBody([&](std::int32_t count) {
        std::unique_lock lock(mutex);
        mostAtOnce = std::max(mostAtOnce, ++acting);
        order.push_back(count);
        changed.notify_all();
        if (order.size() == 1) {
            // Time for the others to act meanwhile, if they could: a correct
            // worker passes either way, this only makes an overlap likely
            // to show.
            changed.wait_for(lock, std::chrono::milliseconds(200),
                             [&] { return order.size() > 1; });
        }
        --acting;
    });
    const std::vector<std::int32_t> counts = {0, 1, 0, 1, 0, 1};
    for (const std::int32_t count : counts) {
        ASSERT_TRUE(startDeviceChangeWorker(count));
    }
    joinAllWorkers();
    setDeviceChangeWorkerBody({});
    EXPECT_EQ(order, counts);
    EXPECT_EQ(mostAtOnce, 1);
    EXPECT_EQ(reportedDeviceCount(), 1);
}

TEST(DeviceChangeWorker, WithoutARegisteredBodyNothingIsStarted) {
    setDeviceChangeWorkerBody({});
    EXPECT_FALSE(startDeviceChangeWorker(1));
}

} // namespace
} // namespace tavrik::device::testing
