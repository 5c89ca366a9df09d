#pragma once
// The macro area: the compact image of a macro list that the keyboard plays
// macros from. A 16-byte header (magic, total size, count, names flag, eight
// reserved bytes), a table of 16-bit record offsets, then per macro its action
// count, cycles, name length, 4-byte actions and optionally its name.

#include "macro/MacroRecord.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace tavrik::macro {

inline constexpr std::uint16_t kMacroAreaMagic = 0x55AA;
inline constexpr std::size_t kMacroAreaHeaderSize = 16;
inline constexpr std::size_t kMacroAreaRecordHeaderSize = 4;
inline constexpr std::size_t kEncodedActionSize = 4;
// Pauses are stored in 12 bits of 10 ms units.
inline constexpr std::int32_t kPauseUnit = 10;
inline constexpr std::uint16_t kMaxPauseUnits = 0x0FFF;

// The pause in 10 ms units as an action stores it, and the pause in
// milliseconds that the keyboard therefore plays.
std::uint16_t pauseUnits(std::int32_t pause);
std::int32_t playedPause(std::int32_t pause);

struct MacroAreaSizes {
    std::size_t withoutNames = 0;
    std::size_t withNames = 0;
};

// Exact sizes of the image of records, without and with the names.
MacroAreaSizes measureMacroAreaImage(std::span<const MacroRecord> records);

// Builds the image of records into image, whose size is the chosen size
// (measured with or without names) and goes into the header. Returns false
// and writes nothing when records holds more than kMaxMacros macros, when
// image is too small for them or when its size does not fit the 16-bit size
// field.
bool buildMacroAreaImage(std::span<const MacroRecord> records, std::span<std::uint8_t> image,
                         bool namesIncluded);

// Decodes an image read back from the keyboard into records (replacing what
// they held) and returns their number. Macro i gets id i + 1, the new flag 0
// and, when the image carries no name for it (no units, or a terminator
// first), the name MACRO_NEW_PREFIX followed by i + 1.
// The image is untrusted: without a whole header or the magic it holds no
// macros; at most kMaxMacros are read; a macro whose offset, actions or name
// reach outside the image, or whose offset points into the header or offset
// table, is dropped and the others keep their ids; at most kMaxActions actions
// of a macro are taken.
std::size_t decodeMacroAreaImage(std::span<const std::uint8_t> image, MacroList& records);

// One action in its 4-byte form and back.
std::array<std::uint8_t, kEncodedActionSize> encodeMacroAreaAction(const MacroAction& action);
MacroAction decodeMacroAreaAction(const std::uint8_t* bytes);

} // namespace tavrik::macro
