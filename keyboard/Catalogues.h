#pragma once
// The two lists that Media and Function assignments index by their value.

#include "keyboard/KeyTable.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavrik::keyboard {

struct MediaEntry {
    std::uint16_t usage;          // Consumer page usage the keyboard sends
    KeyCode keyCode;              // media key whose name is shown
    std::string_view languageKey; // language text of that name
};

struct FunctionEntry {
    std::string_view languageKey;
    std::u16string_view builtInText;
};

inline constexpr std::size_t kMediaCount = 18;
inline constexpr std::size_t kFunctionCount = 11;

extern const std::array<MediaEntry, kMediaCount> MediaCatalogue;
extern const std::array<FunctionEntry, kFunctionCount> FunctionCatalogue;

// Catalogue lookups by an assignment value; an index outside the catalogue
// (a foreign profile file) gives 0, no key or an empty text.
std::uint16_t mediaUsage(std::uint32_t index);
KeyCode mediaKeyCode(std::uint32_t index);
std::u16string functionText(std::uint32_t index);

// Catalogue index of a Consumer page usage, if the catalogue has it.
std::optional<std::size_t> mediaIndexOfUsage(std::uint16_t usage);

} // namespace tavrik::keyboard
