#pragma once
// One HID top-level collection of a present device, as a backend reports it.
// The service counts, matches and addresses these; a keyboard with three
// collections is three of them, as the operating system presents it.

#include "VezAror.h"

#include <cstdint>

namespace tavrik::service {

inline constexpr std::uint16_t kCommandUsagePage = 0xFF1C;
inline constexpr std::uint16_t kCommandUsage = 0x0092;
inline constexpr std::uint16_t kConsumerUsagePage = 0x000C;
inline constexpr std::uint16_t kConsumerUsage = 0x0001;
inline constexpr std::uint16_t kLedUsagePage = 0x0008;
inline constexpr std::uint16_t kLedUsage = 0x0089;

struct HidInterface {
    // Unique while the collection is present; a collection that goes and
    // comes back gets a new id.
    std::uint32_t id = 0;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;
};

// True when every field that the selector's mask names is equal.
constexpr bool matches(const DeviceSelector& selector, const HidInterface& device) {
    const std::uint32_t mask = selector.matchMask;
    return (!(mask & VEZAROR_MATCH_VENDOR) || selector.vendorId == device.vendorId) &&
           (!(mask & VEZAROR_MATCH_PRODUCT) || selector.productId == device.productId) &&
           (!(mask & VEZAROR_MATCH_USAGE_PAGE) || selector.usagePage == device.usagePage) &&
           (!(mask & VEZAROR_MATCH_USAGE) || selector.usage == device.usage);
}

} // namespace tavrik::service
