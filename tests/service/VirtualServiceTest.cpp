// The real libVezAror.so, loaded with dlopen, driving the virtual keyboard:
// the request API, the keyboard's answers, its state file, its control
// socket, its events and its faults.

#include "service/virtual/ControlClient.h"
#include "tests/service/ServiceTestSupport.h"
#include "tests/support/TemporaryFolder.h"

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <numeric>
#include <thread>

namespace tavrik::service::testing {
namespace {

using namespace std::chrono_literals;

constexpr std::uint8_t kBeginWrite = 0x01;
constexpr std::uint8_t kEndWrite = 0x02;
constexpr std::uint8_t kReadDeviceInfo = 0x03;
constexpr std::uint8_t kWriteDeviceInfo = 0x04;
constexpr std::uint8_t kReadParameters = 0x05;
constexpr std::uint8_t kReadKeyMapPage = 0x07;
constexpr std::uint8_t kWriteKeyMapPage = 0x08;
constexpr std::uint8_t kReadMacroArea = 0x09;
constexpr std::uint8_t kWriteMacroArea = 0x0A;
constexpr std::uint8_t kReadDefaultLayout = 0x0F;
constexpr std::uint8_t kReadColours = 0x10;
constexpr std::uint8_t kWriteColours = 0x11;

class VirtualService : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(lib().Init, nullptr) << "libVezAror.so or one of its exports is missing";
        ::setenv("VEZAROR_BACKEND", "virtual", 1);
        ::setenv("VEZAROR_VIRTUAL_STATE", statePath().c_str(), 1);
        ::setenv("VEZAROR_VIRTUAL_CONTROL", folder_.file("vkbd.sock").c_str(), 1);
        ::unsetenv("VEZAROR_VIRTUAL_LATENCY_MS");
        ::unsetenv("VEZAROR_VIRTUAL_PLUGGED");
        ::unsetenv("VEZAROR_VIRTUAL_EFFECTS");
        EventLog::instance().clear();
        start();
    }

    void TearDown() override {
        if (lib().End != nullptr) {
            lib().End();
        }
        EventLog::instance().clear();
    }

    static const ServiceExports& lib() { return serviceLibrary(); }
    std::string statePath() const { return folder_.file("keyboard.state"); }

    void start() {
        ASSERT_GT(lib().Init(0), 0);
        ASSERT_EQ(registerChannel(kCommandSelector, VEZAROR_TAG_CTRL, commandUnit_), 1);
        ASSERT_EQ(registerChannel(kConsumerSelector, VEZAROR_TAG_CONS, consumerUnit_), 1);
    }

    void restart() {
        lib().End();
        EventLog::instance().clear();
        start();
    }

    std::int32_t registerChannel(const DeviceSelector& selector, std::uint32_t tag,
                                 std::uint32_t& unit) {
        return lib().RequestAsyncRead(&selector, &recordingCallback, tag,
                                      sign(selector, &recordingCallback, tag), &unit);
    }

    std::int32_t write(const CommandPacket& packet) {
        return lib().RequestWriteOne(&kCommandSelector, nullptr, 0, packet.data(), packet.size(),
                                     sign(kCommandSelector, nullptr, 0, packet), 0);
    }

    // Writes the packet and returns the answer that arrives on the CTRL channel.
    std::optional<RecordedEvent> exchange(const CommandPacket& packet,
                                          std::chrono::milliseconds timeout = kEventTimeout) {
        if (write(packet) <= 0) {
            return std::nullopt;
        }
        return EventLog::instance().take(answerTo(packet[3]), timeout);
    }

    std::uint8_t statusOf(const CommandPacket& packet) {
        const auto answer = exchange(packet);
        return answer && answer->data.size() == 64 ? answer->data[7] : 0xEE;
    }

