#include "service/virtual/VirtualBackend.h"

#include "service/Diagnostics.h"

#include <filesystem>
#include <sys/stat.h>
#include <thread>

namespace tavrik::service {
namespace {

// Between looks for a server that is about to listen, or a lock about to be
// let go: only while processes start or the serving one ends.
constexpr std::chrono::milliseconds kAttachStep{2};

bool sameInterfaces(const std::vector<HidInterface>& a, const std::vector<HidInterface>& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](const HidInterface& x, const HidInterface& y) { return x.id == y.id; });
}

} // namespace

VirtualBackend::VirtualBackend(VirtualSettings settings)
    : settings_(std::move(settings)), paths_(sharedDevicePaths(settings_.statePath)) {}

VirtualBackend::~VirtualBackend() {
    stop();
}

bool VirtualBackend::start(BackendEvents& events) {
    events_ = &events;
    if (paths_.shared()) {
        const std::filesystem::path folder = std::filesystem::path(paths_.serverLock).parent_path();
        std::error_code error;
        if (!folder.empty() && !std::filesystem::is_directory(folder, error)) {
            std::filesystem::create_directories(folder, error);
            ::chmod(folder.c_str(), S_IRWXU);
        }
        serverLock_ = DeviceLock::openFile(paths_.serverLock);
        exchangeLock_ = DeviceLock::openFile(paths_.exchangeLock);
        if (serverLock_ == nullptr || exchangeLock_ == nullptr || paths_.socket.empty()) {
            diagnostic(kDiagnosticErrors,
                       "virtual keyboard: '%s' cannot be shared; this process has it alone",
                       settings_.statePath.c_str());
            serverLock_.reset();
            exchangeLock_.reset();
        }
    }
    if (serverLock_ == nullptr) {
        return serve(std::nullopt);
    }
    if (!attach(std::nullopt)) {
        diagnostic(kDiagnosticErrors,
                   "virtual keyboard: the process that serves '%s' does not answer",
                   settings_.statePath.c_str());
    }
    return true;
}

bool VirtualBackend::attach(const std::optional<DeviceState>& carried) {
    const auto deadline = std::chrono::steady_clock::now() + kAttachTimeout;
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (stopping_) {
                return false;
            }
        }
        if (serverLock_->tryLock()) {
            return serve(carried);
        }
        if (std::shared_ptr<DeviceClient> client = DeviceClient::connect(paths_.socket, deadline)) {
            DeviceClient& connection = *client;
            if (!install({nullptr, client})) {
                return false;
            }
            connection.start(*events_, [this](const DeviceState& last) { serverLost(last); });
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(kAttachStep);
    }
}

bool VirtualBackend::serve(const std::optional<DeviceState>& carried) {
    auto device = std::make_shared<VirtualDevice>(settings_, carried);
    if (serverLock_ != nullptr) {
        server_ = std::make_unique<DeviceServer>(paths_.socket, *device);
    }
    device->start(*this);
    std::string error;
    if (server_ != nullptr && !server_->start(error)) {
        // Works for this process; the others find nobody to reach.
        diagnostic(kDiagnosticErrors, "virtual keyboard: no device socket: %s", error.c_str());
    }
    if (!install({device, nullptr})) {
        if (server_ != nullptr) {
            server_->stop();
        }
        device->stop();
        return false;
    }
    return true;
}

bool VirtualBackend::install(Reach reach) {
    std::lock_guard lock(mutex_);
    if (stopping_) {
        return false;
    }
    if (reach_.client != nullptr) {
        retired_.push_back(reach_.client);
        ++restarts_;
    }
    reach_ = std::move(reach);
    return true;
}

