#include "keyboard/StringTable.h"

#include <limits>

namespace tavrik::keyboard {
namespace {

std::uint64_t byteSizeOf(std::u16string_view text) {
    return (std::uint64_t{text.size()} + 1) * sizeof(char16_t);
}

} // namespace

StringTable::StringTable() : entries_(kStringTableEntries) {}

std::optional<std::size_t> StringTable::entryOf(int layer, int row) {
    if (layer < 0 || layer >= kLayerCount || row < 0 || row >= kRowsPerLayer) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(layer) * kRowsPerLayer + static_cast<std::size_t>(row);
}

bool StringTable::set(std::size_t entry, std::u16string_view text) {
    if (entry >= entries_.size()) {
        return false;
    }
    text = text.substr(0, text.find(u'\0'));
    const std::uint64_t newTotal = std::uint64_t{total_} - sizeOf(entry) + byteSizeOf(text);
    if (newTotal > std::numeric_limits<std::uint32_t>::max()) {
        return false;
    }
    entries_[entry] = std::u16string(text);
    total_ = static_cast<std::uint32_t>(newTotal);
    return true;
}

std::optional<std::u16string_view> StringTable::text(std::size_t entry) const {
    if (entry >= entries_.size() || !entries_[entry]) {
        return std::nullopt;
    }
    return std::u16string_view(*entries_[entry]);
}

std::uint32_t StringTable::sizeOf(std::size_t entry) const {
    const std::optional<std::u16string_view> string = text(entry);
    return string ? static_cast<std::uint32_t>(byteSizeOf(*string)) : 0;
}

std::uint32_t StringTable::total() const {
    return total_;
}

void StringTable::release(std::size_t entry) {
    if (entry >= entries_.size()) {
        return;
    }
    total_ -= sizeOf(entry);
    entries_[entry].reset();
}

void StringTable::releaseAll() {
    for (auto& entry : entries_) {
        entry.reset();
    }
    total_ = 0;
}

bool writeAssignment(AssignmentTable& table, StringTable& strings, int layer, int row,
                     const KeyAssignment& assignment) {
    const std::optional<std::size_t> entry = StringTable::entryOf(layer, row);
    if (!entry) {
        return false;
    }
    strings.release(*entry);
    return table.storeRecord(layer, row, assignment);
}

} // namespace tavrik::keyboard