    // Reads `length` bytes of an area in 56-byte packets, as the host does.
    std::vector<std::uint8_t> readArea(std::uint8_t code, std::uint16_t base, std::size_t length) {
        std::vector<std::uint8_t> bytes;
        for (std::size_t offset = 0; offset < length; offset += 56) {
            const auto chunk =
                static_cast<std::uint8_t>(std::min<std::size_t>(56, length - offset));
            const auto answer =
                exchange(commandPacket(code, chunk, static_cast<std::uint16_t>(base + offset)));
            if (!answer || answer->data[7] != 0) {
                return {};
            }
            bytes.insert(bytes.end(), answer->data.begin() + 8, answer->data.begin() + 8 + chunk);
        }
        return bytes;
    }

    std::string control(const std::string& command) {
        std::string reply;
        std::string error;
        if (!controlClient_.request(command, reply, error)) {
            return "failed: " + error;
        }
        return reply;
    }

    std::uint32_t commandUnit_ = 0;
    std::uint32_t consumerUnit_ = 0;
    tavrik::testing::TemporaryFolder folder_;
    ControlClient controlClient_{folder_.file("vkbd.sock")};
};

TEST_F(VirtualService, RequestsWithAWrongSignatureAreRefused) {
    const CommandPacket packet = commandPacket(kReadDeviceInfo, 44);
    const std::uint32_t countSignature = sign(kCommandSelector, nullptr, 0);
    EXPECT_EQ(lib().RequestGetDeviceCount(&kCommandSelector, nullptr, 0, countSignature, 0), 1);
    EXPECT_EQ(lib().RequestGetDeviceCount(&kCommandSelector, nullptr, 0, countSignature + 1, 0), 0);

    // Signed over other data than is sent: nothing reaches the keyboard.
    CommandPacket other = packet;
    other[8] = 1;
    EXPECT_EQ(lib().RequestWriteOne(&kCommandSelector, nullptr, 0, packet.data(), 64,
                                    sign(kCommandSelector, nullptr, 0, other), 0),
              0);
    // Signed with another callback address than is passed.
    std::uint32_t unit = 77;
    EXPECT_EQ(lib().RequestAsyncRead(&kCommandSelector, &recordingCallback, VEZAROR_TAG_CTRL,
                                     sign(kCommandSelector, nullptr, VEZAROR_TAG_CTRL), &unit),
              0);
    EXPECT_EQ(unit, 77u);
    EXPECT_EQ(control("state"), "ok plugged=1 profile=0 commands=0");

    // A signature taken over the 64 bytes in another order is the same sum.
    CommandPacket reversed = packet;
    std::reverse(reversed.begin(), reversed.end());
    EXPECT_EQ(lib().RequestWriteOne(&kCommandSelector, nullptr, 0, packet.data(), 64,
                                    sign(kCommandSelector, nullptr, 0, reversed), 0),
              1);
}

TEST_F(VirtualService, DeviceInformationAnswersOnTheCommandChannel) {
    const auto answer = exchange(commandPacket(kReadDeviceInfo, 44));
    ASSERT_TRUE(answer);
    ASSERT_EQ(answer->data.size(), 64u);
    EXPECT_EQ(answer->length, 64u);
    EXPECT_EQ(answer->data[3], kReadDeviceInfo);
    EXPECT_EQ(answer->data[7], 0);
    EXPECT_EQ(answer->data[8 + 10], 0) << "profile 0 active";
    EXPECT_EQ(answer->data[8 + 11], 255) << "macro memory of 32640 bytes";
    for (std::size_t effect = 1; effect <= 18; ++effect) {
        EXPECT_EQ(answer->data[8 + 11 + effect], effect);
    }
    for (std::size_t i = 30; i < 44; ++i) {
        EXPECT_EQ(answer->data[8 + i], 0) << "byte " << i;
    }
    // The answer of one collection reaches no channel of another.
    EXPECT_EQ(EventLog::instance().count(
                  [](const RecordedEvent& e) { return e.tag == VEZAROR_TAG_CONS; }),
              0u);
}

