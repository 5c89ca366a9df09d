#pragma once
// The narrow interface between the request layer and a way of reaching
// keyboards. Each backend (hidraw, virtual) implements it; the request layer
// knows nothing else about them.

#include "service/DeviceLock.h"
#include "service/HidInterface.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace tavrik::service {

// What a backend reports. Backends call these from their own threads, or
// from inside a write when the device answers at once, and never while
// holding a lock of their own, so the receiver may call back into the
// backend. The service therefore never holds its own lock while it writes.
class BackendEvents {
public:
    virtual ~BackendEvents() = default;
    // An input report arrived; `report` starts with the report id (0 for a
    // device without numbered reports).
    virtual void inputReport(const HidInterface& source, std::span<const std::uint8_t> report) = 0;
    // The set of present interfaces changed.
    virtual void devicesChanged() = 0;
    // The device behind the present interfaces started again from what it
    // had committed (the process that served a shared virtual keyboard
    // ended and another took over): whatever was written and not committed
    // is gone. The interfaces stay.
    virtual void deviceRestarted() = 0;
};

class Backend {
public:
    virtual ~Backend() = default;

    // Starts the backend's threads. Returns false when the backend cannot
    // work at all; `events` must outlive stop().
    virtual bool start(BackendEvents& events) = 0;
    // Stops and joins every thread of the backend and closes its devices. No
    // event is reported once it returns.
    virtual void stop() = 0;

    // The interfaces present now, in a stable order (oldest first).
    virtual std::vector<HidInterface> interfaces() = 0;
    // Writes an output report (report id first). False when the interface is
    // gone or the device refused the report.
    virtual bool writeOutput(std::uint32_t interfaceId, std::span<const std::uint8_t> report) = 0;
    // Sends a feature report (report id first).
    virtual bool writeFeature(std::uint32_t interfaceId, std::span<const std::uint8_t> report) = 0;

    // The lock that every process reaching the device behind `interfaceId`
    // shares (CommandExchanges.h says when it is held); null when there is
    // none: the device is gone, or no other process can reach it.
    virtual std::shared_ptr<DeviceLock> exchangeLock(std::uint32_t interfaceId) = 0;
    // Returns once every input report that the device sent before the call
    // has gone through inputReport, so that nothing sent before is taken for
    // the answer to what is written next. Bounded: a reader that does not
    // keep up is not waited for long.
    virtual void drainInput(std::uint32_t interfaceId) = 0;
};

} // namespace tavrik::service
