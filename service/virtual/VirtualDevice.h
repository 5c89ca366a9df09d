#pragma once
// The virtual keyboard itself: three HID collections (commands, consumer
// codes, LED report) in front of a VirtualKeyboard, a firmware thread that
// answers commands after a configurable latency, the state file that stands
// for the keyboard's flash, faults on request, and the control socket through
// which its keys are pressed and its cable pulled. One process serves it; the
// backend of every process reaches it (VirtualBackend.h).

#include "service/Backend.h"
#include "service/virtual/ControlServer.h"
#include "service/virtual/FaultPlan.h"
#include "service/virtual/TimerLead.h"
#include "service/virtual/VirtualKeyboard.h"

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace tavrik::service {

struct VirtualSettings {
    std::string statePath;
    // Empty: no control socket.
    std::string controlPath;
    std::uint32_t latencyMilliseconds = 0;
    bool pluggedAtStart = true;
    // The effects the keyboard model offers, in its order; empty: 1..18.
    std::vector<std::uint8_t> effects;

    // VEZAROR_VIRTUAL_STATE, VEZAROR_VIRTUAL_CONTROL,
    // VEZAROR_VIRTUAL_LATENCY_MS, VEZAROR_VIRTUAL_PLUGGED ("0": start
    // unplugged), VEZAROR_VIRTUAL_EFFECTS (effect numbers 1..18 separated by
    // blanks or commas, at most 32, for a model that offers fewer effects or
    // lists them in another order; anything else leaves 1..18). They are the
    // serving process's: one that reaches the keyboard through another uses
    // only the state file's path, and one that takes over keeps the cable as
    // it was.
    static VirtualSettings fromEnvironment();
};

// What every process knows of the device, so that all show the same
// interfaces, and what a process that takes over serving it keeps.
struct DeviceState {
    bool plugged = false;
    // Every plug gives the collections new ids, as a new device node would.
    std::uint32_t generation = 0;
};

class VirtualDevice final {
public:
    enum Collection : std::uint32_t { kCommands = 1, kConsumer = 2, kLed = 3 };

    // Report layouts of the collections, report id first:
    // consumer input 03 lo hi (16-bit code), LED output 05 state.
    static constexpr std::uint8_t kConsumerReportId = 0x03;
    static constexpr std::uint8_t kLedReportId = 0x05;
    static constexpr std::size_t kLedReportSize = 2;
    static constexpr std::uint32_t kMaximumLatencyMilliseconds = 60000;
    // Commands waiting for their answer; a host that writes faster than the
    // keyboard answers finds further writes refused, as by a full endpoint.
    static constexpr std::size_t kMaximumPendingCommands = 256;

    // The collection's interface in a generation of the device.
    static HidInterface collection(std::uint32_t generation, Collection collection);
    // Which collection an interface id names; none for an id of no collection.
    static std::optional<HidInterface> interfaceOf(std::uint32_t interfaceId);
    static std::vector<HidInterface> interfacesOf(const DeviceState& state);

    // `carried`: the state of the device as another process served it until
    // now; none for a device that starts afresh, as the settings say.
    VirtualDevice(VirtualSettings settings, std::optional<DeviceState> carried);
    ~VirtualDevice();
    VirtualDevice(const VirtualDevice&) = delete;
    VirtualDevice& operator=(const VirtualDevice&) = delete;

    // Loads the state file and starts the firmware thread and the control
    // socket. `events` hears of every report and device change.
    void start(BackendEvents& events);
    void stop();
    std::vector<HidInterface> interfaces();
    bool writeOutput(std::uint32_t interfaceId, std::span<const std::uint8_t> report);
    DeviceState state();

    // The keyboard's keys; false while unplugged.
    bool sendConsumerCode(std::uint16_t code);
    // Makes `profile` (or the next one) active, then reports code 1026.
    bool pressProfileKey(std::optional<std::uint8_t> profile);
    // Steps the active profile's effect, then reports code 1025.
    bool pressLightingKey();

    void unplug();
    void plug();
    void setLatency(std::uint32_t milliseconds);
    void setFault(Fault fault, std::uint32_t count, std::uint32_t after = 0);
    void clearFaults();
    // Unplugs after `count` further commands; 0 unplugs now.
    void unplugAfter(std::uint32_t count);

    // The working memory of an area by name (info, page0..page2, layout,
    // macro, lighting, zones, led); empty for an unknown name.
    std::optional<std::vector<std::uint8_t>> area(std::string_view name);

    struct Status {
        bool plugged = false;
        std::uint8_t profile = 0;
        std::uint64_t commandsAnswered = 0;
    };
    Status status();

private:
    struct PendingCommand {
        Packet packet{};
        std::chrono::steady_clock::time_point arrival;
    };
    // An answer on its way to the host.
    struct Reply {
        std::optional<Packet> answer;
        HidInterface source;
        bool unplugged = false;
    };

    void runFirmware();
    // Until `due` or a wake-up, whichever comes first: sleeps until shortly
    // before it, then watches the clock, so the answer is not late by the
    // timer latency.
    void waitUntilDue(std::unique_lock<std::mutex>& lock,
                      std::chrono::steady_clock::time_point due);
    // With no latency and nothing queued or on its way, a command is
    // answered from inside its write.
    bool answersAtOnceLocked() const;
    // Executes a command; its answer is then on its way until delivered.
    Reply executeLocked(const Packet& request);
    // Without the lock: reports the answer. One answer is on its way at a
    // time, so answers keep the order of their commands.
    void deliver(const Reply& reply);
    // Executes one command with its fault; empty when it goes unanswered.
    std::optional<Packet> answerLocked(const Packet& request);
    void saveLocked();
    // Pulls the cable: pending commands are lost, memory falls back to flash,
    // the LEDs go dark.
    void disconnectLocked();
    HidInterface collectionLocked(Collection collection) const;
    bool isCurrentLocked(std::uint32_t interfaceId, Collection collection) const;

    const VirtualSettings settings_;
    const std::optional<DeviceState> carried_;
    BackendEvents* events_ = nullptr;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::unique_ptr<VirtualKeyboard> keyboard_;
    bool plugged_ = false;
    std::uint32_t generation_ = 0;
    std::deque<PendingCommand> pending_;
    FaultPlan faults_;
    std::uint32_t latencyMilliseconds_ = 0;
    TimerLead timerLead_;
    std::uint64_t commandsAnswered_ = 0;
    // The last LED report the host wrote; zeros before the first and after
    // the power was lost.
    std::array<std::uint8_t, kLedReportSize> ledReport_{};
    bool stopping_ = false;
    bool reporting_ = false;

    std::thread firmware_;
    std::unique_ptr<ControlServer> control_;
};

} // namespace tavrik::service