TEST_F(VirtualService, FactoryFreshMemory) {
    const std::vector<std::uint8_t> layout = readArea(kReadDefaultLayout, 0, 512);
    ASSERT_EQ(layout.size(), 512u);
    // Two records of the built-in table and the G keys behind it.
    EXPECT_EQ(std::vector<std::uint8_t>(layout.begin() + 3 * 8, layout.begin() + 3 * 8 + 3),
              (std::vector<std::uint8_t>{0x02, 0x02, 0x29}));
    EXPECT_EQ(std::vector<std::uint8_t>(layout.begin() + 3 * 112, layout.begin() + 3 * 112 + 3),
              (std::vector<std::uint8_t>{0x03, 0xB6, 0x00}));
    for (std::uint8_t slot = 1; slot <= 18; ++slot) {
        const std::size_t position = 127 + slot;
        EXPECT_EQ(layout[3 * position], 0x06);
        EXPECT_EQ(layout[3 * position + 1], 0xA2);
        EXPECT_EQ(layout[3 * position + 2], slot);
    }
    for (std::uint16_t page = 0; page < 3; ++page) {
        EXPECT_EQ(readArea(kReadKeyMapPage, static_cast<std::uint16_t>(page * 512), 512), layout)
            << "page " << page;
    }
    const std::vector<std::uint8_t> lighting = readArea(kReadParameters, 2 * 42, 56);
    const std::vector<std::uint8_t> defaultRecord = {
        0x01, 0x04, 0x01, 0x00, 0x01, 0xFF, 0x00, 0x00, 0x08, 0xFF, 0xFF, 0xFF,
        0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x00,
        0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00};
    ASSERT_EQ(lighting.size(), 56u);
    EXPECT_EQ(std::vector<std::uint8_t>(lighting.begin(), lighting.begin() + 35), defaultRecord);
    EXPECT_EQ(readArea(kReadMacroArea, 32640 - 56, 56), std::vector<std::uint8_t>(56, 0));
}

TEST_F(VirtualService, TheModelsEffectsComeFromTheEnvironment) {
    // clang-format off
    const struct {
        const char* setting;
        std::vector<std::uint8_t> effects;
    } cases[] = {
        {"1 8", {1, 8}},
        {"8,1, 17", {8, 1, 17}},
        {"0", {}},
        {"19", {}},
        {"1 x", {}},
        {"", {}},
    };
    // clang-format on
    std::vector<std::uint8_t> all(18);
    std::iota(all.begin(), all.end(), 1);
    for (const auto& c : cases) {
        ::setenv("VEZAROR_VIRTUAL_EFFECTS", c.setting, 1);
        restart();
        const std::vector<std::uint8_t> info = readArea(kReadDeviceInfo, 0, 44);
        std::vector<std::uint8_t> expected = c.effects.empty() ? all : c.effects;
        expected.resize(32, 0);
        EXPECT_EQ(std::vector<std::uint8_t>(info.begin() + 12, info.end()), expected) << c.setting;
        EXPECT_EQ(info[11], 255) << "the macro memory stays";
    }
    // Thirty-two effects fill every slot; one more is not this keyboard.
    std::string many;
    for (int i = 0; i < 32; ++i) {
        many += std::to_string(i % 18 + 1) + " ";
    }
    ::setenv("VEZAROR_VIRTUAL_EFFECTS", many.c_str(), 1);
    restart();
    EXPECT_EQ(readArea(kReadDeviceInfo, 0, 44)[43], 14);
    ::setenv("VEZAROR_VIRTUAL_EFFECTS", (many + "5").c_str(), 1);
    restart();
    EXPECT_EQ(readArea(kReadDeviceInfo, 0, 44)[43], 0);
    ::unsetenv("VEZAROR_VIRTUAL_EFFECTS");
}

