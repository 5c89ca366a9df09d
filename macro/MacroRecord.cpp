#include "macro/MacroRecord.h"

#include "platform/ByteOrder.h"
#include "platform/Unicode.h"

#include <algorithm>

namespace tavrik::macro {

using platform::readI32;
using platform::readU16;
using platform::writeI32;
using platform::writeU16;

MacroAction readMacroAction(const std::uint8_t* bytes) {
    return MacroAction{readI32(bytes), readU16(bytes + 4), readU16(bytes + 6)};
}

void writeMacroAction(std::uint8_t* bytes, const MacroAction& action) {
    writeI32(bytes, action.pause);
    writeU16(bytes + 4, action.keyCode);
    writeU16(bytes + 6, action.direction);
}

MacroRecord::MacroRecord() = default;

MacroRecord::MacroRecord(const Bytes& bytes) : bytes_(bytes) {}

std::u16string MacroRecord::name() const {
    std::u16string name;
    for (std::size_t i = 0; i < kMaxNameLength; ++i) {
        const char16_t unit = readU16(bytes_.data() + kNameOffset + 2 * i);
        if (unit == 0) {
            break;
        }
        name.push_back(unit);
    }
    return name;
}

void MacroRecord::setName(std::u16string_view name) {
    const std::u16string_view kept = platform::cutUtf16(name, kMaxNameLength);
    std::fill_n(bytes_.data() + kNameOffset, 2 * kNameCapacity, std::uint8_t{0});
    for (std::size_t i = 0; i < kept.size(); ++i) {
        writeU16(bytes_.data() + kNameOffset + 2 * i, kept[i]);
    }
}

std::uint8_t MacroRecord::cycles() const {
    return bytes_[kCyclesOffset];
}

void MacroRecord::setCycles(std::uint8_t cycles) {
    bytes_[kCyclesOffset] = cycles;
}

std::uint16_t MacroRecord::newFlag() const {
    return readU16(bytes_.data() + kNewFlagOffset);
}

void MacroRecord::setNewFlag(std::uint16_t flag) {
    writeU16(bytes_.data() + kNewFlagOffset, flag);
}

std::uint16_t MacroRecord::id() const {
    return readU16(bytes_.data() + kIdOffset);
}

void MacroRecord::setId(std::uint16_t id) {
    writeU16(bytes_.data() + kIdOffset, id);
}

std::uint16_t MacroRecord::storedActionCount() const {
    return readU16(bytes_.data() + kActionCountOffset);
}

std::size_t MacroRecord::actionCount() const {
    return std::min<std::size_t>(storedActionCount(), kMaxActions);
}

MacroAction MacroRecord::action(std::size_t index) const {
    if (index >= kMaxActions) {
        return MacroAction{};
    }
    return readMacroAction(actionSlot(index));
}

std::vector<MacroAction> MacroRecord::actions() const {
    std::vector<MacroAction> actions;
    const std::size_t count = actionCount();
    actions.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        actions.push_back(readMacroAction(actionSlot(i)));
    }
    return actions;
}

void MacroRecord::setActions(std::span<const MacroAction> actions) {
    const std::size_t count = std::min(actions.size(), kMaxActions);
    for (std::size_t i = 0; i < count; ++i) {
        writeMacroAction(actionSlot(i), actions[i]);
    }
    std::fill(actionSlot(count), bytes_.data() + bytes_.size(), std::uint8_t{0});
    writeU16(bytes_.data() + kActionCountOffset, static_cast<std::uint16_t>(count));
}

bool MacroRecord::appendAction(const MacroAction& action) {
    const std::size_t count = actionCount();
    if (count >= kMaxActions) {
        return false;
    }
    writeMacroAction(actionSlot(count), action);
    writeU16(bytes_.data() + kActionCountOffset, static_cast<std::uint16_t>(count + 1));
    return true;
}

} // namespace tavrik::macro
