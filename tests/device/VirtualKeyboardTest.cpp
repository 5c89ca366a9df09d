// The program side against the real service library and its virtual
// keyboard, bound exactly as the program binds it: dlopen by bare name,
// found through the test program's RUNPATH in the folder of the executables.

#include "device/Channels.h"
#include "device/Commands.h"
#include "device/LinkShutdown.h"
#include "device/ServiceBinding.h"
#include "service/virtual/ControlClient.h"
#include "tests/device/DeviceFixture.h"
#include "tests/support/TemporaryFolder.h"

#include <array>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <list>
#include <mutex>
#include <numeric>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace tavrik::device::testing {
namespace {

using namespace std::chrono_literals;

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

Bytes pattern(std::size_t size, unsigned seed) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>((i * 31 + seed * 17 + (i >> 8)) & 0xFF);
    }
    return bytes;
}

Bytes slice(const Bytes& bytes, std::size_t offset, std::size_t length) {
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                 bytes.begin() + static_cast<std::ptrdiff_t>(offset + length));
}

void useVirtualKeyboard(const tavrik::testing::TemporaryFolder& folder) {
    ::setenv("VEZAROR_BACKEND", "virtual", 1);
    ::setenv("VEZAROR_VIRTUAL_STATE", folder.file("keyboard.state").c_str(), 1);
    ::setenv("VEZAROR_VIRTUAL_CONTROL", folder.file("vkbd.sock").c_str(), 1);
    ::unsetenv("VEZAROR_VIRTUAL_LATENCY_MS");
    ::unsetenv("VEZAROR_VIRTUAL_PLUGGED");
}

class VirtualKeyboard : public ::testing::Test {
protected:
    // The answer time-out is cut to 200 ms; the keyboard answers at once.
    VirtualKeyboard() : clock(5), keyboard(folder.file("vkbd.sock")) {}

    void SetUp() override {
        resetDeviceLink();
        useVirtualKeyboard(folder);
        installDeviceClock(&clock);
        platform::installMainWindowPort(&window);
        bindAndRegister();
    }

    void TearDown() override {
        endService();
        resetDeviceLink();
    }

    void bindAndRegister() {
        ASSERT_EQ(bindService(), BindResult::Bound);
        registerChannels();
    }

    void endService() {
        shutDownDeviceLink();
        resetServiceBinding();
    }

    std::string control(const std::string& command) {
        std::string reply;
        std::string error;
        EXPECT_TRUE(keyboard.request(command, reply, error)) << command << ": " << error;
        EXPECT_EQ(reply.rfind("ok", 0), 0u) << command << ": " << reply;
        return reply;
    }

    Bytes area(const std::string& name) {
        Bytes bytes;
        std::string error;
        EXPECT_TRUE(keyboard.readArea(name, bytes, error)) << name << ": " << error;
        return bytes;
    }

    tavrik::testing::TemporaryFolder folder;
    RecordingMainWindow window;
    TestClock clock;
    tavrik::service::ControlClient keyboard;
};

TEST_F(VirtualKeyboard, ReadsEveryMemoryArea) {
    std::array<std::uint8_t, kDeviceInfoSize> info{};
    ASSERT_EQ(readDeviceInfo(info), 1);
    EXPECT_EQ(Bytes(info.begin(), info.end()), area("info"));

    std::array<std::uint8_t, kDefaultLayoutSize> layout{};
    EXPECT_EQ(readDefaultLayout(layout), 1);
    EXPECT_EQ(Bytes(layout.begin(), layout.end()), area("layout"));

    for (int page = 0; page < 3; ++page) {
        std::array<std::uint8_t, kKeyMapPageSize> bytes{};
        EXPECT_EQ(readKeyMapPage(bytes, page), 1);
        EXPECT_EQ(Bytes(bytes.begin(), bytes.end()), area("page" + std::to_string(page)));
    }

    Bytes macros(info[kDeviceInfoMacroUnits] * 128u);
    ASSERT_FALSE(macros.empty());
    EXPECT_EQ(readMacroArea(macros), 1);
    EXPECT_EQ(macros, area("macro"));

    const Bytes lighting = area("lighting");
    const Bytes zones = area("zones");
    for (std::uint32_t profile = 0; profile < 3; ++profile) {
        std::array<std::uint8_t, kSinglePacketBlockSize> block{};
        EXPECT_EQ(readParameters(block, 56, profile * 42), 1);
        EXPECT_EQ(Bytes(block.begin(), block.end()), slice(lighting, profile * 42, 56));
        EXPECT_EQ(readColours(block, 36, 0, static_cast<int>(profile)), 1);
        EXPECT_EQ(Bytes(block.begin(), block.begin() + 36), slice(zones, profile * 36, 36));
    }
}

