#include "service/hidraw/HidrawBackend.h"

#include "service/Diagnostics.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <map>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace tavrik::service {
namespace {

constexpr int kReadTimeoutMilliseconds = 100;
constexpr std::size_t kMaximumInputReport = 64;
// A hidraw handle queues at most 64 reports.
constexpr std::size_t kMaximumQueuedReports = 64;

constexpr std::uint16_t kGenericDesktopPage = 0x0001;
constexpr std::uint16_t kMouseUsage = 0x0002;
constexpr std::uint16_t kKeyboardUsage = 0x0006;

using Usage = std::pair<std::uint16_t, std::uint16_t>;

std::vector<Usage> usagesOf(const std::vector<HidDeviceEntry>& entries) {
    std::vector<Usage> usages;
    for (const HidDeviceEntry& entry : entries) {
        usages.emplace_back(entry.usagePage, entry.usage);
    }
    std::sort(usages.begin(), usages.end());
    return usages;
}

// Nodes that only type keys or move a pointer: the service never opens them,
// so the user's keystrokes do not pass through it.
bool onlyTypesOrPoints(const std::vector<HidDeviceEntry>& entries) {
    return std::all_of(entries.begin(), entries.end(), [](const HidDeviceEntry& entry) {
        return entry.usagePage == kGenericDesktopPage &&
               (entry.usage == kKeyboardUsage || entry.usage == kMouseUsage);
    });
}

} // namespace

struct HidrawBackend::Node {
    std::string path;
    std::vector<Usage> usages;
    std::vector<HidInterface> interfaces;
    std::optional<ReportLayout> layout;
    std::unique_ptr<HidHandle> reader;
    // Guarded by the backend's mutex, as are the counts.
    std::unique_ptr<HidHandle> writer;
    // Reports taken from the writer's queue, and reports the reader routed:
    // both handles receive the same ones.
    std::uint64_t taken = 0;
    std::uint64_t routed = 0;
    // Null for a node without a command collection.
    std::shared_ptr<DeviceLock> lock;
    std::atomic<bool> stop{false};
    std::atomic<bool> failed{false};
    std::thread thread;
};

HidrawBackend::HidrawBackend(std::unique_ptr<HidApi> api, std::chrono::milliseconds scanInterval,
                             std::unique_ptr<HotplugSource> hotplug)
    : api_(std::move(api)), scanInterval_(scanInterval), hotplug_(std::move(hotplug)) {}

HidrawBackend::~HidrawBackend() {
    stop();
}

bool HidrawBackend::start(BackendEvents& events) {
    if (!api_->init()) {
        diagnostic(kDiagnosticErrors, "hidraw: hidapi could not start");
        return false;
    }
    stopEvent_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    rescanEvent_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (stopEvent_ < 0 || rescanEvent_ < 0) {
        closeEvents();
        api_->exit();
        return false;
    }
    {
        std::lock_guard lock(mutex_);
        events_ = &events;
    }
    // The first scan happens now, so a keyboard that is plugged in is
    // present as soon as the service is. The hot-plug source already
    // listens, so nothing that arrives meanwhile goes unnoticed.
    const bool unopened = scan().unopened;
    monitor_ = std::thread([this, unopened] {
        retryPending_ = unopened;
        monitor();
    });
    return true;
}

