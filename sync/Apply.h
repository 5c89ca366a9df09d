#pragma once
// Apply: the working set goes to the working file and, through the apply
// snapshot, to the keyboard.

namespace tavrik::sync {

// The Apply command of the main window (Apply and OK buttons, system time
// change); runs on the user-interface thread. The busy indicator runs
// meanwhile. When changes are pending (the Apply button is enabled), the
// working file is saved and the snapshot built and written to the keyboard
// with the working-set lock held; the button is disabled only when both
// succeeded. Returns true when nothing was pending or both succeeded.
bool applyChanges();

// Rebuilds the apply snapshot from the working set (table with its header
// refilled for the macro count and string total, macro list, strings packed
// into the blob) and writes it to the keyboard with encodeKeyMap
// (KeyMapWriter.h), all three profiles or only the active one. The caller
// holds the working-set lock. Returns 1 on success, 0 on failure (the
// snapshot is then empty when a copy could not be allocated).
int buildApplySnapshot(bool allProfiles);

} // namespace tavrik::sync
