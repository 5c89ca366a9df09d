#pragma once
// The few operations of hidapi that the hidraw backend uses, behind an
// interface so that tests can put a fake device behind the backend.

#include "platform/UniqueFd.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace tavrik::service {

// One top-level collection as enumeration lists it; collections that share
// a device node share its path.
struct HidDeviceEntry {
    std::string path;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;
};

// An open device node; closed when destroyed. One thread at a time.
class HidHandle {
public:
    virtual ~HidHandle() = default;
    // Report id first (0 for a device without numbered reports). Returns the
    // bytes written, or -1.
    virtual int write(std::span<const std::uint8_t> report) = 0;
    // Waits at most `timeoutMilliseconds` for an input report. Returns its
    // length, 0 on time-out, -1 when the device failed or went away.
    virtual int read(std::span<std::uint8_t> buffer, int timeoutMilliseconds) = 0;
    virtual int sendFeature(std::span<const std::uint8_t> report) = 0;
};

class HidApi {
public:
    virtual ~HidApi() = default;
    virtual bool init() = 0;
    virtual void exit() = 0;
    virtual std::vector<HidDeviceEntry> enumerate(std::uint16_t vendorId,
                                                  std::uint16_t productId) = 0;
    // Null when the node cannot be opened (gone, or no permission).
    virtual std::unique_ptr<HidHandle> open(const std::string& path) = 0;
    // The node's report descriptor; empty when it cannot be read.
    virtual std::vector<std::uint8_t> reportDescriptor(const std::string& path) = 0;
    // A descriptor of the node on which flock(2) is shared with every other
    // process that opens the node; none when it cannot be opened.
    virtual platform::UniqueFd openLock(const std::string& path) = 0;
};

} // namespace tavrik::service