TEST_F(VirtualService, RefusedCommandsAnswerStatusFF) {
    const std::uint8_t data[56] = {};
    std::uint8_t profileThree[44] = {};
    profileThree[10] = 3;
    struct Case {
        const char* what;
        CommandPacket packet;
        std::uint8_t status;
    };
    const Case cases[] = {
        {"unknown command", commandPacket(0x0B), 0xFF},
        {"length above 56", commandPacket(kReadKeyMapPage, 57, 0), 0xFF},
        {"page read past the third page", commandPacket(kReadKeyMapPage, 56, 1536 - 48), 0xFF},
        {"last bytes of the third page", commandPacket(kReadKeyMapPage, 8, 1536 - 8), 0x00},
        {"macro write past the memory", commandPacket(kWriteMacroArea, 20, 32640 - 10, data), 0xFF},
        {"macro write that ends at the memory's end",
         commandPacket(kWriteMacroArea, 56, 32640 - 56, data), 0x00},
        {"56 lighting bytes from the third record", commandPacket(kReadParameters, 56, 84), 0x00},
        {"lighting read past the area", commandPacket(kReadParameters, 56, 85), 0xFF},
        {"56 zone bytes from the third table", commandPacket(kReadColours, 56, 72), 0x00},
        {"zone write past the area", commandPacket(kWriteColours, 3, 200, data), 0xFF},
        {"default layout past its 512 bytes", commandPacket(kReadDefaultLayout, 8, 510), 0xFF},
        {"device information beyond 44 bytes", commandPacket(kReadDeviceInfo, 45), 0xFF},
        {"active profile 3", commandPacket(kWriteDeviceInfo, 44, 0, profileThree), 0xFF},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(statusOf(c.packet), c.status) << c.what;
    }
    // A refused write leaves the memory as it was.
    EXPECT_EQ(readArea(kReadDeviceInfo, 0, 44)[10], 0);

    CommandPacket corrupted = commandPacket(kReadDeviceInfo, 44);
    corrupted[1] ^= 1;
    EXPECT_EQ(statusOf(corrupted), 0xFE) << "bad checksum";
}

