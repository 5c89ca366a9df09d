#pragma once
// A lighting colour as the panel keeps it: a 24-bit value 0x00BBGGRR, red
// in the low byte. The keyboard stores it as three bytes red, green, blue;
// INI files as the text "r,g,b" in decimal.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tavrik::lighting {

using Colour = std::uint32_t;

constexpr Colour rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return static_cast<Colour>(red) | (static_cast<Colour>(green) << 8) |
           (static_cast<Colour>(blue) << 16);
}

constexpr std::uint8_t redOf(Colour colour) {
    return static_cast<std::uint8_t>(colour);
}
constexpr std::uint8_t greenOf(Colour colour) {
    return static_cast<std::uint8_t>(colour >> 8);
}
constexpr std::uint8_t blueOf(Colour colour) {
    return static_cast<std::uint8_t>(colour >> 16);
}

inline constexpr Colour kRed = rgb(255, 0, 0);
inline constexpr Colour kWhite = rgb(255, 255, 255);
inline constexpr Colour kBlack = rgb(0, 0, 0);

// The keyboard's three bytes red, green, blue.
std::array<std::uint8_t, 3> colourBytes(Colour colour);
Colour colourFromBytes(std::span<const std::uint8_t, 3> bytes);

// "51,34,17": red, green, blue in decimal, without blanks.
std::u16string colourText(Colour colour);
// Three numbers 0..255 separated by commas, blanks allowed around each;
// empty for anything else.
std::optional<Colour> parseColourText(std::u16string_view text);

} // namespace tavrik::lighting
