#include "service/virtual/KeyboardMemory.h"

#include "service/virtual/DefaultLayout.h"

#include <algorithm>

namespace tavrik::service {

KeyboardMemory KeyboardMemory::factoryFresh() {
    KeyboardMemory memory;
    memory.setHardwareDescription();
    for (std::size_t page = 0; page < kProfileCount; ++page) {
        std::copy(defaultLayout().begin(), defaultLayout().end(),
                  memory.pages.begin() + static_cast<std::ptrdiff_t>(page * kKeyMapPageSize));
    }
    for (std::size_t profile = 0; profile < kProfileCount; ++profile) {
        std::copy(kDefaultLightingRecord.begin(), kDefaultLightingRecord.end(),
                  memory.lighting.begin() +
                      static_cast<std::ptrdiff_t>(profile * kLightingRecordSize));
    }
    std::fill_n(memory.zones.begin(), kProfileCount * kZoneTableSize, 0xFF);
    return memory;
}

void KeyboardMemory::setHardwareDescription() {
    info[kMacroUnitsByte] = kMacroUnits;
    std::array<std::uint8_t, kEffectCount> effects{};
    for (std::size_t i = 0; i < effects.size(); ++i) {
        effects[i] = static_cast<std::uint8_t>(i + 1);
    }
    offerEffects(effects);
}

void KeyboardMemory::offerEffects(std::span<const std::uint8_t> effects) {
    const std::size_t slots = kDeviceInfoSize - kFirstEffectByte;
    const std::size_t count = std::min(effects.size(), slots);
    std::fill(info.begin() + kFirstEffectByte, info.end(), 0);
    std::copy_n(effects.begin(), count, info.begin() + kFirstEffectByte);
}

std::optional<std::span<const std::uint8_t>> namedArea(const KeyboardMemory& memory,
                                                       std::string_view name) {
    if (name == "info") {
        return std::span<const std::uint8_t>(memory.info);
    }
    for (std::size_t page = 0; page < kProfileCount; ++page) {
        if (name.size() == 5 && name.starts_with("page") &&
            name[4] == static_cast<char>('0' + page)) {
            return std::span<const std::uint8_t>(memory.pages)
                .subspan(page * kKeyMapPageSize, kKeyMapPageSize);
        }
    }
    if (name == "macro") {
        return std::span<const std::uint8_t>(memory.macro);
    }
    if (name == "lighting") {
        return std::span<const std::uint8_t>(memory.lighting);
    }
    if (name == "zones") {
        return std::span<const std::uint8_t>(memory.zones);
    }
    return std::nullopt;
}

} // namespace tavrik::service
