#pragma once
// Making a profile file from the keyboard's memory: the three key map pages
// and the macro area, decoded into an assignment table and macro records.

#include <string>

namespace tavrik::sync {

// Reads the keyboard and stores what it holds at path in profile file format
// (no strings: LaunchProgram and TextBlock cannot be read back). The macro
// area is untrusted: at most 100 macros, and only those that lie whole inside
// the area, reach the file. False when the keyboard cannot be read (nothing
// is written then) or the file cannot be written (the previous file stays).
bool readKeyboardToWorkingFile(const std::string& path);

} // namespace tavrik::sync
