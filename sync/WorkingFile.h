#pragma once
// The working file: the whole working set (all profiles) saved in the user
// data folder as "$Profile0", in profile file format. A reload from the
// keyboard, Apply and import save it.

#include <string>

namespace tavrik::sync {

// The user data folder + "/$Profile0", the same file for every profile index.
// Creates the folder when it is missing. Empty when there is no user data
// folder (no documents folder was found at start).
std::string workingFilePath(int profileIndex);

// writeProfileFile to the working file, once there is one to keep up to
// date: the file exists, or the working set stems from the keyboard (which
// a reload could not save). False otherwise or when the write fails, with
// `error` set to the errno of the failing step (ENOENT: no such file yet,
// or no user data folder).
bool saveWorkingFile(bool lock, int* error = nullptr);

// Why a save of the working file failed with `saveError`: when the file's
// folder is missing, the reason it could not be made (a read-only home, say)
// rather than that it is missing.
int workingFileError(int saveError);

} // namespace tavrik::sync
