#include "keyboard/StringPool.h"

#include "platform/ByteOrder.h"

#include <algorithm>
#include <optional>
#include <string>

namespace tavrik::keyboard {
namespace {

struct RecordPosition {
    int layer;
    int row;
};

RecordPosition positionOfEntry(std::size_t entry) {
    return {static_cast<int>(entry / kRowsPerLayer), static_cast<int>(entry % kRowsPerLayer)};
}

void copyString(std::u16string_view text, std::uint8_t* out) {
    for (const char16_t unit : text) {
        platform::writeU16(out, unit);
        out += 2;
    }
    platform::writeU16(out, 0);
}

// The units from offset to the terminator or the end of the pool.
std::u16string stringAt(std::span<const std::uint8_t> pool, std::size_t offset) {
    std::u16string text;
    for (std::size_t at = offset; at + 2 <= pool.size(); at += 2) {
        const std::uint16_t unit = platform::readU16(pool.data() + at);
        if (unit == 0) {
            break;
        }
        text.push_back(static_cast<char16_t>(unit));
    }
    return text;
}

} // namespace

bool ownsString(AssignmentType type) {
    return type == AssignmentType::LaunchProgram || type == AssignmentType::TextBlock;
}

std::size_t packStringPool(AssignmentTable& table, const StringTable& strings,
                           std::span<std::uint8_t> pool) {
    std::size_t offset = 0;
    for (std::size_t entry = 0; entry < kStringTableEntries; ++entry) {
        const std::size_t size = strings.sizeOf(entry);
        if (size == 0 || size > pool.size() - offset) {
            continue;
        }
        const RecordPosition at = positionOfEntry(entry);
        std::optional<KeyAssignment> record = table.recordOf(at.layer, at.row);
        if (!record || !ownsString(record->type)) {
            continue;
        }
        // Sizes are whole UTF-16 units, so every offset is even.
        copyString(*strings.text(entry), pool.data() + offset);
        record->value = static_cast<std::uint32_t>(offset);
        table.storeRecord(at.layer, at.row, *record);
        offset += size;
    }
    return offset;
}

void loadStringsFromPool(const AssignmentTable& table, std::span<const std::uint8_t> pool,
                         StringTable& strings) {
    const std::size_t allowance = std::max(pool.size(), kStringLoadAllowance);
    std::size_t loaded = 0;
    for (std::size_t entry = 0; entry < kStringTableEntries; ++entry) {
        const RecordPosition at = positionOfEntry(entry);
        const std::optional<KeyAssignment> record = table.recordOf(at.layer, at.row);
        if (!record || !ownsString(record->type)) {
            continue;
        }
        const std::size_t offset = record->value & ~std::uint32_t{1};
        if (offset >= pool.size()) {
            continue;
        }
        const std::u16string text = stringAt(pool, offset);
        const std::size_t size = (text.size() + 1) * 2;
        if (size > allowance - loaded) {
            break;
        }
        if (strings.set(entry, text)) {
            loaded += size;
        }
    }
}

} // namespace tavrik::keyboard
