#include "service/Service.h"

#include "platform/ByteOrder.h"
#include "service/Diagnostics.h"
#include "service/RequestSignature.h"

#include <algorithm>

namespace tavrik::service {
namespace {

constexpr std::uint32_t kMaximumReportLength = 64;
// A command packet carries its code, length and address up to here.
constexpr std::size_t kPacketKeyEnd = 6;

std::uint16_t consumerCodeOf(const HidInterface& source, std::span<const std::uint8_t> report) {
    // Consumer reports: the report id, then the 16-bit code, low byte first.
    if (source.usagePage != kConsumerUsagePage || report.size() < 3) {
        return 0;
    }
    return platform::readU16(&report[1]);
}

} // namespace

Service::Service(ExchangeBounds bounds) : exchanges_(bounds) {}

Service::~Service() {
    end();
}

std::int32_t Service::init(std::unique_ptr<Backend> backend) {
    std::lock_guard lifecycle(lifecycleMutex_);
    {
        std::lock_guard lock(mutex_);
        if (backend_ != nullptr) {
            return 1;
        }
    }
    if (backend == nullptr || !backend->start(*this)) {
        diagnostic(kDiagnosticErrors, "the backend could not start");
        return 0;
    }
    std::lock_guard lock(mutex_);
    backend_ = std::move(backend);
    quiesced_ = false;
    knownInterfaces_.clear();
    for (const HidInterface& device : backend_->interfaces()) {
        knownInterfaces_.insert(device.id);
    }
    return 1;
}

bool Service::running() {
    std::lock_guard lock(mutex_);
    return backend_ != nullptr;
}

void Service::end() {
    std::lock_guard lifecycle(lifecycleMutex_);
    std::shared_ptr<Backend> backend;
    std::vector<std::shared_ptr<Channel>> channels;
    {
        std::lock_guard lock(mutex_);
        backend = std::move(backend_);
        channels = std::move(channels_);
        channels_.clear();
        channels.insert(channels.end(), retired_.begin(), retired_.end());
        retired_.clear();
        knownInterfaces_.clear();
    }
    for (const auto& channel : channels) {
        channel->cancel();
    }
    exchanges_.stop();
    // Without our lock: the backend's threads may be waiting for it.
    if (backend != nullptr) {
        backend->stop();
    }
    backend.reset();
    for (const auto& channel : channels) {
        channel->join();
    }
}

void Service::quiesce() {
    std::lock_guard lock(mutex_);
    quiesced_ = true;
    for (const auto& channel : channels_) {
        channel->cancel();
    }
}

bool Service::checkRequest(const Request& request, std::span<const std::uint8_t> data,
                           const char* operation) {
    if (request.selector == nullptr) {
        diagnostic(kDiagnosticErrors, "%s refused: no selector", operation);
        return false;
    }
    const std::uint32_t expected =
        requestSignature(*request.selector, request.callback, request.tag, data);
    if (expected != request.signature) {
        diagnostic(kDiagnosticErrors, "%s refused: signature %08X, expected %08X", operation,
                   request.signature, expected);
        return false;
    }
    diagnostic(kDiagnosticRequests, "%s: selector %u %04X:%04X %04X/%04X tag %08X, %zu bytes",
               operation, request.selector->matchMask, request.selector->vendorId,
               request.selector->productId, request.selector->usagePage, request.selector->usage,
               request.tag, data.size());
    return true;
}

std::optional<std::span<const std::uint8_t>> Service::checkedData(const Request& request,
                                                                  const std::uint8_t* data,
                                                                  std::uint32_t length,
                                                                  const char* operation) {
    if (data == nullptr || length == 0 || length > kMaximumReportLength) {
        diagnostic(kDiagnosticErrors, "%s refused: %u data bytes", operation, length);
        return std::nullopt;
    }
    const std::span<const std::uint8_t> bytes(data, length);
    if (!checkRequest(request, bytes, operation)) {
        return std::nullopt;
    }
    return bytes;
}

std::vector<HidInterface> Service::matchingInterfaces(const DeviceSelector& selector) {
    std::vector<HidInterface> found;
    if (backend_ == nullptr) {
        return found;
    }
    for (const HidInterface& device : backend_->interfaces()) {
        if (matches(selector, device)) {
            found.push_back(device);
        }
    }
    return found;
}

Service::WriteTargets Service::writeTargets(const DeviceSelector& selector, bool firstOnly) {
    WriteTargets targets;
    std::lock_guard lock(mutex_);
    if (backend_ == nullptr) {
        return targets;
    }
    targets.backend = backend_;
    for (const HidInterface& device : backend_->interfaces()) {
        if (matches(selector, device)) {
            targets.interfaces.push_back(device);
            if (firstOnly) {
                break;
            }
        }
    }
    return targets;
}

std::int32_t Service::deviceCount(const Request& request) {
    if (!checkRequest(request, {}, "RequestGetDeviceCount")) {
        return 0;
    }
    std::lock_guard lock(mutex_);
    return static_cast<std::int32_t>(matchingInterfaces(*request.selector).size());
}

std::int32_t Service::writeAll(const Request& request, const std::uint8_t* data,
                               std::uint32_t length) {
    const auto bytes = checkedData(request, data, length, "RequestWrite");
    if (!bytes) {
        return 0;
    }
    const WriteTargets targets = writeTargets(*request.selector, false);
    std::int32_t written = 0;
    for (const HidInterface& target : targets.interfaces) {
        written += writeOutputTo(*targets.backend, target, *bytes) > 0 ? 1 : 0;
    }
    return written;
}

std::int32_t Service::writeOutputTo(Backend& backend, const HidInterface& target,
                                    std::span<const std::uint8_t> report) {
    if (CommandExchanges::isCommand(target, report)) {
        return exchanges_.write(backend, target.id, report);
    }
    return backend.writeOutput(target.id, report) ? 1 : -1;
}

std::int32_t Service::writeFirst(const Request& request, const std::uint8_t* data,
                                 std::uint32_t length) {
    return writeToFirstDevice(request, data, length, "RequestWriteOne", &Backend::writeOutput);
}

std::int32_t Service::writeFeature(const Request& request, const std::uint8_t* data,
                                   std::uint32_t length) {
    return writeToFirstDevice(request, data, length, "RequestStatusSetFeature",
                              &Backend::writeFeature);
}

std::int32_t Service::writeToFirstDevice(const Request& request, const std::uint8_t* data,
                                         std::uint32_t length, const char* operation,
                                         WriteOperation write) {
    const auto bytes = checkedData(request, data, length, operation);
    if (!bytes) {
        return 0;
    }
    const WriteTargets targets = writeTargets(*request.selector, true);
    if (targets.interfaces.empty()) {
        if (write == &Backend::writeOutput && bytes->size() > kPacketKeyEnd) {
            exchanges_.noDevice(*bytes);
        }
        return 0;
    }
    if (write == &Backend::writeOutput) {
        return writeOutputTo(*targets.backend, targets.interfaces.front(), *bytes);
    }
    return ((*targets.backend).*write)(targets.interfaces.front().id, *bytes) ? 1 : -1;
}

std::int32_t Service::statusWrite(const Request& request, const std::uint8_t* data,
                                  std::uint32_t length, std::uint32_t* unitId) {
    const auto bytes = checkedData(request, data, length, "RequestStatusWrite");
    if (!bytes || unitId == nullptr) {
        return 0;
    }
    const std::uint32_t id = registerChannel(
        ChannelKind::StatusWrite, request, std::vector<std::uint8_t>(bytes->begin(), bytes->end()));
    if (id == 0) {
        return 0;
    }
    *unitId = id;
    const WriteTargets targets = writeTargets(*request.selector, false);
    for (const HidInterface& target : targets.interfaces) {
        writeOutputTo(*targets.backend, target, *bytes);
    }
    return 1;
}

std::int32_t Service::statusGet(std::uint32_t unitId, std::uint8_t* data, std::uint32_t length) {
    if (data == nullptr) {
        return 0;
    }
    std::lock_guard lock(mutex_);
    for (const auto& channel : channels_) {
        if (channel->unitId() == unitId && channel->kind() == ChannelKind::StatusWrite) {
            const std::size_t count = std::min<std::size_t>(length, channel->status().size());
            std::copy_n(channel->status().begin(), count, data);
            return static_cast<std::int32_t>(count);
        }
    }
    return 0;
}

std::int32_t Service::asyncRead(const Request& request, std::uint32_t* unitId) {
    if (!checkRequest(request, {}, "RequestAsyncRead") || unitId == nullptr ||
        request.callback == nullptr) {
        return 0;
    }
    const std::uint32_t id = registerChannel(ChannelKind::AsyncRead, request, {});
    if (id == 0) {
        return 0;
    }
    *unitId = id;
    return 1;
}

std::uint32_t Service::registerChannel(ChannelKind kind, const Request& request,
                                       std::vector<std::uint8_t> status) {
    std::lock_guard lock(mutex_);
    if (backend_ == nullptr || quiesced_) {
        return 0;
    }
    reapFinishedChannels();
    auto channel = std::make_shared<Channel>(newUnitId(), kind, *request.selector, request.callback,
                                             request.tag, std::move(status));
    for (const HidInterface& device : matchingInterfaces(*request.selector)) {
        channel->presentDevices.push_back(device.id);
    }
    channel->start();
    channels_.push_back(channel);
    return channel->unitId();
}

std::uint32_t Service::newUnitId() {
    const auto inUse = [this](std::uint32_t id) {
        return std::any_of(channels_.begin(), channels_.end(),
                           [id](const auto& channel) { return channel->unitId() == id; });
    };
    do {
        ++lastUnitId_;
    } while (lastUnitId_ == 0 || inUse(lastUnitId_));
    return lastUnitId_;
}

void Service::reapFinishedChannels() {
    std::erase_if(retired_, [](const std::shared_ptr<Channel>& channel) {
        if (!channel->finished()) {
            return false;
        }
        channel->join();
        return true;
    });
}

std::int32_t Service::deleteByUnitId(std::uint32_t unitId) {
    std::lock_guard lock(mutex_);
    const auto found = std::find_if(channels_.begin(), channels_.end(),
                                    [unitId](const auto& c) { return c->unitId() == unitId; });
    if (unitId == 0 || found == channels_.end()) {
        return 0;
    }
    (*found)->cancel();
    retired_.push_back(*found);
    channels_.erase(found);
    return 1;
}

std::int32_t Service::deleteByCallback(VezArorCallback callback) {
    std::lock_guard lock(mutex_);
    std::int32_t cancelled = 0;
    std::erase_if(channels_, [&](const std::shared_ptr<Channel>& channel) {
        if (channel->callback() != callback) {
            return false;
        }
        channel->cancel();
        retired_.push_back(channel);
        ++cancelled;
        return true;
    });
    return cancelled;
}

void Service::inputReport(const HidInterface& source, std::span<const std::uint8_t> report) {
    std::lock_guard lock(mutex_);
    if (backend_ == nullptr || quiesced_) {
        return;
    }
    // An answer that no exchange of ours waits for answers another process.
    if (CommandExchanges::isCommandCollection(source) && !exchanges_.accept(source.id, report)) {
        return;
    }
    for (const auto& channel : channels_) {
        if (channel->kind() != ChannelKind::AsyncRead || !matches(channel->selector(), source)) {
            continue;
        }
        ChannelEvent event;
        event.kind = VEZAROR_EVENT_INPUT_REPORT;
        event.report.assign(report.begin(), report.end());
        event.consumerCode = consumerCodeOf(source, report);
        channel->post(std::move(event));
    }
}

void Service::devicesChanged() {
    writeStandingRequestsToArrivals();
    std::lock_guard lock(mutex_);
    if (backend_ == nullptr || quiesced_) {
        return;
    }
    const std::vector<HidInterface> present = backend_->interfaces();
    exchanges_.interfacesChanged(present);
    for (const auto& channel : channels_) {
        std::vector<std::uint32_t> matching;
        for (const HidInterface& device : present) {
            if (matches(channel->selector(), device)) {
                matching.push_back(device.id);
            }
        }
        if (matching == channel->presentDevices) {
            continue;
        }
        ChannelEvent event;
        event.kind = VEZAROR_EVENT_DEVICES_CHANGED;
        event.deviceCount = static_cast<std::uint32_t>(matching.size());
        channel->presentDevices = std::move(matching);
        channel->post(std::move(event));
    }
}

void Service::deviceRestarted() {
    exchanges_.deviceRestarted();
}

void Service::writeStandingRequestsToArrivals() {
    std::shared_ptr<Backend> backend;
    std::vector<std::pair<std::uint32_t, std::vector<std::uint8_t>>> writes;
    {
        std::lock_guard lock(mutex_);
        if (backend_ == nullptr || quiesced_) {
            return;
        }
        backend = backend_;
        std::unordered_set<std::uint32_t> nowPresent;
        for (const HidInterface& device : backend_->interfaces()) {
            nowPresent.insert(device.id);
            if (knownInterfaces_.contains(device.id)) {
                continue;
            }
            // A standing status request reaches every matching device that arrives.
            for (const auto& channel : channels_) {
                if (channel->kind() == ChannelKind::StatusWrite &&
                    matches(channel->selector(), device)) {
                    writes.emplace_back(device.id, channel->status());
                }
            }
        }
        knownInterfaces_ = std::move(nowPresent);
    }
    // Before the device events go out, so whoever hears of the arrival finds
    // the request already there.
    for (const auto& [interfaceId, status] : writes) {
        backend->writeOutput(interfaceId, status);
    }
}

} // namespace tavrik::service
