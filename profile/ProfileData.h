#pragma once
// What a profile file holds, and what the program's working set is: the
// assignment table, the macro list and the strings of the LaunchProgram and
// TextBlock records. Plain data; whoever shares one guards it.

#include "keyboard/AssignmentTable.h"
#include "keyboard/StringTable.h"
#include "macro/MacroRecord.h"

namespace tavrik::profile {

struct ProfileData {
    keyboard::AssignmentTable table;
    macro::MacroList macros; // the macro count is its size, at most macro::kMaxMacros
    keyboard::StringTable strings;
};

// Releases strings, macro list and assignment table (the table becomes all
// zero) before new contents are installed.
void releaseProfileData(ProfileData& data);

} // namespace tavrik::profile
