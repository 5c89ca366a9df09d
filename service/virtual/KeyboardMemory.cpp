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
    for (std::size_t i = kFirstEffectByte; i < kDeviceInfoSize; ++i) {
        const std::size_t effect = i - kFirstEffectByte + 1;
        info[i] = effect <= kEffectCount ? static_cast<std::uint8_t>(effect) : 0;
    }
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