TEST_F(VirtualKeyboard, WritesEveryWritableAreaInOneSequence) {
    std::array<std::uint8_t, kDeviceInfoSize> info{};
    ASSERT_EQ(readDeviceInfo(info), 1);
    info[kDeviceInfoActiveProfile] = 2;
    const Bytes macros = pattern(1000, 9);
    const Bytes parameters = pattern(42, 4);
    const Bytes colour = {0x12, 0x34, 0x56};

    ASSERT_EQ(beginWrite(), 1);
    for (int page = 0; page < 3; ++page) {
        const Bytes bytes = pattern(kKeyMapPageSize, static_cast<unsigned>(page));
        EXPECT_EQ(writeKeyMapPage(std::span<const std::uint8_t, kKeyMapPageSize>(bytes), page), 1);
    }
    EXPECT_EQ(writeMacroArea(macros), 1);
    EXPECT_EQ(writeParameters(parameters, 42), 1);
    EXPECT_EQ(writeColours(colour, 4, 2), 1);
    EXPECT_EQ(writeDeviceInfo(info), 1);
    EXPECT_EQ(endWrite(), 1);

    for (int page = 0; page < 3; ++page) {
        EXPECT_EQ(area("page" + std::to_string(page)),
                  pattern(kKeyMapPageSize, static_cast<unsigned>(page)));
    }
    EXPECT_EQ(slice(area("macro"), 0, macros.size()), macros);
    EXPECT_EQ(slice(area("lighting"), 42, 42), parameters);
    EXPECT_EQ(slice(area("zones"), 3 * (4 + 12 * 2), 3), colour);
    EXPECT_EQ(area("info")[kDeviceInfoActiveProfile], 2);
    EXPECT_EQ(readActiveProfile(), 2);
    EXPECT_EQ(cachedActiveProfile(), 2);

    Bytes macrosBack(macros.size());
    EXPECT_EQ(readMacroArea(macrosBack), 1);
    EXPECT_EQ(macrosBack, macros);
}

TEST_F(VirtualKeyboard, StateFileKeepsAWriteAcrossEndAndInit) {
    const Bytes page = pattern(kKeyMapPageSize, 77);
    ASSERT_EQ(beginWrite(), 1);
    ASSERT_EQ(writeKeyMapPage(std::span<const std::uint8_t, kKeyMapPageSize>(page), 1), 1);
    ASSERT_EQ(endWrite(), 1);

    endService();
    resetChannels();
    bindAndRegister();

    std::array<std::uint8_t, kKeyMapPageSize> readBack{};
    EXPECT_EQ(readKeyMapPage(readBack, 1), 1);
    EXPECT_EQ(Bytes(readBack.begin(), readBack.end()), page);
}

TEST_F(VirtualKeyboard, FaultsMapToTheirResults) {
    struct Row {
        const char* fault;
        int result;
    };
    const Row rows[] = {
        {"fault status ff 3", -102}, {"fault status fe 3", -103}, {"fault noanswer 3", -2},
        {"fault wrongcode 3", -2},   {"fault status ff 2", 1},    {"fault noanswer 2", 1},
        {"fault wrongcode 2", 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.fault);
        control(row.fault);
        std::array<std::uint8_t, kDeviceInfoSize> info{};
        EXPECT_EQ(readDeviceInfo(info), row.result);
        control("fault none");
    }

    control("unplug");
    std::array<std::uint8_t, kDeviceInfoSize> info{};
    EXPECT_EQ(readDeviceInfo(info), 0);
    EXPECT_EQ(readActiveProfile(), -1);
    control("plug");
    EXPECT_TRUE(eventually([&] { return readDeviceInfo(info) == 1; }));
}