TEST_F(VirtualService, CommittedWritesSurviveARestartThroughTheStateFile) {
    std::vector<std::uint8_t> chunk(56);
    for (std::size_t i = 0; i < chunk.size(); ++i) {
        chunk[i] = static_cast<std::uint8_t>(0x40 + i);
    }
    std::uint8_t info[44] = {};
    info[10] = 2;
    info[11] = 1; // the keyboard keeps its own size
    ASSERT_EQ(statusOf(commandPacket(kBeginWrite)), 0);
    ASSERT_EQ(statusOf(commandPacket(kWriteKeyMapPage, 56, 512 + 56, chunk)), 0);
    ASSERT_EQ(statusOf(commandPacket(kWriteMacroArea, 56, 1000, chunk)), 0);
    ASSERT_EQ(statusOf(commandPacket(kEndWrite)), 0);
    ASSERT_EQ(statusOf(commandPacket(kWriteDeviceInfo, 44, 0, info)), 0);
    // Written after the last commit: lost at the restart, as without power.
    ASSERT_EQ(statusOf(commandPacket(kWriteColours, 3, 0, chunk)), 0);

    restart();

    EXPECT_EQ(readArea(kReadKeyMapPage, 512 + 56, 56), chunk);
    EXPECT_EQ(readArea(kReadMacroArea, 1000, 56), chunk);
    const std::vector<std::uint8_t> block = readArea(kReadDeviceInfo, 0, 44);
    ASSERT_EQ(block.size(), 44u);
    EXPECT_EQ(block[10], 2);
    EXPECT_EQ(block[11], 255);
    EXPECT_EQ(readArea(kReadColours, 0, 3), (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(control("state"), "ok plugged=1 profile=2 commands=4");
}

TEST_F(VirtualService, AnUnreadableStateFileGivesAFactoryFreshKeyboard) {
    const std::uint8_t chunk[3] = {9, 9, 9};
    ASSERT_EQ(statusOf(commandPacket(kWriteKeyMapPage, 3, 0, chunk)), 0);
    ASSERT_EQ(statusOf(commandPacket(kEndWrite)), 0);
    lib().End();
    std::string saved;
    {
        std::ifstream in(statePath(), std::ios::binary);
        saved.assign(std::istreambuf_iterator<char>(in), {});
    }
    ASSERT_GT(saved.size(), 1000u);
    const auto flipped = [&] {
        std::string bytes = saved;
        bytes[bytes.size() / 2] ^= 0x10;
        return bytes;
    }();
    const std::string damaged[] = {"garbage", saved.substr(0, saved.size() - 1), flipped, ""};
    for (const std::string& contents : damaged) {
        std::ofstream(statePath(), std::ios::binary | std::ios::trunc) << contents;
        EventLog::instance().clear();
        start();
        const std::vector<std::uint8_t> record = readArea(kReadKeyMapPage, 0, 3);
        EXPECT_EQ(record, (std::vector<std::uint8_t>{0x05, 0x00, 0x00}))
            << "state of " << contents.size() << " bytes";
        lib().End();
    }
    start();
}

TEST_F(VirtualService, KeysOnTheKeyboardRaiseConsumerEvents) {
    EventLog& log = EventLog::instance();
    EXPECT_EQ(control("press bank"), "ok");
    EXPECT_TRUE(log.take(consumerCode(767), kEventTimeout));

    EXPECT_EQ(control("press profile"), "ok");
    EXPECT_TRUE(log.take(consumerCode(1026), kEventTimeout));
    EXPECT_EQ(readArea(kReadDeviceInfo, 0, 44)[10], 1);
    EXPECT_EQ(control("press profile 0"), "ok");
    EXPECT_TRUE(log.take(consumerCode(1026), kEventTimeout));
    EXPECT_EQ(readArea(kReadDeviceInfo, 0, 44)[10], 0);
    EXPECT_EQ(control("press profile 2"), "ok");
    EXPECT_EQ(control("press profile"), "ok");
    EXPECT_EQ(control("state").substr(0, 22), "ok plugged=1 profile=0");
    EXPECT_EQ(control("press profile 3"), "error profile is 0, 1 or 2");

    // The lighting key moves the active profile to the next effect.
    EXPECT_EQ(control("press lighting"), "ok");
    EXPECT_TRUE(log.take(consumerCode(1025), kEventTimeout));
    EXPECT_EQ(readArea(kReadParameters, 0, 1), std::vector<std::uint8_t>{2});

    EXPECT_EQ(control("press tray 6161"), "ok");
    EXPECT_EQ(control("press tray 6160"), "ok");
    EXPECT_TRUE(log.take(consumerCode(6161), kEventTimeout));
    EXPECT_TRUE(log.take(consumerCode(6160), kEventTimeout));
    EXPECT_EQ(control("press tray 6145").substr(0, 6), "error ");
    EXPECT_EQ(control("press code 6147"), "ok");
    const auto raw = log.take(consumerCode(6147), kEventTimeout);
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->data, (std::vector<std::uint8_t>{0x03, 0x03, 0x18}));
}

TEST_F(VirtualService, UnplugAndPlugRaiseDeviceEventsWithTheCount) {
    EventLog& log = EventLog::instance();
    const std::uint32_t countSignature = sign(kCommandSelector, nullptr, 0);
    EXPECT_EQ(control("unplug"), "ok");
    auto gone = log.take(deviceChange(VEZAROR_TAG_CTRL), kEventTimeout);
    ASSERT_TRUE(gone);
    EXPECT_EQ(gone->length, 0u);
    EXPECT_TRUE(log.take(deviceChange(VEZAROR_TAG_CONS), kEventTimeout));
    EXPECT_EQ(lib().RequestGetDeviceCount(&kCommandSelector, nullptr, 0, countSignature, 0), 0);
    EXPECT_EQ(write(commandPacket(kReadDeviceInfo, 44)), 0);
    EXPECT_EQ(control("press bank"), "error the keyboard is unplugged");
    EXPECT_EQ(control("state"), "ok plugged=0 profile=0 commands=0");

    EXPECT_EQ(control("plug"), "ok");
    auto back = log.take(deviceChange(VEZAROR_TAG_CTRL), kEventTimeout);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->length, 1u);
    EXPECT_EQ(lib().RequestGetDeviceCount(&kCommandSelector, nullptr, 0, countSignature, 0), 1);
    EXPECT_TRUE(exchange(commandPacket(kReadDeviceInfo, 44)));
}

