#include "macro/CyclesText.h"

#include "platform/IniValues.h"
#include "text/TextFormat.h"

#include <algorithm>

namespace tavrik::macro {

int cyclesOfText(std::u16string_view text) {
    return std::clamp(platform::parseIniInteger(text), kMinCycles, kMaxCycles);
}

std::optional<std::u16string> correctedCyclesText(std::u16string_view text) {
    const int value = platform::parseIniInteger(text);
    if (value >= kMinCycles && value <= kMaxCycles) {
        return std::nullopt;
    }
    return cyclesText(cyclesOfText(text));
}

std::u16string cyclesText(int cycles) {
    return text::formatWithInteger(u"%d", cycles);
}

} // namespace tavrik::macro