// A keyboard that answers after the time-out: each answer reaches the retry
// of its packet or the packet after it. Each must be taken only by the packet
// it answers: a read gets its chunks in order or fails, and a refused write
// is never reported as written.
TEST_F(VirtualKeyboard, LateAnswersAreTakenOnlyByThePacketTheyAnswer) {
    const Bytes page = pattern(kKeyMapPageSize, 3);
    ASSERT_EQ(beginWrite(), 1);
    ASSERT_EQ(writeKeyMapPage(std::span<const std::uint8_t, kKeyMapPageSize>(page), 1), 1);
    ASSERT_EQ(endWrite(), 1);
    const std::array<std::uint8_t, 3> colour = {0x12, 0x34, 0x56};
    // A slot past the end of the zone memory: the keyboard refuses it.
    const int refusedSlot = static_cast<int>(area("zones").size() / 3);

    control("latency 300"); // the answer time-out is 200 ms here
    std::array<std::uint8_t, kKeyMapPageSize> readBack{};
    const int read = readKeyMapPage(readBack, 1);
    if (read == 1) {
        EXPECT_EQ(Bytes(readBack.begin(), readBack.end()), page);
    } else {
        EXPECT_EQ(read, -2);
    }
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        const int accepted = writeColours(colour, 0, 0);
        EXPECT_TRUE(accepted == 1 || accepted == -2) << accepted;
        EXPECT_NE(writeColours(colour, refusedSlot, 0), 1);
    }
    control("latency 0");
}

TEST_F(VirtualKeyboard, KeyboardLostInTheMiddleOfAPageEndsTheWriteAndKeepsTheFlash) {
    const Bytes before = area("page0");
    control("fault unplug-after 3"); // beginWrite and two packets of the page
    ASSERT_EQ(beginWrite(), 1);
    const Bytes page = pattern(kKeyMapPageSize, 5);
    EXPECT_EQ(writeKeyMapPage(std::span<const std::uint8_t, kKeyMapPageSize>(page), 0), 0);
    control("plug");
    EXPECT_EQ(area("page0"), before);
}

TEST_F(VirtualKeyboard, KeysOfTheKeyboardReachTheCallback) {
    control("press bank");
    ASSERT_TRUE(eventually([&] { return window.sent().size() == 1; }));
    EXPECT_EQ(window.sent()[0].message, platform::message::BankChanged);
    EXPECT_EQ(window.sent()[0].wParam, platform::wparam::Led);
    EXPECT_EQ(currentBank(), 1);
    std::array<std::uint8_t, 2> led{};
    EXPECT_EQ(service().RequestStatusGet(channelUnitIds().led, led.data(), 2), 2);
    EXPECT_EQ(led, (std::array<std::uint8_t, 2>{0x05, 0x03}));
    EXPECT_TRUE(eventually([&] { return area("led") == Bytes{0x05, 0x03}; }));

    control("press bank");
    ASSERT_TRUE(eventually([&] { return window.sent().size() == 2; }));
    EXPECT_EQ(currentBank(), 0);
    EXPECT_TRUE(eventually([&] { return area("led") == Bytes{0x05, 0x02}; }));

    control("press lighting");
    control("press profile 2");
    control("press tray 6161");
    EXPECT_TRUE(eventually([&] {
        const auto timers = window.timers();
        return timers.size() == 2;
    }));
    EXPECT_EQ(window.timers(),
              (std::vector<std::pair<std::uint32_t, std::uint32_t>>{
                  {platform::timer::LightingReload, 0}, {platform::timer::ProfileReload, 0}}));
    EXPECT_TRUE(eventually([&] { return window.trayIcons() == std::vector<int>{142}; }));
    EXPECT_EQ(readActiveProfile(), 2);
}

TEST_F(VirtualKeyboard, UnplugAndPlugStartDeviceChangeWorkersWithTheCount) {
    std::mutex mutex;
    std::vector<std::int32_t> counts;
    setDeviceChangeWorkerBody([&](std::int32_t count) {
        std::lock_guard lock(mutex);
        counts.push_back(count);
    });
    auto seen = [&] {
        std::lock_guard lock(mutex);
        return counts;
    };
    control("unplug");
    EXPECT_TRUE(eventually([&] { return seen() == std::vector<std::int32_t>{0}; }));
    control("plug");
    EXPECT_TRUE(eventually([&] { return seen() == std::vector<std::int32_t>{0, 1}; }));
    joinAllWorkers();
    setDeviceChangeWorkerBody({});
}

