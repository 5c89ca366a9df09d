// The hidraw backend behind the request layer, with fake device nodes in
// place of hidapi and a fake hot-plug source in place of udev: enumeration,
// matching, routing of input reports, writes, arrival and removal, found by
// the source's notices or, without one, by enumerating now and then.

#include "service/hidraw/HidrawBackend.h"

#include "service/Service.h"
#include "service/hidraw/DevNodeHotplug.h"
#include "service/hidraw/UdevHotplug.h"
#include "tests/service/KeyboardDescriptors.h"
#include "tests/service/ServiceTestSupport.h"
#include "tests/support/TemporaryFolder.h"

#include <atomic>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <gtest/gtest.h>
#include <map>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace tavrik::service {
namespace {

using namespace std::chrono_literals;
using testing::EventLog;
using testing::kCommandSelector;
using testing::kConsumerSelector;
using testing::kEventTimeout;
using testing::kLedSelector;
using testing::recordingCallback;
using testing::sign;

// One open handle's queue: hidraw gives every open handle of a node every
// input report.
using ReportQueue = std::deque<std::vector<std::uint8_t>>;

struct FakeNode {
    std::vector<HidDeviceEntry> entries;
    std::vector<std::uint8_t> descriptor;
    bool openable = true;
    std::atomic<int> opened{0};
    // The file whose flock stands for the node's.
    std::string lockPath;
    // Answers what is written to the node, as the keyboard's firmware does;
    // called after the write, without the node's lock.
    std::function<void(FakeNode&, std::span<const std::uint8_t>)> firmware;

    std::mutex mutex;
    std::condition_variable arrived;
    std::vector<std::shared_ptr<ReportQueue>> queues;
    std::vector<std::vector<std::uint8_t>> written;
    bool failing = false;
};

// A process's reader held back: its waiting reads find nothing until a read
// that does not wait (a drain) empties its handle's queue.
struct ReadHold {
    std::atomic<bool> holding{false};
};

class FakeHandle final : public HidHandle {
public:
    FakeHandle(std::shared_ptr<FakeNode> node, std::shared_ptr<ReportQueue> queue,
               std::shared_ptr<ReadHold> hold)
        : node_(std::move(node)), queue_(std::move(queue)), hold_(std::move(hold)) {
        std::lock_guard lock(node_->mutex);
        node_->queues.push_back(queue_);
    }
    ~FakeHandle() override {
        std::lock_guard lock(node_->mutex);
        std::erase(node_->queues, queue_);
    }