TEST_F(VirtualService, TheLedRequestReachesEveryKeyboardThatArrives) {
    const std::uint8_t report[2] = {0x05, 0x03};
    std::uint32_t unit = 0;
    ASSERT_EQ(lib().RequestStatusWrite(
                  &kLedSelector, &recordingCallback, VEZAROR_TAG_LED, report, 2,
                  sign(kLedSelector, &recordingCallback, VEZAROR_TAG_LED, report), &unit),
              1);
    EXPECT_NE(unit, 0u);
    EXPECT_NE(unit, commandUnit_);
    std::vector<std::uint8_t> led;
    std::string error;
    ASSERT_TRUE(controlClient_.readArea("led", led, error)) << error;
    EXPECT_EQ(led, (std::vector<std::uint8_t>{0x05, 0x03}));
    std::uint8_t status[8] = {};
    EXPECT_EQ(lib().RequestStatusGet(unit, status, sizeof status), 2);
    EXPECT_EQ(status[1], 0x03);
    EXPECT_EQ(lib().RequestStatusGet(unit + 1000, status, sizeof status), 0);

    // Power lost turns the LEDs off; the standing request lights them again.
    control("unplug");
    ASSERT_TRUE(controlClient_.readArea("led", led, error));
    EXPECT_EQ(led, (std::vector<std::uint8_t>{0x00, 0x00}));
    control("plug");
    const auto left = EventLog::instance().take(deviceChange(VEZAROR_TAG_LED), kEventTimeout);
    const auto arrived = EventLog::instance().take(deviceChange(VEZAROR_TAG_LED), kEventTimeout);
    ASSERT_TRUE(left && arrived);
    EXPECT_EQ(left->length, 0u);
    EXPECT_EQ(arrived->length, 1u);
    ASSERT_TRUE(controlClient_.readArea("led", led, error));
    EXPECT_EQ(led, (std::vector<std::uint8_t>{0x05, 0x03}));
}

TEST_F(VirtualService, CancelledRequestsDeliverNothing) {
    EXPECT_EQ(lib().DeleteRequestFromUnitId(0), 0);
    EXPECT_EQ(lib().DeleteRequestFromUnitId(consumerUnit_), 1);
    EXPECT_EQ(lib().DeleteRequestFromUnitId(consumerUnit_), 0);
    control("press bank");
    EXPECT_TRUE(exchange(commandPacket(kReadDeviceInfo, 44))) << "the command channel goes on";
    EXPECT_FALSE(EventLog::instance().take(consumerCode(767), 200ms));

    EXPECT_EQ(lib().DeleteRequestFromHandle(&recordingCallback), 1);
    EXPECT_EQ(write(commandPacket(kReadDeviceInfo, 44)), 1);
    EXPECT_FALSE(EventLog::instance().take(answerTo(kReadDeviceInfo), 200ms));
}

std::atomic<bool> releaseConsumer{false};
std::atomic<int> blockedConsumerEvents{0};

std::int32_t blockingCallback(const ServiceEvent*) {
    ++blockedConsumerEvents;
    while (!releaseConsumer) {
        std::this_thread::sleep_for(1ms);
    }
    return 1;
}