// A main window that is still busy when the program ends: the bank message
// (on the service's thread) and the tray request (on a worker) return only
// once the service is being ended, which closes the virtual keyboard's
// control socket; the steps are noted in order.
class WindowBusyUntilTheServiceEnds final : public RecordingMainWindow {
public:
    explicit WindowBusyUntilTheServiceEnds(std::string controlSocket)
        : controlSocket_(std::move(controlSocket)) {}

    std::intptr_t sendMessage(std::uint32_t, std::uintptr_t, std::intptr_t) override {
        waitForTheEnd();
        return 0;
    }
    void setTrayIcon(int) override { waitForTheEnd(); }

    void note(const std::string& step) {
        std::lock_guard lock(mutex_);
        steps_.push_back(step);
    }
    std::vector<std::string> steps() const {
        std::lock_guard lock(mutex_);
        return steps_;
    }

private:
    void waitForTheEnd() {
        note("entered");
        tavrik::service::ControlClient keyboard(controlSocket_);
        std::string reply;
        std::string error;
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (keyboard.request("state", reply, error)) {
            if (std::chrono::steady_clock::now() > deadline) {
                note("gave up");
                return;
            }
            std::this_thread::sleep_for(2ms);
        }
        note("left");
    }

    const std::string controlSocket_;
    mutable std::mutex mutex_;
    std::vector<std::string> steps_;
};

// At exit nothing that a service thread or a worker still does may outlive
// the shutdown of the link: a callback in progress and a worker at work both
// end before it returns.
TEST_F(VirtualKeyboard, ShutDownReturnsAfterCallbacksAndWorkersInProgress) {
    const char* const presses[] = {"press bank", "press tray 6161"};
    std::list<WindowBusyUntilTheServiceEnds> windows;
    for (const char* press : presses) {
        SCOPED_TRACE(press);
        WindowBusyUntilTheServiceEnds& busy = windows.emplace_back(folder.file("vkbd.sock"));
        platform::installMainWindowPort(&busy);
        // A connection of its own: the keyboard is a new one in every round.
        tavrik::service::ControlClient client(folder.file("vkbd.sock"));
        std::string reply;
        std::string error;
        ASSERT_TRUE(client.request(press, reply, error)) << error;
        ASSERT_TRUE(eventually([&] { return !busy.steps().empty(); }));
        shutDownDeviceLink();
        busy.note("shut down");
        EXPECT_EQ(busy.steps(), (std::vector<std::string>{"entered", "left", "shut down"}));

        platform::installMainWindowPort(&window);
        resetServiceBinding();
        resetChannels();
        bindAndRegister();
    }
}

TEST(VirtualKeyboardStart, NoKeyboardAtStartSetsTheStartHiddenFlag) {
    resetDeviceLink();
    tavrik::testing::TemporaryFolder folder;
    useVirtualKeyboard(folder);
    ::setenv("VEZAROR_VIRTUAL_PLUGGED", "0", 1);
    ASSERT_EQ(bindService(), BindResult::Bound);
    registerChannels();
    EXPECT_TRUE(startFlags().startHidden.load());
    service().End();
    resetServiceBinding();
    ::unsetenv("VEZAROR_VIRTUAL_PLUGGED");
    resetDeviceLink();
}

TEST(VirtualKeyboardStartDeathTest, ASuccessfulBindingLetsTheProgramGoOn) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    tavrik::testing::TemporaryFolder folder;
    useVirtualKeyboard(folder);
    for (const bool ahead : {false, true}) {
        SCOPED_TRACE(ahead ? "bound ahead on a thread" : "bound at once");
        EXPECT_EXIT(
            {
                if (ahead) {
                    startBindingService();
                }
                bindServiceOrExit();
                if (!isServiceBound()) {
                    std::_Exit(1);
                }
                service().End();
                std::_Exit(7);
            },
            ::testing::ExitedWithCode(7), "");
    }
}

} // namespace
} // namespace tavrik::device::testing
