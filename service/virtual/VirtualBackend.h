#pragma once
// The virtual keyboard as a backend: one keyboard per state file, which every
// process of the user reaches as a hidraw node is reached. The first process
// to start takes the keyboard's server lock, runs the keyboard
// (VirtualDevice) and serves it on its device socket; later processes
// connect and reach it through the serving process (DeviceClient), receiving
// every input report, as every open hidraw handle does. When the serving
// process ends, one of the others takes the lock and serves the keyboard
// from its state file, with the same interfaces and presence, so that
// nobody sees it go and come; what was not committed is lost, as without
// power, and the backends tell their services so. Whichever process serves
// it, the control socket (vkbd) is the serving process's.
//
// The process that serves the keyboard reaches it directly, as before:
// answers given at once come back from inside the write, and nothing of the
// socket costs anything while nobody else is connected.

#include "service/Backend.h"
#include "service/DeviceLock.h"
#include "service/virtual/DeviceClient.h"
#include "service/virtual/DeviceServer.h"
#include "service/virtual/SharedDevicePaths.h"
#include "service/virtual/VirtualDevice.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace tavrik::service {

class VirtualBackend final : public Backend, private BackendEvents {
public:
    // How long a process looks for the keyboard's server, at start and when
    // the one it reached is gone.
    static constexpr std::chrono::seconds kAttachTimeout{5};

    explicit VirtualBackend(VirtualSettings settings);
    ~VirtualBackend() override;

    bool start(BackendEvents& events) override;
    void stop() override;
    std::vector<HidInterface> interfaces() override;
    bool writeOutput(std::uint32_t interfaceId, std::span<const std::uint8_t> report) override;
    bool writeFeature(std::uint32_t interfaceId, std::span<const std::uint8_t> report) override;
    std::shared_ptr<DeviceLock> exchangeLock(std::uint32_t interfaceId) override;
    void drainInput(std::uint32_t interfaceId) override;

private:
    // The keyboard itself when this process serves it, else the connection
    // to the process that does.
    struct Reach {
        std::shared_ptr<VirtualDevice> device;
        std::shared_ptr<DeviceClient> client;
    };

    // The events of the keyboard served here: this process hears of each
    // first, then the others.
    void inputReport(const HidInterface& source, std::span<const std::uint8_t> report) override;
    void devicesChanged() override;
    void deviceRestarted() override;

    // Serves the keyboard, or reaches the process that does, within the
    // attach time-out.
    bool attach(const std::optional<DeviceState>& carried);
    bool serve(const std::optional<DeviceState>& carried);
    bool install(Reach reach);
    // On the reader thread of a connection that ended.
    void serverLost(const DeviceState& last);
    // The reach to use now: waits while the next server is being found.
    // `restarts`, when given, receives how often the keyboard restarted.
    Reach reach(std::uint64_t* restarts = nullptr);

    const VirtualSettings settings_;
    const SharedDevicePaths paths_;
    BackendEvents* events_ = nullptr;
    // Null for a keyboard of this process alone.
    std::shared_ptr<DeviceLock> serverLock_;
    std::shared_ptr<DeviceLock> exchangeLock_;
    // Set before the keyboard served here starts and reset after it stopped,
    // so its threads read it without the lock.
    std::unique_ptr<DeviceServer> server_;

    std::mutex mutex_;
    std::condition_variable attached_;
    Reach reach_;
    // The keyboard restarted: its serving process changed, or went.
    std::uint64_t restarts_ = 0;
    // As the last drain saw it; commands, serialised by the exchanges, go out
    // only with it unchanged.
    std::atomic<std::uint64_t> drainedRestarts_{0};
    bool attaching_ = false;
    bool stopping_ = false;
    // Connections that ended; their reader threads are joined at stop().
    std::vector<std::shared_ptr<DeviceClient>> retired_;
};

} // namespace tavrik::service
