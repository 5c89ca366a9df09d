#pragma once
// The tooltip text that tells what a key of the on-screen keyboard is set to:
// a heading (the key's name, or "G" and the G number), then, for an assigned
// record, the text KEY_PROMPT_SET and by type the target: "Key(" and the key's
// name, "Macro(" and the macro's name, "Media(" and the media key's name, or
// "Function(" and the function's text, each closed by ")". The parts are
// joined without separators: "AKeys, Set: Key(B)".

#include "keyboard/AssignmentTable.h"

#include <string>
#include <string_view>

namespace tavrik::keyboard {

// A record of any type but Default marks its key as assigned.
inline bool isAssigned(const KeyAssignment& assignment) {
    return assignment.type != AssignmentType::Default;
}

// The heading of a panel key: its name, cut to kKeyNameCapacity - 1 characters.
std::u16string keyHeading(KeyCode code);
// The heading of G button `index` (0..8): "G1".."G9".
std::u16string gKeyHeading(int index);

// The whole text for `assignment` under `heading`. `macroName` is the name of
// the macro a PlayMacro record plays (the caller looks it up; empty when the
// macro is gone). Disabled, LaunchProgram, StopMacro and TextBlock records,
// and a type no profile file should hold, end after KEY_PROMPT_SET.
std::u16string describeAssignment(std::u16string_view heading, const KeyAssignment& assignment,
                                  std::u16string_view macroName);

} // namespace tavrik::keyboard