void HidrawBackend::stop() {
    if (!monitor_.joinable()) {
        return;
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(stopEvent_, &one, sizeof one);
    monitor_.join();
    std::vector<std::shared_ptr<Node>> nodes;
    {
        std::lock_guard lock(mutex_);
        nodes.swap(nodes_);
    }
    for (const auto& node : nodes) {
        node->stop = true;
    }
    wakeDrains();
    for (const auto& node : nodes) {
        node->thread.join();
    }
    nodes.clear();
    closeEvents();
    api_->exit();
}

void HidrawBackend::closeEvents() {
    for (int* event : {&stopEvent_, &rescanEvent_}) {
        if (*event >= 0) {
            ::close(*event);
            *event = -1;
        }
    }
}

void HidrawBackend::monitor() {
    const auto interval = static_cast<int>(scanInterval_.count());
    for (;;) {
        // With a hot-plug source the thread sleeps until a notice comes, or
        // until a node that could not be opened is due to be tried again.
        const int timeout = hotplug_ == nullptr || retryPending_ ? interval : -1;
        if (!waitForChange(timeout)) {
            return;
        }
        const ScanResult result = scan();
        retryPending_ = result.unopened;
        if (result.changed) {
            events_->devicesChanged();
        }
    }
}

bool HidrawBackend::waitForChange(int timeoutMilliseconds) {
    for (;;) {
        pollfd watched[3] = {{stopEvent_, POLLIN, 0},
                             {hotplug_ != nullptr ? hotplug_->descriptor() : -1, POLLIN, 0},
                             {rescanEvent_, POLLIN, 0}};
        const int ready = ::poll(watched, 3, timeoutMilliseconds);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready < 0 || (watched[0].revents & POLLIN) != 0) {
            return false;
        }
        if (ready == 0) {
            return true; // the interval ran out
        }
        if ((watched[2].revents & POLLIN) != 0) {
            std::uint64_t count = 0;
            [[maybe_unused]] const auto taken = ::read(rescanEvent_, &count, sizeof count);
            return true;
        }
        if ((watched[1].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
            // The source failed: no more notices will come; look every interval.
            diagnostic(kDiagnosticErrors, "hidraw: hot-plug notices failed");
            hotplug_.reset();
            return true;
        }
        if (hotplug_->takeChanges()) {
            return true;
        }
    }
}

HidrawBackend::ScanResult HidrawBackend::scan() {
    std::map<std::string, std::vector<HidDeviceEntry>> enumerated;
    for (HidDeviceEntry& entry : api_->enumerate(VEZAROR_VENDOR_ID, VEZAROR_PRODUCT_ID)) {
        enumerated[entry.path].push_back(std::move(entry));
    }
    std::erase_if(enumerated, [](const auto& node) { return onlyTypesOrPoints(node.second); });
    std::vector<std::shared_ptr<Node>> removed;
    std::vector<std::shared_ptr<Node>> added;
    {
        std::lock_guard lock(mutex_);
        std::erase_if(nodes_, [&](const std::shared_ptr<Node>& node) {
            const auto found = enumerated.find(node->path);
            const bool keep = !node->failed && found != enumerated.end() &&
                              usagesOf(found->second) == node->usages;
            if (!keep) {
                removed.push_back(node);
            } else {
                enumerated.erase(found);
            }
            return !keep;
        });
    }
    for (const auto& node : removed) {
        node->stop = true;
    }
    wakeDrains();
    for (const auto& node : removed) {
        node->thread.join();
    }
    // What is left in `enumerated` is new. Opening happens without the lock.
    ScanResult result;
    for (const auto& [path, entries] : enumerated) {
        if (auto node = openNode(path, entries)) {
            added.push_back(std::move(node));
        } else {
            result.unopened = true;
        }
    }
    {
        std::lock_guard lock(mutex_);
        for (const auto& node : added) {
            for (HidInterface& device : node->interfaces) {
                device.id = ++lastInterfaceId_;
            }
            nodes_.push_back(node);
        }
    }
    for (const auto& node : added) {
        node->thread = std::thread([this, raw = node.get()] { readNode(*raw); });
    }
    result.changed = !removed.empty() || !added.empty();
    return result;
}

std::shared_ptr<HidrawBackend::Node>
HidrawBackend::openNode(const std::string& path, const std::vector<HidDeviceEntry>& entries) {
    auto node = std::make_shared<Node>();
    node->path = path;
    node->usages = usagesOf(entries);
    node->reader = api_->open(path);
    node->writer = api_->open(path);
    if (node->reader == nullptr || node->writer == nullptr) {
        // Gone already, or not ours to open yet: tried again after the scan
        // interval.
        diagnostic(kDiagnosticRequests, "hidraw: cannot open %s", path.c_str());
        return nullptr;
    }
    node->layout = parseReportDescriptor(api_->reportDescriptor(path));
    const bool commands = std::any_of(entries.begin(), entries.end(), [](const auto& entry) {
        return entry.usagePage == kCommandUsagePage && entry.usage == kCommandUsage;
    });
    if (platform::UniqueFd lock = commands ? api_->openLock(path) : platform::UniqueFd()) {
        node->lock = std::make_shared<DeviceLock>(std::move(lock));
    } else if (commands) {
        diagnostic(kDiagnosticErrors, "hidraw: no lock on %s; commands go unlocked", path.c_str());
    }
    // Both queues start empty, so that they hold the same reports from now on.
    std::array<std::uint8_t, kMaximumInputReport> discard{};
    for (HidHandle* handle : {node->reader.get(), node->writer.get()}) {
        for (std::size_t i = 0; i < kMaximumQueuedReports && handle->read(discard, 0) > 0; ++i) {
        }
    }
    for (const HidDeviceEntry& entry : entries) {
        HidInterface device;
        device.vendorId = entry.vendorId;
        device.productId = entry.productId;
        device.usagePage = entry.usagePage;
        device.usage = entry.usage;
        node->interfaces.push_back(device);
    }
    return node;
}

void HidrawBackend::readNode(Node& node) {
    std::array<std::uint8_t, kMaximumInputReport + 1> buffer{};
    // Room for the id byte put in front of unnumbered reports.
    const bool unnumbered = node.layout && !node.layout->numberedReports;
    const std::span<std::uint8_t> target =
        std::span(buffer).subspan(unnumbered ? 1 : 0, kMaximumInputReport);
    while (!node.stop) {
        const int length = node.reader->read(target, kReadTimeoutMilliseconds);
        if (length < 0) {
            node.failed = true;
            wakeDrains();
            diagnostic(kDiagnosticErrors, "hidraw: reading %s failed", node.path.c_str());
            const std::uint64_t one = 1;
            [[maybe_unused]] const auto written = ::write(rescanEvent_, &one, sizeof one);
            return;
        }
        if (length > 0) {
            route(node,
                  std::span(buffer).first(static_cast<std::size_t>(length) + (unnumbered ? 1 : 0)));
            {
                std::lock_guard lock(mutex_);
                ++node.routed;
                takeQueuedLocked(node);
            }
            routed_.notify_all();
        }
    }
}

void HidrawBackend::wakeDrains() {
    // Through the lock, so that a drain between its look and its wait hears it.
    { std::lock_guard lock(mutex_); }
    routed_.notify_all();
}

void HidrawBackend::takeQueuedLocked(Node& node) {
    std::array<std::uint8_t, kMaximumInputReport> discard{};
    for (std::size_t i = 0; i < kMaximumQueuedReports && node.writer->read(discard, 0) > 0; ++i) {
        ++node.taken;
    }
}

void HidrawBackend::route(const Node& node, std::span<const std::uint8_t> report) {
    for (const HidInterface& device : node.interfaces) {
        bool belongs = true;
        if (node.layout && node.layout->numberedReports) {
            const auto collection =
                std::find_if(node.layout->collections.begin(), node.layout->collections.end(),
                             [&](const CollectionReports& c) {
                                 return c.usagePage == device.usagePage && c.usage == device.usage;
                             });
            belongs = collection != node.layout->collections.end() &&
                      collection->inputReportIds.contains(report[0]);
        }
        if (belongs) {
            events_->inputReport(device, report);
        }
    }
}

std::vector<HidInterface> HidrawBackend::interfaces() {
    std::lock_guard lock(mutex_);
    std::vector<HidInterface> present;
    for (const auto& node : nodes_) {
        if (!node->failed) {
            present.insert(present.end(), node->interfaces.begin(), node->interfaces.end());
        }
    }
    return present;
}

HidrawBackend::Node* HidrawBackend::nodeOfLocked(std::uint32_t interfaceId) {
    for (const auto& node : nodes_) {
        for (const HidInterface& device : node->interfaces) {
            if (device.id == interfaceId && !node->failed) {
                return node.get();
            }
        }
    }
    return nullptr;
}

std::shared_ptr<HidrawBackend::Node> HidrawBackend::sharedNodeOfLocked(std::uint32_t interfaceId) {
    for (const auto& node : nodes_) {
        if (node->failed) {
            continue;
        }
        for (const HidInterface& device : node->interfaces) {
            if (device.id == interfaceId) {
                return node;
            }
        }
    }
    return nullptr;
}

std::shared_ptr<DeviceLock> HidrawBackend::exchangeLock(std::uint32_t interfaceId) {
    std::lock_guard lock(mutex_);
    const std::shared_ptr<Node> node = sharedNodeOfLocked(interfaceId);
    return node != nullptr ? node->lock : nullptr;
}

void HidrawBackend::drainInput(std::uint32_t interfaceId) {
    std::unique_lock lock(mutex_);
    const std::shared_ptr<Node> node = sharedNodeOfLocked(interfaceId);
    if (node == nullptr) {
        return;
    }
    takeQueuedLocked(*node);
    const std::uint64_t sent = node->taken;
    if (!routed_.wait_for(lock, kDrainTimeout,
                          [&] { return node->routed >= sent || node->failed || node->stop; })) {
        // A reader that lost reports (its queue was full) never catches up;
        // from here on both count alike again.
        diagnostic(kDiagnosticErrors, "hidraw: %s: the reader is behind; going on",
                   node->path.c_str());
        node->taken = node->routed;
    }
}

bool HidrawBackend::writeOutput(std::uint32_t interfaceId, std::span<const std::uint8_t> report) {
    std::lock_guard lock(mutex_);
    Node* node = nodeOfLocked(interfaceId);
    return node != nullptr && node->writer->write(report) == static_cast<int>(report.size());
}

bool HidrawBackend::writeFeature(std::uint32_t interfaceId, std::span<const std::uint8_t> report) {
    std::lock_guard lock(mutex_);
    Node* node = nodeOfLocked(interfaceId);
    return node != nullptr && node->writer->sendFeature(report) == static_cast<int>(report.size());
}

} // namespace tavrik::service
