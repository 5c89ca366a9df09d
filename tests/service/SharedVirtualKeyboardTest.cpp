// One virtual keyboard per state file, reached by every service that names
// it: here several services in one test program, each with a backend of its
// own, as processes have (the locks belong to open files, so they exclude
// each other as processes do). The first serves the keyboard, the others
// reach it through its device socket; the command exchanges of all of them
// go under the keyboard's one lock.

#include "service/Service.h"
#include "service/virtual/ControlClient.h"
#include "service/virtual/VirtualBackend.h"
#include "tests/service/ServiceTestSupport.h"
#include "tests/support/TemporaryFolder.h"

#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

namespace tavrik::service::testing {
namespace {

using namespace std::chrono_literals;

constexpr std::uint8_t kBeginWrite = 0x01;
constexpr std::uint8_t kEndWrite = 0x02;
constexpr std::uint8_t kReadKeyMapPage = 0x07;
constexpr std::uint8_t kWriteKeyMapPage = 0x08;
constexpr std::uint8_t kNoAnswer = 0xEE;

std::vector<std::uint8_t> chunkOf(std::uint8_t seed) {
    std::vector<std::uint8_t> chunk(56);
    for (std::size_t i = 0; i < chunk.size(); ++i) {
        chunk[i] = static_cast<std::uint8_t>(seed + i * 3);
    }
    return chunk;
}

// What one process does with the keyboard, through a service of its own
// whose channels record under its own tags.
class Process {
public:
    explicit Process(std::uint32_t tag, ExchangeBounds bounds = {}) : tag_(tag), service_(bounds) {}
    ~Process() { service_.end(); }

    void start() {
        ASSERT_EQ(
            service_.init(std::make_unique<VirtualBackend>(VirtualSettings::fromEnvironment())), 1);
        listen(kCommandSelector, commandTag());
        listen(kConsumerSelector, consumerTag());
    }
    void end() { service_.end(); }

    std::uint32_t commandTag() const { return tag_ | 1; }
    std::uint32_t consumerTag() const { return tag_ | 2; }

    std::int32_t count() {
        return service_.deviceCount(
            {&kCommandSelector, nullptr, 0, sign(kCommandSelector, nullptr, 0)});
    }
    std::int32_t write(const CommandPacket& packet) {
        return service_.writeFirst(
            {&kCommandSelector, nullptr, 0, sign(kCommandSelector, nullptr, 0, packet)},
            packet.data(), static_cast<std::uint32_t>(packet.size()));
    }
    // The answer's status; kNoAnswer when the write or its answer failed.
    std::uint8_t status(const CommandPacket& packet) {
        const auto answer = exchange(packet);
        return answer && answer->data.size() == 64 ? answer->data[7] : kNoAnswer;
    }
    std::optional<RecordedEvent> exchange(const CommandPacket& packet) {
        if (write(packet) <= 0) {
            return std::nullopt;
        }
        return EventLog::instance().take(answerOn(commandTag(), packet[3]), kEventTimeout);
    }
    std::vector<std::uint8_t> readChunk(std::uint16_t address) {
        const auto answer = exchange(commandPacket(kReadKeyMapPage, 56, address));
        if (!answer || answer->data.size() != 64 || answer->data[7] != 0) {
            return {};
        }
        return std::vector<std::uint8_t>(answer->data.begin() + 8, answer->data.end());
    }
    std::uint8_t writeChunk(std::uint16_t address, const std::vector<std::uint8_t>& chunk) {
        return status(commandPacket(kWriteKeyMapPage, 56, address, chunk));
    }
    std::size_t events() {
        return EventLog::instance().count([this](const RecordedEvent& event) {
            return event.tag == commandTag() || event.tag == consumerTag();
        });
    }

private:
    void listen(const DeviceSelector& selector, std::uint32_t tag) {
        std::uint32_t unit = 0;
        ASSERT_EQ(service_.asyncRead(
                      {&selector, &recordingCallback, tag, sign(selector, &recordingCallback, tag)},
                      &unit),
                  1);
    }