TEST_F(VirtualService, ABlockedConsumerCallbackDoesNotHoldBackAnswers) {
    lib().DeleteRequestFromUnitId(consumerUnit_);
    releaseConsumer = false;
    blockedConsumerEvents = 0;
    std::uint32_t unit = 0;
    ASSERT_EQ(lib().RequestAsyncRead(&kConsumerSelector, &blockingCallback, VEZAROR_TAG_CONS,
                                     sign(kConsumerSelector, &blockingCallback, VEZAROR_TAG_CONS),
                                     &unit),
              1);
    control("press bank");
    control("press bank");
    for (int i = 0; i < 3000 && blockedConsumerEvents == 0; ++i) {
        std::this_thread::sleep_for(1ms);
    }
    ASSERT_EQ(blockedConsumerEvents, 1);
    EXPECT_TRUE(exchange(commandPacket(kReadDeviceInfo, 44)));
    releaseConsumer = true;
    for (int i = 0; i < 3000 && blockedConsumerEvents < 2; ++i) {
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_EQ(blockedConsumerEvents, 2) << "the second event waited, it was not lost";
}

TEST_F(VirtualService, FaultsAffectTheNextCommands) {
    const CommandPacket read = commandPacket(kReadDeviceInfo, 44);
    EXPECT_EQ(control("fault noanswer 1"), "ok");
    EXPECT_FALSE(exchange(read, 300ms));
    EXPECT_TRUE(exchange(read));

    EXPECT_EQ(control("fault wrongcode 1"), "ok");
    ASSERT_EQ(write(read), 1);
    const auto wrong = EventLog::instance().take(answerTo(kReadDeviceInfo ^ 0x80), kEventTimeout);
    ASSERT_TRUE(wrong);

    EXPECT_EQ(control("fault status ff 2"), "ok");
    EXPECT_EQ(statusOf(read), 0xFF);
    EXPECT_EQ(statusOf(read), 0xFF);
    EXPECT_EQ(statusOf(read), 0x00);
    EXPECT_EQ(control("fault status fe 1"), "ok");
    EXPECT_EQ(statusOf(read), 0xFE);
    EXPECT_EQ(control("fault status ff 5"), "ok");
    EXPECT_EQ(control("fault none"), "ok");
    EXPECT_EQ(statusOf(read), 0x00);
    // Answered commands: every one but the unanswered.
    EXPECT_EQ(control("state"), "ok plugged=1 profile=0 commands=7");

    EXPECT_EQ(control("fault status"), "error usage: fault none|noanswer N|wrongcode N|status ff "
                                       "N|status fe N|unplug-after N");
}

TEST_F(VirtualService, UnplugInTheMiddleOfAWriteSequenceKeepsTheCommittedMemory) {
    const std::uint8_t chunk[56] = {1, 2, 3};
    EXPECT_EQ(control("fault unplug-after 2"), "ok");
    EXPECT_EQ(statusOf(commandPacket(kBeginWrite)), 0);
    EXPECT_EQ(statusOf(commandPacket(kWriteKeyMapPage, 56, 0, chunk)), 0);
    const auto gone = EventLog::instance().take(deviceChange(VEZAROR_TAG_CTRL), kEventTimeout);
    ASSERT_TRUE(gone);
    EXPECT_EQ(gone->length, 0u);
    EXPECT_EQ(write(commandPacket(kEndWrite)), 0);

    control("plug");
    ASSERT_TRUE(EventLog::instance().take(deviceChange(VEZAROR_TAG_CTRL), kEventTimeout));
    EXPECT_EQ(readArea(kReadKeyMapPage, 0, 3), (std::vector<std::uint8_t>{0x05, 0x00, 0x00}));
}

TEST_F(VirtualService, AnswersWaitForTheLatency) {
    EXPECT_EQ(control("latency 250"), "ok");
    const auto sent = std::chrono::steady_clock::now();
    const auto answer = exchange(commandPacket(kReadDeviceInfo, 44));
    ASSERT_TRUE(answer);
    EXPECT_GE(std::chrono::steady_clock::now() - sent, 240ms);
    EXPECT_EQ(control("latency 0"), "ok");
    EXPECT_EQ(control("latency -1").substr(0, 6), "error ");
}

TEST_F(VirtualService, TheControlSocketAnswersEveryLine) {
    EXPECT_EQ(control("state"), "ok plugged=1 profile=0 commands=0");
    EXPECT_EQ(control("shout"), "error unknown command 'shout'");
    EXPECT_EQ(control(""), "error unknown command ''");
    EXPECT_EQ(control("press"), "error usage: press bank|lighting|profile [N]|tray 6160|6161|code "
                                "<decimal>");
    EXPECT_EQ(control("dump raw nowhere").substr(0, 19), "error unknown area;");
    std::vector<std::uint8_t> info;
    std::string error;
    ASSERT_TRUE(controlClient_.readArea("info", info, error)) << error;
    EXPECT_EQ(info.size(), 44u);
    EXPECT_EQ(info[11], 255);
    const std::string dump = control("dump");
    EXPECT_EQ(dump.substr(0, 11), "ok\ninfo 44\n");
    EXPECT_NE(dump.find("\nmacro 32640\n"), std::string::npos);
    EXPECT_NE(dump.find("\nled 2\n"), std::string::npos);
}

} // namespace
} // namespace tavrik::service::testing
