#include "service/hidraw/ReportDescriptor.h"

#include <vector>

namespace tavrik::service {
namespace {

enum ItemType { kMain = 0, kGlobal = 1, kLocal = 2 };
enum MainTag { kInput = 0x8, kCollection = 0xA, kEndCollection = 0xC };
enum GlobalTag { kUsagePage = 0x0, kReportId = 0x8, kPush = 0xA, kPop = 0xB };
enum LocalTag { kUsage = 0x0 };
constexpr std::uint8_t kLongItem = 0xFE;

struct Globals {
    std::uint16_t usagePage = 0;
    std::uint8_t reportId = 0;
};

std::uint32_t itemValue(std::span<const std::uint8_t> data) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < data.size(); ++i) {
        value |= static_cast<std::uint32_t>(data[i]) << (8 * i);
    }
    return value;
}

} // namespace

std::optional<ReportLayout> parseReportDescriptor(std::span<const std::uint8_t> descriptor) {
    ReportLayout layout;
    Globals globals;
    std::vector<Globals> stack;
    // The first usage of the pending main item: page (0 when not given) and id.
    bool haveUsage = false;
    std::uint32_t usage = 0;
    int depth = 0;
    std::size_t position = 0;
    while (position < descriptor.size()) {
        const std::uint8_t prefix = descriptor[position];
        if (prefix == kLongItem) {
            if (descriptor.size() - position < 3 ||
                descriptor.size() - position - 3 < descriptor[position + 1]) {
                return std::nullopt;
            }
            position += 3 + descriptor[position + 1];
            continue;
        }
        const std::size_t size = (prefix & 3) == 3 ? 4 : (prefix & 3);
        if (descriptor.size() - position - 1 < size) {
            return std::nullopt;
        }
        const std::uint32_t value = itemValue(descriptor.subspan(position + 1, size));
        const int type = (prefix >> 2) & 3;
        const int tag = prefix >> 4;
        position += 1 + size;

        if (type == kGlobal) {
            if (tag == kUsagePage) {
                globals.usagePage = static_cast<std::uint16_t>(value);
            } else if (tag == kReportId) {
                globals.reportId = static_cast<std::uint8_t>(value);
                layout.numberedReports = true;
            } else if (tag == kPush) {
                stack.push_back(globals);
            } else if (tag == kPop && !stack.empty()) {
                globals = stack.back();
                stack.pop_back();
            }
            continue;
        }
        if (type == kLocal) {
            if (tag == kUsage && !haveUsage) {
                haveUsage = true;
                // A four-byte usage carries its own page in the high half.
                usage = size == 4 ? value
                                  : (static_cast<std::uint32_t>(globals.usagePage) << 16) |
                                        (value & 0xFFFF);
            }
            continue;
        }
        if (type != kMain) {
            continue;
        }
        if (tag == kCollection) {
            if (depth == 0) {
                CollectionReports collection;
                collection.usagePage = static_cast<std::uint16_t>(usage >> 16);
                collection.usage = static_cast<std::uint16_t>(usage);
                layout.collections.push_back(collection);
            }
            ++depth;
        } else if (tag == kEndCollection) {
            if (depth == 0) {
                return std::nullopt;
            }
            --depth;
        } else if (tag == kInput && depth > 0) {
            layout.collections.back().inputReportIds.insert(globals.reportId);
        }
        haveUsage = false;
        usage = 0;
    }
    return layout;
}

} // namespace tavrik::service