    int write(std::span<const std::uint8_t> report) override {
        {
            std::lock_guard lock(node_->mutex);
            node_->written.emplace_back(report.begin(), report.end());
        }
        if (node_->firmware) {
            node_->firmware(*node_, report);
        }
        return static_cast<int>(report.size());
    }
    int read(std::span<std::uint8_t> buffer, int timeoutMilliseconds) override {
        std::unique_lock lock(node_->mutex);
        const bool waits = timeoutMilliseconds > 0;
        const auto ready = [&] {
            return node_->failing || (!queue_->empty() && !(waits && hold_->holding));
        };
        node_->arrived.wait_for(lock, std::chrono::milliseconds(timeoutMilliseconds), ready);
        if (node_->failing) {
            return -1;
        }
        if (!ready()) {
            if (!waits && hold_->holding) {
                // Drained: the reader may go on.
                hold_->holding = false;
                node_->arrived.notify_all();
            }
            return 0;
        }
        const std::vector<std::uint8_t> report = std::move(queue_->front());
        queue_->pop_front();
        const std::size_t length = std::min(report.size(), buffer.size());
        std::copy_n(report.begin(), length, buffer.begin());
        return static_cast<int>(length);
    }
    int sendFeature(std::span<const std::uint8_t> report) override {
        return static_cast<int>(report.size());
    }

private:
    std::shared_ptr<FakeNode> node_;
    std::shared_ptr<ReportQueue> queue_;
    std::shared_ptr<ReadHold> hold_;
};

// The device nodes that are plugged in, by path.
class FakeBus {
public:
    std::shared_ptr<FakeNode>
    add(const std::string& path, std::vector<std::uint8_t> descriptor,
        std::initializer_list<std::pair<std::uint16_t, std::uint16_t>> usages,
        std::uint16_t productId = VEZAROR_PRODUCT_ID) {
        auto node = std::make_shared<FakeNode>();
        node->descriptor = std::move(descriptor);
        node->lockPath = locks_.file(std::filesystem::path(path).filename().string() + ".lock");
        for (const auto& [page, usage] : usages) {
            node->entries.push_back({path, VEZAROR_VENDOR_ID, productId, page, usage});
        }
        std::lock_guard lock(mutex_);
        nodes_[path] = node;
        return node;
    }
    void remove(const std::string& path) {
        std::shared_ptr<FakeNode> node;
        {
            std::lock_guard lock(mutex_);
            node = nodes_[path];
            nodes_.erase(path);
        }
        std::lock_guard lock(node->mutex);
        node->failing = true;
        node->arrived.notify_all();
    }
    // To every handle open on the node, as the kernel hands an input report.
    static void send(FakeNode& node, std::vector<std::uint8_t> report) {
        std::lock_guard lock(node.mutex);
        for (const auto& queue : node.queues) {
            queue->push_back(report);
        }
        node.arrived.notify_all();
    }
    static std::vector<std::vector<std::uint8_t>> written(FakeNode& node) {
        std::lock_guard lock(node.mutex);
        return node.written;
    }
    std::shared_ptr<FakeNode> find(const std::string& path) {
        std::lock_guard lock(mutex_);
        const auto found = nodes_.find(path);
        return found == nodes_.end() ? nullptr : found->second;
    }
    std::vector<HidDeviceEntry> enumerate(std::uint16_t vendorId, std::uint16_t productId) {
        std::lock_guard lock(mutex_);
        std::vector<HidDeviceEntry> entries;
        for (const auto& [path, node] : nodes_) {
            for (const HidDeviceEntry& entry : node->entries) {
                if (entry.vendorId == vendorId && entry.productId == productId) {
                    entries.push_back(entry);
                }
            }
        }
        return entries;
    }

private:
    tavrik::testing::TemporaryFolder locks_;
    std::mutex mutex_;
    std::map<std::string, std::shared_ptr<FakeNode>> nodes_;
};

// hidapi as one process sees it, whose reader a test may hold back.
class FakeHidApi final : public HidApi {
public:
    explicit FakeHidApi(std::shared_ptr<FakeBus> bus,
                        std::shared_ptr<std::atomic<int>> enumerations)
        : bus_(std::move(bus)), enumerations_(std::move(enumerations)) {}
    bool init() override { return true; }
    void exit() override {}
    std::vector<HidDeviceEntry> enumerate(std::uint16_t vendorId,
                                          std::uint16_t productId) override {
        ++*enumerations_;
        return bus_->enumerate(vendorId, productId);
    }
    std::unique_ptr<HidHandle> open(const std::string& path) override {
        auto node = bus_->find(path);
        if (node == nullptr || !node->openable) {
            return nullptr;
        }
        ++node->opened;
        return std::make_unique<FakeHandle>(node, std::make_shared<ReportQueue>(), hold_);
    }
    std::vector<std::uint8_t> reportDescriptor(const std::string& path) override {
        auto node = bus_->find(path);
        return node != nullptr ? node->descriptor : std::vector<std::uint8_t>{};
    }
    platform::UniqueFd openLock(const std::string& path) override {
        auto node = bus_->find(path);
        return platform::UniqueFd(
            node == nullptr ? -1
                            : ::open(node->lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    }

    // The reader routes nothing until the next drain.
    void holdReaderUntilDrained() { hold_->holding = true; }

private:
    std::shared_ptr<FakeBus> bus_;
    std::shared_ptr<std::atomic<int>> enumerations_;
    std::shared_ptr<ReadHold> hold_ = std::make_shared<ReadHold>();
};

// Notices the test sends, as udev's monitor would: each is about a hidraw
// node or not.
struct Notices {
    int event = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    std::mutex mutex;
    std::deque<bool> pending;

    ~Notices() { ::close(event); }
    void send(bool aboutHidraw) {
        {
            std::lock_guard lock(mutex);
            pending.push_back(aboutHidraw);
        }
        const std::uint64_t one = 1;
        EXPECT_EQ(::write(event, &one, sizeof one), static_cast<ssize_t>(sizeof one));
    }
};

class FakeHotplug final : public HotplugSource {
public:
    explicit FakeHotplug(std::shared_ptr<Notices> notices) : notices_(std::move(notices)) {}
    int descriptor() const override { return notices_->event; }
    bool takeChanges() override {
        std::uint64_t count = 0;
        [[maybe_unused]] const auto taken = ::read(notices_->event, &count, sizeof count);
        std::lock_guard lock(notices_->mutex);
        bool aboutHidraw = false;
        for (const bool notice : notices_->pending) {
            aboutHidraw = aboutHidraw || notice;
        }
        notices_->pending.clear();
        return aboutHidraw;
    }

private:
    std::shared_ptr<Notices> notices_;
};

constexpr std::uint32_t kFirstTag = 0x41000001;
constexpr std::uint32_t kSecondTag = 0x42000001;

void listenOn(Service& service, const DeviceSelector& selector, std::uint32_t tag) {
    std::uint32_t unit = 0;
    ASSERT_EQ(
        service.asyncRead(
            {&selector, &recordingCallback, tag, sign(selector, &recordingCallback, tag)}, &unit),
        1);
}

// Writes a command and takes its answer from the channel under `tag`: the
// mark the answer carries (its first data byte), 0 when none came.
std::uint8_t exchangeOn(Service& service, std::uint32_t tag, const testing::CommandPacket& packet) {
    if (service.writeFirst(
            {&kCommandSelector, nullptr, 0, sign(kCommandSelector, nullptr, 0, packet)},
            packet.data(), 64) != 1) {
        return 0;
    }
    const auto answer = EventLog::instance().take(testing::answerOn(tag, packet[3]), kEventTimeout);
    return answer && answer->data.size() == 64 ? answer->data[8] : 0;
}

std::size_t eventsOn(std::uint32_t tag) {
    return EventLog::instance().count([tag](const auto& event) { return event.tag == tag; });
}

class HidrawService : public ::testing::Test {
protected:
    static constexpr const char* kMainNode = "/dev/hidraw3";
    static constexpr const char* kLedNode = "/dev/hidraw4";

    void SetUp() override { EventLog::instance().clear(); }
    void TearDown() override {
        other_.end();
        service_.end();
        EventLog::instance().clear();
    }

    void plugKeyboard() {
        bus_->add(kMainNode, testing::kConsumerAndCommandDescriptor,
                  {{0x000C, 0x0001}, {0xFF1C, 0x0092}});
        bus_->add(kLedNode, testing::kLedDescriptor, {{0x0008, 0x0089}});
    }

    // Without a hot-plug source the backend enumerates every 10 ms.
    void start() {
        ASSERT_EQ(service_.init(std::make_unique<HidrawBackend>(
                      std::make_unique<FakeHidApi>(bus_, enumerations_), 10ms)),
                  1);
    }
    // With one it enumerates when told; the interval serves only to try
    // again a node that could not be opened.
    void startWithHotplug() {
        ASSERT_EQ(service_.init(std::make_unique<HidrawBackend>(
                      std::make_unique<FakeHidApi>(bus_, enumerations_), 10ms,
                      std::make_unique<FakeHotplug>(notices_))),
                  1);
    }

    // With the watch on a device folder of the test's own.
    void startWithFolderWatch(const std::string& folder) {
        std::unique_ptr<HotplugSource> watch = createDevNodeHotplug(folder);
        ASSERT_NE(watch, nullptr);
        ASSERT_EQ(service_.init(std::make_unique<HidrawBackend>(
                      std::make_unique<FakeHidApi>(bus_, enumerations_), 10ms, std::move(watch))),
                  1);
    }

    // The main node answers every command as the keyboard does: the request's
    // code, length, address and data back with status 0, to every handle.
    void answerCommands() {
        bus_->find(kMainNode)->firmware = [](FakeNode& node, std::span<const std::uint8_t> report) {
            if (report.size() == 64 && report[0] == 0x04) {
                std::vector<std::uint8_t> answer(report.begin(), report.end());
                answer[7] = 0;
                FakeBus::send(node, std::move(answer));
            }
        };
    }
    // Another process's service on the same nodes.
    void startOther(std::unique_ptr<FakeHidApi> api) {
        ASSERT_EQ(other_.init(std::make_unique<HidrawBackend>(std::move(api), 10ms)), 1);
    }

    std::int32_t count(const DeviceSelector& selector) {
        return service_.deviceCount({&selector, nullptr, 0, sign(selector, nullptr, 0)});
    }

    void listen(const DeviceSelector& selector, std::uint32_t tag) {
        std::uint32_t unit = 0;
        ASSERT_EQ(service_.asyncRead(
                      {&selector, &recordingCallback, tag, sign(selector, &recordingCallback, tag)},
                      &unit),
                  1);
    }

    std::shared_ptr<FakeBus> bus_ = std::make_shared<FakeBus>();
    std::shared_ptr<std::atomic<int>> enumerations_ = std::make_shared<std::atomic<int>>(0);
    std::shared_ptr<Notices> notices_ = std::make_shared<Notices>();
    Service service_;
    Service other_;
};

TEST_F(HidrawService, CollectionsAreCountedByTheSelectorsFields) {
    plugKeyboard();
    bus_->add("/dev/hidraw5", {}, {{0xFF1C, 0x0092}}, 0x1234); // another product
    const auto typing = bus_->add("/dev/hidraw2", {}, {{0x0001, 0x0006}});
    start();
    EXPECT_EQ(count(testing::selectorOf(0x0001, 0x0006)), 0);
    EXPECT_EQ(typing->opened, 0) << "the node that types keys is left alone";
    EXPECT_EQ(count(kCommandSelector), 1) << "present as soon as the service is";
    EXPECT_EQ(count(kConsumerSelector), 1);
    EXPECT_EQ(count(kLedSelector), 1);
    EXPECT_EQ(count(testing::selectorOf(0xFF1C, 0x0001)), 0);
    DeviceSelector anyCollection = kCommandSelector;
    anyCollection.matchMask = VEZAROR_MATCH_VENDOR | VEZAROR_MATCH_PRODUCT;
    EXPECT_EQ(count(anyCollection), 3);
    DeviceSelector byPage = testing::selectorOf(0x000C, 0x7777);
    byPage.matchMask = VEZAROR_MATCH_USAGE_PAGE;
    EXPECT_EQ(count(byPage), 1);
}

TEST_F(HidrawService, InputReportsGoToTheCollectionOfTheirReportId) {
    plugKeyboard();
    start();
    listen(kCommandSelector, VEZAROR_TAG_CTRL);
    listen(kConsumerSelector, VEZAROR_TAG_CONS);
    const auto node = bus_->find(kMainNode);
    FakeBus::send(*node, {0x03, 0xFF, 0x02});
    // The answer to a command of this service's: others' answers are not its.
    const auto packet = testing::commandPacket(0x03);
    ASSERT_EQ(service_.writeFirst(
                  {&kCommandSelector, nullptr, 0, sign(kCommandSelector, nullptr, 0, packet)},
                  packet.data(), 64),
              1);
    std::vector<std::uint8_t> answer(64);
    answer[0] = 0x04;
    answer[3] = 0x03;
    FakeBus::send(*node, answer);

    const auto consumer = EventLog::instance().take(testing::consumerCode(767), kEventTimeout);
    ASSERT_TRUE(consumer);
    EXPECT_EQ(consumer->data, (std::vector<std::uint8_t>{0x03, 0xFF, 0x02}));
    const auto command = EventLog::instance().take(testing::answerTo(0x03), kEventTimeout);
    ASSERT_TRUE(command);
    EXPECT_EQ(command->data, answer);
    // Each went to its own collection only.
    EXPECT_EQ(EventLog::instance().count([](const auto&) { return true; }), 0u);
}

TEST_F(HidrawService, WritesReachTheNodeOfTheSelectedCollection) {
    plugKeyboard();
    start();
    const auto packet = testing::commandPacket(0x03, 44);
    EXPECT_EQ(service_.writeFirst(
                  {&kCommandSelector, nullptr, 0, sign(kCommandSelector, nullptr, 0, packet)},
                  packet.data(), 64),
              1);
    const std::uint8_t led[2] = {0x05, 0x03};
    std::uint32_t unit = 0;
    EXPECT_EQ(service_.statusWrite({&kLedSelector, &recordingCallback, VEZAROR_TAG_LED,
                                    sign(kLedSelector, &recordingCallback, VEZAROR_TAG_LED, led)},
                                   led, 2, &unit),
              1);
    EXPECT_EQ(FakeBus::written(*bus_->find(kMainNode)),
              (std::vector<std::vector<std::uint8_t>>{{packet.begin(), packet.end()}}));
    EXPECT_EQ(FakeBus::written(*bus_->find(kLedNode)),
              (std::vector<std::vector<std::uint8_t>>{{0x05, 0x03}}));
}

TEST_F(HidrawService, TwoProcessesOnOneNodeTakeTurnsAndTakeOnlyTheirOwnAnswers) {
    plugKeyboard();
    answerCommands();
    start();
    startOther(std::make_unique<FakeHidApi>(bus_, enumerations_));
    listenOn(service_, kCommandSelector, kFirstTag);
    listenOn(other_, kCommandSelector, kSecondTag);
    // Both send the same commands, each marked with a byte of its own in the
    // data: an answer taken from the other carries the other's mark.
    const auto writeSequences = [](Service& service, std::uint32_t tag, std::uint8_t mark) {
        std::vector<std::uint8_t> marks;
        for (int round = 0; round < 3; ++round) {
            const std::uint8_t data[1] = {mark};
            marks.push_back(exchangeOn(service, tag, testing::commandPacket(0x01, 0, 0, data)));
            for (std::uint16_t address = 0; address < 4 * 56; address += 56) {
                marks.push_back(
                    exchangeOn(service, tag, testing::commandPacket(0x08, 56, address, data)));
            }
            marks.push_back(exchangeOn(service, tag, testing::commandPacket(0x02, 0, 0, data)));
        }
        return marks;
    };
    auto first = std::async(std::launch::async, writeSequences, std::ref(service_), kFirstTag, 'A');
    auto second = std::async(std::launch::async, writeSequences, std::ref(other_), kSecondTag, 'B');
    EXPECT_EQ(first.get(), std::vector<std::uint8_t>(18, 'A'));
    EXPECT_EQ(second.get(), std::vector<std::uint8_t>(18, 'B'));
    EXPECT_EQ(eventsOn(kFirstTag) + eventsOn(kSecondTag), 0u) << "an answer was taken twice";

    // On the node each sequence came whole, begin to end.
    const auto written = FakeBus::written(*bus_->find(kMainNode));
    ASSERT_EQ(written.size(), 36u);
    for (std::size_t start = 0; start < written.size(); start += 6) {
        EXPECT_EQ(written[start][3], 0x01) << "packet " << start;
        EXPECT_EQ(written[start + 5][3], 0x02) << "packet " << start + 5;
        for (std::size_t i = start; i < start + 6; ++i) {
            EXPECT_EQ(written[i][8], written[start][8]) << "packet " << i;
        }
    }
}

TEST_F(HidrawService, WhatTheReaderHasNotRoutedYetIsDrainedNotTakenForTheNextAnswer) {
    plugKeyboard();
    answerCommands();
    start();
    auto lateApi = std::make_unique<FakeHidApi>(bus_, enumerations_);
    FakeHidApi& late = *lateApi;
    startOther(std::move(lateApi));
    listenOn(service_, kCommandSelector, kFirstTag);
    listenOn(other_, kCommandSelector, kSecondTag);
    // The other's reader is behind: the first's answer waits in its queue
    // while the other sends the very same command.
    late.holdReaderUntilDrained();
    const std::uint8_t first[1] = {'A'};
    ASSERT_EQ(exchangeOn(service_, kFirstTag, testing::commandPacket(0x03, 44, 0, first)), 'A');
    const std::uint8_t second[1] = {'B'};
    EXPECT_EQ(exchangeOn(other_, kSecondTag, testing::commandPacket(0x03, 44, 0, second)), 'B');
    EXPECT_EQ(eventsOn(kSecondTag), 0u);
}

TEST_F(HidrawService, ArrivalAndRemovalAreFoundByScanning) {
    start();
    listen(kCommandSelector, VEZAROR_TAG_CTRL);
    EXPECT_EQ(count(kCommandSelector), 0);
    const std::uint8_t led[2] = {0x05, 0x02};
    std::uint32_t unit = 0;
    ASSERT_EQ(service_.statusWrite({&kLedSelector, &recordingCallback, VEZAROR_TAG_LED,
                                    sign(kLedSelector, &recordingCallback, VEZAROR_TAG_LED, led)},
                                   led, 2, &unit),
              1);

    plugKeyboard();
    const auto arrived =
        EventLog::instance().take(testing::deviceChange(VEZAROR_TAG_CTRL), kEventTimeout);
    ASSERT_TRUE(arrived);
    EXPECT_EQ(arrived->length, 1u);
    EXPECT_EQ(count(kCommandSelector), 1);
    EXPECT_TRUE(EventLog::instance().take(testing::deviceChange(VEZAROR_TAG_LED), kEventTimeout));
    EXPECT_EQ(FakeBus::written(*bus_->find(kLedNode)),
              (std::vector<std::vector<std::uint8_t>>{{0x05, 0x02}}))
        << "the standing LED request reaches the new keyboard";

    bus_->remove(kMainNode);
    const auto removed =
        EventLog::instance().take(testing::deviceChange(VEZAROR_TAG_CTRL), kEventTimeout);
    ASSERT_TRUE(removed);
    EXPECT_EQ(removed->length, 0u);
    const auto packet = testing::commandPacket(0x03, 44);
    EXPECT_EQ(service_.writeFirst(
                  {&kCommandSelector, nullptr, 0, sign(kCommandSelector, nullptr, 0, packet)},
                  packet.data(), 64),
              0);
}

TEST_F(HidrawService, ANodeThatCannotBeOpenedIsNotPresentUntilItCan) {
    plugKeyboard();
    bus_->find(kMainNode)->openable = false;
    start();
    listen(kCommandSelector, VEZAROR_TAG_CTRL);
    EXPECT_EQ(count(kCommandSelector), 0);
    EXPECT_EQ(count(kLedSelector), 1);
    plugKeyboard(); // the same nodes, openable now
    const auto arrived =
        EventLog::instance().take(testing::deviceChange(VEZAROR_TAG_CTRL), kEventTimeout);
    ASSERT_TRUE(arrived);
    EXPECT_EQ(arrived->length, 1u);
}

TEST_F(HidrawService, ReportsOfANodeWithoutReportIdsGetAZeroIdInFront) {
    bus_->add("/dev/hidraw7", testing::kUnnumberedConsumerDescriptor, {{0x000C, 0x0001}});
    start();
    listen(kConsumerSelector, VEZAROR_TAG_CONS);
    FakeBus::send(*bus_->find("/dev/hidraw7"), {0x10, 0x18});
    const auto event = EventLog::instance().take(testing::consumerCode(6160), kEventTimeout);
    ASSERT_TRUE(event);
    EXPECT_EQ(event->data, (std::vector<std::uint8_t>{0x00, 0x10, 0x18}));
}

TEST_F(HidrawService, WithAHotplugSourceDevicesAreLookedForOnlyWhenItTellsOfHidrawNodes) {
    startWithHotplug();
    listen(kCommandSelector, VEZAROR_TAG_CTRL);
    ASSERT_EQ(*enumerations_, 1) << "the first look, at start";

    // Notices are taken in order: by the time the arrival is reported, the
    // notice about another kind of device was taken without a look.
    notices_->send(false);
    plugKeyboard();
    notices_->send(true);
    const auto arrived =
        EventLog::instance().take(testing::deviceChange(VEZAROR_TAG_CTRL), kEventTimeout);
    ASSERT_TRUE(arrived);
    EXPECT_EQ(arrived->length, 1u);
    EXPECT_EQ(*enumerations_, 2);

    // A node whose reads fail is gone: its removal is reported before any
    // notice says so.
    bus_->remove(kMainNode);
    const auto removed =
        EventLog::instance().take(testing::deviceChange(VEZAROR_TAG_CTRL), kEventTimeout);
    ASSERT_TRUE(removed);
    EXPECT_EQ(removed->length, 0u);
}

TEST_F(HidrawService, WithAHotplugSourceANodeThatCannotBeOpenedIsTriedAgainUntilItCan) {
    plugKeyboard();
    bus_->find(kMainNode)->openable = false;
    startWithHotplug();
    listen(kCommandSelector, VEZAROR_TAG_CTRL);
    EXPECT_EQ(count(kCommandSelector), 0);
    // Its permissions arrive later, with no notice.
    plugKeyboard();
    const auto arrived =
        EventLog::instance().take(testing::deviceChange(VEZAROR_TAG_CTRL), kEventTimeout);
    ASSERT_TRUE(arrived);
    EXPECT_EQ(arrived->length, 1u);
}

TEST_F(HidrawService, WithoutUdevAWatchOnTheDeviceFolderTellsOfArrivals) {
    const tavrik::testing::TemporaryFolder dev;
    startWithFolderWatch(dev.path());
    listen(kCommandSelector, VEZAROR_TAG_CTRL);
    ASSERT_EQ(*enumerations_, 1) << "the first look, at start";
    plugKeyboard();
    std::ofstream(dev.file("hidraw3")) << "";
    const auto arrived =
        EventLog::instance().take(testing::deviceChange(VEZAROR_TAG_CTRL), kEventTimeout);
    ASSERT_TRUE(arrived);
    EXPECT_EQ(arrived->length, 1u);
}

// Which changes in the device folder are notices: only those of hidraw
// nodes, whether they come, go, move or get other permissions.
TEST(DevNodeHotplug, ChangesOfHidrawNodesAreNoticesAndOthersAreNot) {
    namespace fs = std::filesystem;
    const tavrik::testing::TemporaryFolder dev;
    const std::unique_ptr<HotplugSource> watch = createDevNodeHotplug(dev.path());
    ASSERT_NE(watch, nullptr);
    const auto touch = [&](const char* name) { std::ofstream(dev.file(name)) << ""; };
    struct Case {
        const char* change;
        std::function<void()> make;
        bool notice;
    };
    const Case cases[] = {
        {"a hidraw node comes", [&] { touch("hidraw3"); }, true},
        {"another node comes", [&] { touch("ttyS4"); }, false},
        {"a hidraw node gets other permissions",
         [&] { fs::permissions(dev.file("hidraw3"), fs::perms::owner_read); }, true},
        {"another node goes", [&] { fs::remove(dev.file("ttyS4")); }, false},
        {"a node is renamed to a hidraw node",
         [&] {
             touch("new");
             fs::rename(dev.file("new"), dev.file("hidraw5"));
         },
         true},
        {"a hidraw node goes", [&] { fs::remove(dev.file("hidraw3")); }, true},
    };
    for (const Case& c : cases) {
        c.make();
        // The kernel queues the notices before the change's call returns.
        pollfd readable{watch->descriptor(), POLLIN, 0};
        EXPECT_EQ(::poll(&readable, 1, 0), 1) << c.change;
        EXPECT_EQ(watch->takeChanges(), c.notice) << c.change;
        EXPECT_FALSE(watch->takeChanges()) << c.change << ": taken already";
    }
    EXPECT_EQ(createDevNodeHotplug(dev.file("missing")), nullptr);
}

TEST(UdevHotplug, UdevCountsAsRunningWhileItsControlSocketExists) {
    const tavrik::testing::TemporaryFolder folder;
    const std::string control = folder.file("control");
    EXPECT_FALSE(udevRunning(control));
    std::ofstream(control) << "";
    EXPECT_TRUE(udevRunning(control));
}

} // namespace
} // namespace tavrik::service