void VirtualBackend::serverLost(const DeviceState& last) {
    {
        std::lock_guard lock(mutex_);
        if (stopping_) {
            return;
        }
        attaching_ = true;
    }
    const std::vector<HidInterface> before = VirtualDevice::interfacesOf(last);
    if (!attach(last)) {
        std::lock_guard lock(mutex_);
        if (stopping_) {
            return;
        }
        diagnostic(kDiagnosticErrors, "virtual keyboard: nobody serves '%s' any more",
                   settings_.statePath.c_str());
        if (reach_.client != nullptr) {
            retired_.push_back(reach_.client);
        }
        reach_ = {};
        ++restarts_;
    }
    // Before any write goes on: what this process wrote and did not commit
    // went with the process that served the keyboard.
    events_->deviceRestarted();
    {
        std::lock_guard lock(mutex_);
        attaching_ = false;
    }
    attached_.notify_all();
    // After the writes go on again: whoever hears of it may write back.
    if (!sameInterfaces(before, interfaces())) {
        events_->devicesChanged();
    }
}

VirtualBackend::Reach VirtualBackend::reach(std::uint64_t* restarts) {
    std::unique_lock lock(mutex_);
    const auto settled = [this] {
        return stopping_ || (!attaching_ && (reach_.client == nullptr || !reach_.client->ended()));
    };
    if (!settled()) {
        attached_.wait_for(lock, kAttachTimeout, settled);
    }
    if (restarts != nullptr) {
        *restarts = restarts_;
    }
    return reach_;
}

void VirtualBackend::stop() {
    std::vector<std::shared_ptr<DeviceClient>> clients;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        clients = retired_;
        if (reach_.client != nullptr) {
            clients.push_back(reach_.client);
        }
    }
    attached_.notify_all();
    // Joins the reader threads, also one that is looking for the next server.
    for (const auto& client : clients) {
        client->stop();
    }
    Reach last;
    {
        std::lock_guard lock(mutex_);
        last = std::move(reach_);
        reach_ = {};
        clients = std::move(retired_);
        retired_.clear();
    }
    for (const auto& client : clients) {
        client->stop();
    }
    if (last.client != nullptr) {
        last.client->stop();
    }
    if (server_ != nullptr) {
        server_->stop();
    }
    if (last.device != nullptr) {
        last.device->stop();
    }
    server_.reset();
    // Last: a process that takes over finds the sockets gone by then.
    if (serverLock_ != nullptr) {
        serverLock_->unlock();
    }
}

std::vector<HidInterface> VirtualBackend::interfaces() {
    Reach now;
    {
        std::lock_guard lock(mutex_);
        now = reach_;
    }
    if (now.device != nullptr) {
        return now.device->interfaces();
    }
    return now.client != nullptr ? now.client->interfaces() : std::vector<HidInterface>{};
}

bool VirtualBackend::writeOutput(std::uint32_t interfaceId, std::span<const std::uint8_t> report) {
    std::uint64_t restarts = 0;
    const Reach now = reach(&restarts);
    // A command goes out after a drain (CommandExchanges): if the keyboard
    // restarted since, what the command belongs to may be gone with it.
    const std::optional<HidInterface> target = VirtualDevice::interfaceOf(interfaceId);
    if (target && target->usagePage == kCommandUsagePage && restarts != drainedRestarts_.load()) {
        return false;
    }
    if (now.device != nullptr) {
        return now.device->writeOutput(interfaceId, report);
    }
    return now.client != nullptr && now.client->writeOutput(interfaceId, report);
}

bool VirtualBackend::writeFeature(std::uint32_t, std::span<const std::uint8_t>) {
    // The keyboard declares no feature report; the device refuses every one.
    return false;
}

std::shared_ptr<DeviceLock> VirtualBackend::exchangeLock(std::uint32_t) {
    return exchangeLock_;
}

void VirtualBackend::drainInput(std::uint32_t) {
    // The serving process hears of every report before anyone else does, so
    // only the others have anything in flight.
    std::uint64_t restarts = 0;
    const Reach now = reach(&restarts);
    drainedRestarts_ = restarts;
    if (now.client != nullptr) {
        now.client->sync();
    }
}

void VirtualBackend::inputReport(const HidInterface& source, std::span<const std::uint8_t> report) {
    events_->inputReport(source, report);
    if (server_ != nullptr) {
        server_->sendReport(source, report);
    }
}

void VirtualBackend::devicesChanged() {
    events_->devicesChanged();
    if (server_ != nullptr) {
        server_->sendState();
    }
}

void VirtualBackend::deviceRestarted() {
    events_->deviceRestarted();
}

} // namespace tavrik::service
