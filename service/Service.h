#pragma once
// The request layer behind the twelve exports: checks signatures, keeps the
// standing requests, routes the backend's reports and device changes to them,
// and writes to the devices a request selects. Command packets go through
// CommandExchanges, under the keyboard's cross-process lock.

#include "VezAror.h"
#include "service/Backend.h"
#include "service/Channel.h"
#include "service/CommandExchanges.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <unordered_set>
#include <vector>

namespace tavrik::service {

// The fields every request carries.
struct Request {
    const DeviceSelector* selector = nullptr;
    VezArorCallback callback = nullptr;
    std::uint32_t tag = 0;
    std::uint32_t signature = 0;
};

class Service final : private BackendEvents {
public:
    explicit Service(ExchangeBounds bounds = {});
    ~Service() override;
    Service(const Service&) = delete;
    Service& operator=(const Service&) = delete;

    // Starts with the given backend. Returns 1 when ready (also when already
    // running), 0 when the backend could not start.
    std::int32_t init(std::unique_ptr<Backend> backend);
    bool running();
    // Cancels every request, stops the backend and joins every thread.
    void end();
    // At process exit: no callback starts any more; nothing is joined.
    void quiesce();

    std::int32_t deviceCount(const Request& request);
    std::int32_t writeAll(const Request& request, const std::uint8_t* data, std::uint32_t length);
    std::int32_t writeFirst(const Request& request, const std::uint8_t* data, std::uint32_t length);
    std::int32_t writeFeature(const Request& request, const std::uint8_t* data,
                              std::uint32_t length);
    std::int32_t statusWrite(const Request& request, const std::uint8_t* data, std::uint32_t length,
                             std::uint32_t* unitId);
    std::int32_t statusGet(std::uint32_t unitId, std::uint8_t* data, std::uint32_t length);
    std::int32_t asyncRead(const Request& request, std::uint32_t* unitId);
    std::int32_t deleteByUnitId(std::uint32_t unitId);
    std::int32_t deleteByCallback(VezArorCallback callback);

private:
    using WriteOperation = bool (Backend::*)(std::uint32_t, std::span<const std::uint8_t>);
    // The backend and the interfaces a write goes to, picked under the lock.
    // Writes themselves happen without it: a backend may answer a command
    // from inside the write, and its answer comes back through our lock.
    struct WriteTargets {
        std::shared_ptr<Backend> backend;
        std::vector<HidInterface> interfaces;
    };
    WriteTargets writeTargets(const DeviceSelector& selector, bool firstOnly);
    // Writes to the first device that matches; the two single-device writes differ only in
    // the report kind.
    std::int32_t writeToFirstDevice(const Request& request, const std::uint8_t* data,
                                    std::uint32_t length, const char* operation,
                                    WriteOperation write);

    // One write of an output report, through the exchanges when it is a command.
    std::int32_t writeOutputTo(Backend& backend, const HidInterface& target,
                               std::span<const std::uint8_t> report);

    void inputReport(const HidInterface& source, std::span<const std::uint8_t> report) override;
    void devicesChanged() override;
    void deviceRestarted() override;
    void writeStandingRequestsToArrivals();

    // Empty when the request is refused: bad arguments or a wrong signature.
    std::optional<std::span<const std::uint8_t>> checkedData(const Request& request,
                                                             const std::uint8_t* data,
                                                             std::uint32_t length,
                                                             const char* operation);
    bool checkRequest(const Request& request, std::span<const std::uint8_t> data,
                      const char* operation);
    std::vector<HidInterface> matchingInterfaces(const DeviceSelector& selector);
    std::uint32_t registerChannel(ChannelKind kind, const Request& request,
                                  std::vector<std::uint8_t> status);
    std::uint32_t newUnitId();
    void reapFinishedChannels();

    // Keeps Init and End apart; taken before mutex_.
    std::mutex lifecycleMutex_;
    std::mutex mutex_;
    // Shared with writes in progress, which may outlive End.
    std::shared_ptr<Backend> backend_;
    std::vector<std::shared_ptr<Channel>> channels_;
    // Cancelled channels whose threads have not been joined yet.
    std::vector<std::shared_ptr<Channel>> retired_;
    std::unordered_set<std::uint32_t> knownInterfaces_;
    CommandExchanges exchanges_;
    // Unit ids keep counting across End and Init, so a stale id never
    // cancels a newer request.
    std::uint32_t lastUnitId_ = 0;
    bool quiesced_ = false;
};

} // namespace tavrik::service
