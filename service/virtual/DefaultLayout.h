#pragma once
// The keyboard's default layout: the 512-byte block that names the physical
// key at each of the 160 key map positions (three bytes a position, then 32
// bytes of padding). Every key map page of a factory-fresh keyboard equals it.

#include <array>
#include <cstddef>
#include <cstdint>

namespace tavrik::service {

inline constexpr std::size_t kLayoutSize = 512;
// The eighteen G-key slots sit at positions 128..145: slot n - 1 at 127 + n.
inline constexpr std::size_t kFirstGKeyPosition = 128;
inline constexpr std::size_t kGKeySlotCount = 18;

const std::array<std::uint8_t, kLayoutSize>& defaultLayout();

} // namespace tavrik::service
