#pragma once
// Real keyboards through hidapi (hidraw). The keyboard's collections are
// found by enumerating its vendor and product id and comparing with what is
// open: when a hot-plug source (udev's monitor, or a watch on the device
// folder where no udev runs) says hidraw nodes came or went, or, without
// one, every scan interval. A node of ours that cannot be opened yet
// is tried again every scan interval until it can. Each device node is
// opened twice, once for the thread that reads it and once for writes.
//
// Report layouts assumed on the wire (report id first, as hidraw gives it):
//   commands 0xFF1C/0x0092: 64-byte output and input reports, id 0x04
//   consumer 0x000C/0x0001: input: id, then the 16-bit code, low byte first
//   LED      0x0008/0x0089: 2-byte output report 05 state
// Input reports of a node that carries several collections go to the
// collection whose input report ids (from the node's report descriptor)
// include the report's id. A node without numbered reports gets a 0 id byte
// put in front, so every report the service sees starts with its id.
// Nodes whose collections are all Generic Desktop keyboards or mice are
// never opened: the keystrokes typed on the keyboard are none of the
// service's business.
//
// A node with a command collection is also opened for its lock, which every
// process that opens the node shares. Every open handle of a node receives
// every input report, so the writing handle's queue says what the device has
// sent: a drain takes it and waits until the reader has routed as many
// reports, and the reader keeps it short by taking it after each report.

#include "service/Backend.h"
#include "service/hidraw/HidApi.h"
#include "service/hidraw/HotplugSource.h"
#include "service/hidraw/ReportDescriptor.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace tavrik::service {

class HidrawBackend final : public Backend {
public:
    static constexpr std::chrono::milliseconds kScanInterval{500};

    // Without a hot-plug source the backend enumerates every scan interval.
    explicit HidrawBackend(std::unique_ptr<HidApi> api,
                           std::chrono::milliseconds scanInterval = kScanInterval,
                           std::unique_ptr<HotplugSource> hotplug = nullptr);
    ~HidrawBackend() override;

    bool start(BackendEvents& events) override;
    void stop() override;
    std::vector<HidInterface> interfaces() override;
    bool writeOutput(std::uint32_t interfaceId, std::span<const std::uint8_t> report) override;
    bool writeFeature(std::uint32_t interfaceId, std::span<const std::uint8_t> report) override;
    std::shared_ptr<DeviceLock> exchangeLock(std::uint32_t interfaceId) override;
    void drainInput(std::uint32_t interfaceId) override;

    // How long a drain waits for the reader to route what was sent before.
    static constexpr std::chrono::milliseconds kDrainTimeout{500};

private:
    struct Node;

    struct ScanResult {
        // The set of collections changed.
        bool changed = false;
        // A node of ours could not be opened.
        bool unopened = false;
    };

    void monitor();
    void closeEvents();
    // Until the hot-plug source has notices, a reader failed, the stop event
    // is set or the time-out (negative: none) runs out. True when a scan is
    // due.
    bool waitForChange(int timeoutMilliseconds);
    // Brings the open nodes in line with the enumeration.
    ScanResult scan();
    std::shared_ptr<Node> openNode(const std::string& path,
                                   const std::vector<HidDeviceEntry>& entries);
    void readNode(Node& node);
    void route(const Node& node, std::span<const std::uint8_t> report);
    Node* nodeOfLocked(std::uint32_t interfaceId);
    std::shared_ptr<Node> sharedNodeOfLocked(std::uint32_t interfaceId);
    // Takes what the writing handle has queued, counting it.
    static void takeQueuedLocked(Node& node);
    // A node stopped or failed: a drain that waits for it gives up.
    void wakeDrains();

    const std::unique_ptr<HidApi> api_;
    const std::chrono::milliseconds scanInterval_;
    // Dropped by the monitor thread when it fails.
    std::unique_ptr<HotplugSource> hotplug_;
    BackendEvents* events_ = nullptr;
    // Eventfds: set to end the monitor thread, and by a reader whose node
    // failed, so that the node's removal is reported at once.
    int stopEvent_ = -1;
    int rescanEvent_ = -1;

    std::mutex mutex_;
    // A reader routed a report.
    std::condition_variable routed_;
    std::vector<std::shared_ptr<Node>> nodes_;
    std::uint32_t lastInterfaceId_ = 0;
    // The monitor thread's own: a node could not be opened at the last scan.
    bool retryPending_ = false;
    std::thread monitor_;
};

} // namespace tavrik::service
