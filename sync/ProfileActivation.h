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

enum class ReloadMode {
    // Unapplied edits stay in the working set, and Apply stays enabled: a
    // keyboard that comes back or switches profile by itself takes nothing
    // from the user.
    KeepEdits,
    // The working set becomes what the keyboard holds (after a restore,
    // which the user chose over every edit).
    ReplaceEdits,
};

// Rebuilds the working set from the keyboard. The keyboard is read first,
// without a lock; a read that fails changes nothing (the working set never
// falls back to defaults that a later Apply would write over the keyboard)
// and, while the keyboard is still there, says so (KEYBOARD_READ_FAILED).
// Otherwise, under the working-set lock, what was read becomes the keyboard
// copy and, unless edits are kept, the working set, and the key buttons are
// refreshed; Apply is disabled when the working set was replaced. Then the
// working file is saved; when it cannot be, the user is told once where and
// why (WORKING_COPY_NOT_SAVED), and the program goes on with what it read.
// Returns whether the keyboard was read.
bool reloadFromKeyboard(ReloadMode mode = ReloadMode::KeepEdits);

// Discards the changes of the working set: under the working-set lock it
// becomes the keyboard copy again; before the keyboard was first read, the
// working file is loaded in its place (loadProfileFile: a missing or short
// file leaves the default table). Returns whether the working set now holds
// what the keyboard or the file held.
bool discardChanges();

} // namespace tavrik::sync