    const std::uint32_t tag_;
    Service service_;
};

class SharedVirtualKeyboard : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("VEZAROR_VIRTUAL_STATE", folder_.file("keyboard.state").c_str(), 1);
        ::setenv("VEZAROR_VIRTUAL_CONTROL", folder_.file("vkbd.sock").c_str(), 1);
        ::unsetenv("VEZAROR_VIRTUAL_LATENCY_MS");
        ::unsetenv("VEZAROR_VIRTUAL_PLUGGED");
        ::unsetenv("VEZAROR_VIRTUAL_EFFECTS");
        EventLog::instance().clear();
    }
    void TearDown() override { EventLog::instance().clear(); }

    // A control command through a connection of its own: the one who serves
    // the keyboard may change between two.
    std::string control(const std::string& command) {
        ControlClient client(folder_.file("vkbd.sock"));
        std::string reply;
        std::string error;
        return client.request(command, reply, error) ? reply : "failed: " + error;
    }
    // Control commands work again once someone serves the keyboard.
    bool servedAgain() {
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (control("state").rfind("ok", 0) != 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            std::this_thread::sleep_for(5ms);
        }
        return true;
    }
    long answered() {
        const std::string reply = control("state");
        const auto at = reply.find("commands=");
        return at == std::string::npos ? -1 : std::stol(reply.substr(at + 9));
    }

    tavrik::testing::TemporaryFolder folder_;
};

TEST_F(SharedVirtualKeyboard, EveryServiceReachesTheOneKeyboardAndHearsAllItReports) {
    Process first(0x41000000);
    Process second(0x42000000);
    first.start();
    second.start();
    EXPECT_EQ(first.count(), 1);
    EXPECT_EQ(second.count(), 1);

    const std::vector<std::uint8_t> chunk = chunkOf(7);
    EXPECT_EQ(second.status(commandPacket(kBeginWrite)), 0);
    EXPECT_EQ(second.writeChunk(512, chunk), 0);
    EXPECT_EQ(second.status(commandPacket(kEndWrite)), 0);
    EXPECT_EQ(first.readChunk(512), chunk) << "a write of one is read by the other";
    EXPECT_EQ(second.readChunk(512), chunk);
    EXPECT_EQ(first.events(), 0u) << "no answer of the other's reached the first";
    EXPECT_EQ(second.events(), 0u);
    EXPECT_EQ(answered(), 5);

    // What the keyboard reports, every service hears, as every hidraw handle.
    EXPECT_EQ(control("press code 6147"), "ok");
    EXPECT_TRUE(
        EventLog::instance().take(consumerCodeOn(first.consumerTag(), 6147), kEventTimeout));
    EXPECT_TRUE(
        EventLog::instance().take(consumerCodeOn(second.consumerTag(), 6147), kEventTimeout));
    EXPECT_EQ(control("unplug"), "ok");
    for (const Process* process : {&first, &second}) {
        const auto gone =
            EventLog::instance().take(deviceChange(process->commandTag()), kEventTimeout);
        ASSERT_TRUE(gone);
        EXPECT_EQ(gone->length, 0u);
    }
    EXPECT_EQ(second.count(), 0);
    EXPECT_EQ(control("plug"), "ok");
    for (const Process* process : {&first, &second}) {
        const auto back =
            EventLog::instance().take(deviceChange(process->commandTag()), kEventTimeout);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->length, 1u);
    }
    EXPECT_EQ(second.readChunk(512), chunk) << "the committed memory came back with the plug";

    // Faults and latency are the keyboard's, whoever sends the command.
    EXPECT_EQ(control("fault status ff 1"), "ok");
    EXPECT_EQ(second.status(commandPacket(kReadKeyMapPage, 56, 0)), 0xFF);
    EXPECT_EQ(control("latency 20"), "ok");
    EXPECT_EQ(second.readChunk(512), chunk);
    EXPECT_EQ(first.readChunk(512), chunk);
}

