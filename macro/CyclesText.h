#pragma once
// The cycles field of the macro editor: a plain text field that takes any
// text and is read as a decimal number of plays, 1..255.

#include <optional>
#include <string>
#include <string_view>

namespace tavrik::macro {

inline constexpr int kMinCycles = 1;
inline constexpr int kMaxCycles = 255;

// The cycles a text stands for: its decimal value, at least kMinCycles and at
// most kMaxCycles. A text that is not a number counts as kMinCycles.
int cyclesOfText(std::u16string_view text);

// The text to write back into the field after the user changed it: the
// corrected value when the text's value lies outside 1..255 (an empty text
// and a text that is not a number read as 0); none when the text stands as
// typed.
std::optional<std::u16string> correctedCyclesText(std::u16string_view text);

std::u16string cyclesText(int cycles);

} // namespace tavrik::macro
