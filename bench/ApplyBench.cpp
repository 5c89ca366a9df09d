// The largest write Apply makes: the key map pages of the three profiles and
// a full macro memory (255 blocks of 128 bytes), to the virtual keyboard.
// The argument is the keyboard's answer latency in milliseconds. Every pause
// the protocol makes goes through a clock that adds up how long it took, so
// each run yields its own yardstick:
//   yardstick_ms      exchanges x latency + the protocol's fixed pauses
//   ratio             the Apply's wall time over its yardstick
//   own_us            per exchange, the wall time less the pauses and the
//                     latency: what the program (and the keyboard's model)
//                     spend on one exchange

#include "device/Channels.h"
#include "device/Clock.h"
#include "device/DeviceState.h"
#include "device/ServiceBinding.h"
#include "service/virtual/ControlClient.h"
#include "sync/Apply.h"
#include "sync/DataSets.h"
#include "sync/DeviceMemory.h"
#include "tests/support/FullProfile.h"
#include "tests/support/TemporaryFolder.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <stdlib.h>
#include <string>

namespace {

using namespace tavrik;

constexpr std::size_t kFullMacroMemory = 255 * 128;

// The largest profile the keyboard takes: a full macro memory and keys
// assigned in all three layers.
void fillWorkingSet() {
    const sync::DataSetLock lock = sync::lockWorkingSet();
    sync::workingSet() = testing::fullWorkingSet(0);
}

// Commands the virtual keyboard has answered; -1 when it cannot say.
long answeredCommands(service::ControlClient& keyboard) {
    std::string reply;
    std::string error;
    if (!keyboard.request("state", reply, error)) {
        return -1;
    }
    const auto at = reply.find("commands=");
    return at == std::string::npos ? -1 : std::stol(reply.substr(at + 9));
}

// The steady clock, adding up the pauses of the protocol: the time asked for
// and the time they really took.
class PauseClock final : public device::Clock {
public:
    void sleepFor(std::chrono::milliseconds duration) override {
        const auto start = std::chrono::steady_clock::now();
        steady_.sleepFor(duration);
        asked += duration;
        taken += std::chrono::steady_clock::now() - start;
    }
    device::WaitResult waitForEvent(device::AutoResetEvent& event,
                                    std::chrono::milliseconds timeout) override {
        return steady_.waitForEvent(event, timeout);
    }

    std::chrono::duration<double, std::milli> asked{0};
    std::chrono::duration<double, std::milli> taken{0};

private:
    device::SteadyClock steady_;
};

// A fresh virtual keyboard in a folder of its own, bound as the program binds it.
bool startVirtualKeyboard(const std::string& folder) {
    ::setenv("VEZAROR_BACKEND", "virtual", 1);
    ::setenv("VEZAROR_VIRTUAL_STATE", (folder + "/keyboard.state").c_str(), 1);
    ::setenv("VEZAROR_VIRTUAL_CONTROL", (folder + "/vkbd.sock").c_str(), 1);
    ::setenv("VEZAROR_VIRTUAL_LATENCY_MS", "0", 1);
    if (device::bindService() != device::BindResult::Bound) {
        return false;
    }
    device::registerChannels();
    return sync::readKeyboardLayoutAndCapacity() && sync::macroCapacity() == kFullMacroMemory;
}

void FullApply(benchmark::State& state) {
    const testing::TemporaryFolder temporary;
    const std::string& folder = temporary.path();
    if (folder.empty() || !startVirtualKeyboard(folder)) {
        state.SkipWithError("the virtual keyboard is not available");
        return;
    }
    service::ControlClient keyboard(folder + "/vkbd.sock");
    const auto latency = static_cast<double>(state.range(0));
    std::string reply;
    std::string error;
    if (!keyboard.request("latency " + std::to_string(state.range(0)), reply, error)) {
        state.SkipWithError("the virtual keyboard's latency cannot be set");
        return;
    }
    fillWorkingSet();
    PauseClock clock;
    device::installDeviceClock(&clock);
    const sync::DataSetLock lock = sync::lockWorkingSet();
    const long before = answeredCommands(keyboard);
    int failures = 0;
    std::chrono::duration<double, std::milli> wall{0};
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        failures += sync::buildApplySnapshot(true) == 1 ? 0 : 1;
        wall += std::chrono::steady_clock::now() - start;
    }
    device::installDeviceClock(nullptr);
    const auto applies = static_cast<double>(state.iterations());
    const double exchanges = static_cast<double>(answeredCommands(keyboard) - before) / applies;
    if (failures != 0) {
        state.SkipWithError("the keyboard refused a write");
    }
    const double wallMs = wall.count() / applies;
    const double yardstickMs = exchanges * latency + clock.asked.count() / applies;
    state.counters["exchanges"] = exchanges;
    state.counters["pauses_ms"] = clock.asked.count() / applies;
    state.counters["yardstick_ms"] = yardstickMs;
    state.counters["ratio"] = wallMs / yardstickMs;
    state.counters["own_us"] =
        1000.0 * (wallMs - clock.taken.count() / applies - exchanges * latency) / exchanges;
    device::service().End();
    device::resetServiceBinding();
    sync::resetDataSets();
    device::resetDeviceState();
    sync::resetDeviceMemory();
}

BENCHMARK(FullApply)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