TEST_F(SharedVirtualKeyboard, WhenTheServingProcessEndsAnotherServesTheKeyboardUnseen) {
    Process first(0x41000000);
    Process second(0x42000000);
    first.start();
    second.start();
    const std::vector<std::uint8_t> committed = chunkOf(1);
    ASSERT_EQ(second.status(commandPacket(kBeginWrite)), 0);
    ASSERT_EQ(second.writeChunk(0, committed), 0);
    ASSERT_EQ(second.status(commandPacket(kEndWrite)), 0);
    // A sequence of the second's is open when the first goes.
    ASSERT_EQ(second.status(commandPacket(kBeginWrite)), 0);
    ASSERT_EQ(second.writeChunk(0, chunkOf(2)), 0);

    first.end();
    ASSERT_TRUE(servedAgain()) << "the second serves the keyboard, control socket included";
    EXPECT_EQ(second.count(), 1);
    EXPECT_EQ(second.events(), 0u) << "nobody saw the keyboard go and come";
    // What the open sequence wrote went with the first process: it may not
    // be committed as if it were whole.
    EXPECT_EQ(second.write(commandPacket(kEndWrite)), -1);
    EXPECT_EQ(second.readChunk(0), committed);

    Process third(0x43000000);
    third.start();
    ASSERT_EQ(third.status(commandPacket(kBeginWrite)), 0);
    ASSERT_EQ(third.writeChunk(56, chunkOf(3)), 0);
    ASSERT_EQ(third.status(commandPacket(kEndWrite)), 0);
    EXPECT_EQ(second.readChunk(56), chunkOf(3));
    EXPECT_EQ(third.readChunk(0), committed);
}

TEST_F(SharedVirtualKeyboard, ACommandThatCannotHaveTheKeyboardInTimeIsRefusedUnsent) {
    Process holder(0x41000000);
    Process impatient(0x42000000, ExchangeBounds{.lockWait = 100ms});
    holder.start();
    impatient.start();
    ASSERT_EQ(holder.status(commandPacket(kBeginWrite)), 0);
    const long before = answered();
    EXPECT_EQ(impatient.write(commandPacket(kReadKeyMapPage, 56, 0)), -1);
    EXPECT_EQ(answered(), before) << "nothing of the refused command reached the keyboard";
    ASSERT_EQ(holder.status(commandPacket(kEndWrite)), 0);
    EXPECT_EQ(impatient.readChunk(0).size(), 56u) << "the keyboard is free again";
}

TEST_F(SharedVirtualKeyboard, ASequenceNotEndedInTimeLetsTheOthersOnAndWritesNoMore) {
    Process stalled(0x41000000, ExchangeBounds{.sequence = 200ms});
    Process next(0x42000000);
    stalled.start();
    next.start();
    const std::vector<std::uint8_t> before = stalled.readChunk(112);
    ASSERT_EQ(stalled.status(commandPacket(kBeginWrite)), 0);
    ASSERT_EQ(stalled.writeChunk(0, chunkOf(4)), 0);

    // The other waits for the lock until the stalled sequence's bound.
    EXPECT_EQ(next.status(commandPacket(kBeginWrite)), 0);
    EXPECT_EQ(next.writeChunk(56, chunkOf(5)), 0);
    EXPECT_EQ(next.status(commandPacket(kEndWrite)), 0);

    EXPECT_EQ(stalled.write(commandPacket(kWriteKeyMapPage, 56, 112, chunkOf(6))), -1);
    EXPECT_EQ(stalled.write(commandPacket(kEndWrite)), -1);
    EXPECT_EQ(next.readChunk(56), chunkOf(5));
    EXPECT_EQ(next.readChunk(112), before) << "the stalled sequence wrote nothing more";
    EXPECT_EQ(stalled.status(commandPacket(kBeginWrite)), 0) << "a new sequence starts afresh";
    EXPECT_EQ(stalled.status(commandPacket(kEndWrite)), 0);
}

} // namespace
} // namespace tavrik::service::testing
