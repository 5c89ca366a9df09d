#pragma once
// Just enough of a HID report descriptor to route input reports: which input
// report ids belong to which top-level collection of a device node.

#include <cstdint>
#include <optional>
#include <set>
#include <span>
#include <vector>

namespace tavrik::service {

struct CollectionReports {
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;
    std::set<std::uint8_t> inputReportIds;
};

struct ReportLayout {
    // False when the node's reports carry no report id byte.
    bool numberedReports = false;
    std::vector<CollectionReports> collections;
};

// Empty for a descriptor that ends inside an item or closes a collection
// that was never opened.
std::optional<ReportLayout> parseReportDescriptor(std::span<const std::uint8_t> descriptor);

} // namespace tavrik::service
