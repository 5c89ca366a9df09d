#include "service/virtual/DefaultLayout.h"

#include "keyboard/KeyMapCodec.h"

#include <algorithm>

namespace tavrik::service {
namespace {

// The keys of positions 0..127 are the ones the program knows as its built-in
// layout; the G keys have positions of their own, so every slot can be assigned.
std::array<std::uint8_t, kLayoutSize> buildLayout() {
    std::array<std::uint8_t, kLayoutSize> layout{};
    std::copy(keyboard::BuiltInDefaultLayout.begin(), keyboard::BuiltInDefaultLayout.end(),
              layout.begin());
    for (std::size_t slot = 0; slot < kGKeySlotCount; ++slot) {
        const std::size_t position = kFirstGKeyPosition + slot;
        layout[3 * position] = 0x06;
        layout[3 * position + 1] = 0xA2;
        layout[3 * position + 2] = static_cast<std::uint8_t>(slot + 1);
    }
    return layout;
}

} // namespace

const std::array<std::uint8_t, kLayoutSize>& defaultLayout() {
    static const std::array<std::uint8_t, kLayoutSize> layout = buildLayout();
    return layout;
}

} // namespace tavrik::service
