#pragma once
// The working file: the whole working set (all profiles) saved in the user
// data folder as "$Profile0", in profile file format. Apply and import save
// it; a reload from the keyboard and a discarded edit read it back.

#include <string>

namespace tavrik::sync {

// The user data folder + "/$Profile0", the same file for every profile index.
// Creates the folder when it is missing. Empty when there is no user data
// folder (no documents folder was found at start).
std::string workingFilePath(int profileIndex);

// writeProfileFile to the working file, but only when that file exists
// already; false otherwise or when the write fails.
bool saveWorkingFile(bool lock);

} // namespace tavrik::sync
