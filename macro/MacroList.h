#pragma once
// Lookups over a macro list and the making of new macro records. Everything
// here works on the list it is given; the caller holds whatever lock guards it.

#include "macro/MacroRecord.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tavrik::macro {

// Position of the first record with this id; 0 when none has it or the list
// is empty. The key map relies on this fallback: a missing macro plays the first.
std::uint16_t macroIndexOfId(std::span<const MacroRecord> records, std::uint16_t id);

// Name of the first record with this id; empty when none has it.
std::u16string macroNameOfId(std::span<const MacroRecord> records, std::uint16_t id);

// Id of the record at index; 0 when index is negative or not below the count.
std::uint16_t macroIdAtIndex(std::span<const MacroRecord> records, int index);

// Empties the list and gives its memory back.
void releaseMacroList(MacroList& list);

// The lowest id in 1..kMaxMacros that no record uses; 0 when every id is taken.
// Ids outside 1..kMaxMacros, which only a foreign file brings, block nothing.
std::uint16_t allocateMacroId(std::span<const MacroRecord> records);

// A new zero-filled record with the name (cut to kMaxNameLength), cycles 1,
// the new flag set, no actions and the id from allocateMacroId; none when no
// id is free.
std::optional<MacroRecord> createMacroRecord(std::u16string_view name,
                                             std::span<const MacroRecord> records);

// Hands out the default names of new macros: the language text
// MACRO_NEW_PREFIX followed by a number. The number lives as long as the
// counter (the editor keeps one for the life of the program): it starts over
// when the list is empty and skips every number whose name an existing macro
// name begins with, compared without regard to case.
class MacroNameCounter {
public:
    std::u16string nextName(std::span<const MacroRecord> records);

    int value() const { return value_; }

private:
    int value_ = 0;
};

} // namespace tavrik::macro
