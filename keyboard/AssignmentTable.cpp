#include "keyboard/AssignmentTable.h"

#include "keyboard/ProfileFileHeader.h"
#include "platform/ByteOrder.h"

#include <algorithm>

namespace tavrik::keyboard {
namespace {

static_assert(kAssignmentHeaderSize + kLayerCount * kLayerSize == kAssignmentTableSize);
static_assert(keyboard::kTableHeadersSize == kAssignmentHeaderSize);
static_assert(keyboard::kAssignmentTableBytes == kAssignmentTableSize);

std::optional<std::size_t> recordOffset(int layer, int row) {
    if (layer < 0 || layer >= kLayerCount || row < 0 || row >= kRowsPerLayer) {
        return std::nullopt;
    }
    return kAssignmentHeaderSize + kLayerSize * static_cast<std::size_t>(layer) +
           kKeyAssignmentSize * static_cast<std::size_t>(row);
}

bool isSlot(int slot) {
    return slot >= 0 && slot < kGKeySlotCount;
}

} // namespace

KeyAssignment readKeyAssignment(std::span<const std::uint8_t, kKeyAssignmentSize> bytes) {
    const std::uint8_t* data = bytes.data();
    return {static_cast<AssignmentType>(platform::readU16(data)), platform::readU16(data + 2),
            platform::readU32(data + 4), platform::readU32(data + 8), platform::readU32(data + 12)};
}

void writeKeyAssignment(std::span<std::uint8_t, kKeyAssignmentSize> bytes,
                        const KeyAssignment& assignment) {
    std::uint8_t* data = bytes.data();
    platform::writeU16(data, static_cast<std::uint16_t>(assignment.type));
    platform::writeU16(data + 2, assignment.tag);
    platform::writeU32(data + 4, assignment.value);
    platform::writeU32(data + 8, assignment.flags);
    platform::writeU32(data + 12, assignment.reserved);
}

AssignmentTable::AssignmentTable() : bytes_(kAssignmentTableSize, 0) {}

std::span<const std::uint8_t, kAssignmentTableSize> AssignmentTable::bytes() const {
    return std::span<const std::uint8_t, kAssignmentTableSize>(bytes_.data(), kAssignmentTableSize);
}

std::span<std::uint8_t, kAssignmentTableSize> AssignmentTable::bytes() {
    return std::span<std::uint8_t, kAssignmentTableSize>(bytes_.data(), kAssignmentTableSize);
}

std::span<std::uint8_t, kAssignmentHeaderSize> AssignmentTable::header() {
    return bytes().first<kAssignmentHeaderSize>();
}

std::optional<KeyAssignment> AssignmentTable::recordOf(int layer, int row) const {
    const std::optional<std::size_t> offset = recordOffset(layer, row);
    if (!offset) {
        return std::nullopt;
    }
    return readKeyAssignment(bytes().subspan(*offset).first<kKeyAssignmentSize>());
}

bool AssignmentTable::storeRecord(int layer, int row, const KeyAssignment& assignment) {
    const std::optional<std::size_t> offset = recordOffset(layer, row);
    if (!offset) {
        return false;
    }
    writeKeyAssignment(bytes().subspan(*offset).first<kKeyAssignmentSize>(), assignment);
    return true;
}

bool AssignmentTable::resetLayer(int layer) {
    const std::optional<std::size_t> offset = recordOffset(layer, 0);
    if (!offset) {
        return false;
    }
    std::fill_n(bytes_.begin() + static_cast<std::ptrdiff_t>(*offset), kLayerSize, std::uint8_t{0});
    for (int slot = 0; slot < kGKeySlotCount; ++slot) {
        KeyAssignment assignment;
        assignment.tag = gKeyTag(slot);
        storeRecord(layer, gKeyRowOfSlot(slot), assignment);
    }
    return true;
}

AssignmentTable defaultTable() {
    AssignmentTable table;
    keyboard::fillTableHeaders(table.header(), 0, 0, 0);
    table.resetLayer(0);
    return table;
}

std::optional<int> gKeySlot(int gNumber, bool bankBit) {
    if (gNumber < 1 || gNumber > kGKeyCount) {
        return std::nullopt;
    }
    return gNumber - 1 + (bankBit ? kGKeyCount : 0);
}

KeyCode gKeyCodeOfSlot(int slot) {
    return isSlot(slot) ? static_cast<KeyCode>(0x200 + slot) : KeyCode{0};
}

int gKeyRowOfSlot(int slot) {
    return isSlot(slot) ? kFirstGKeyRow + slot : -1;
}

std::uint16_t gKeyTag(int slot) {
    if (!isSlot(slot)) {
        return 0;
    }
    return static_cast<std::uint16_t>(slot < kGKeyCount ? 0x0301 + slot
                                                        : 0x1301 + (slot - kGKeyCount));
}

} // namespace tavrik::keyboard
