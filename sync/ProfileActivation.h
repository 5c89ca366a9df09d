#pragma once
// The keyboard's active profile and the reload of the working set from the
// keyboard (after the keyboard connects or switches profile by itself).

namespace tavrik::sync {

inline constexpr int kProfileCount = 3;

// Makes profile index (0..2) active on the keyboard: reads the device
// information, sets byte 10, writes it back. On success the cached active
// profile becomes index, on a failed write -1. An index outside 0..2 changes
// nothing. Returns whether the keyboard took the new profile.
bool setActiveProfile(int index);

// Rebuilds the working set from the keyboard: reads the keyboard into the
// working file (when its active profile can be read), then, under the
// working-set lock, loads the working file or, when the read failed,
// installs the default assignment table; refreshes the key buttons before
// the lock is released and disables the Apply button. Returns whether the
// keyboard's contents were loaded.
bool reloadFromKeyboard();

// Discards the changes of the working set: under the working-set lock, its
// strings, macro list and table are released and the working file is loaded
// in their place (loadProfileFile: a missing or short file leaves the
// default table). Returns whether the working file was loaded.
bool restoreFromWorkingFile();

} // namespace tavrik::sync
