#pragma once
// Apply: the working set goes to the working file and, through the apply
// snapshot, to the keyboard.

#include "sync/KeyMapWriter.h"

namespace tavrik::sync {

// The Apply command of the main window (Apply and OK buttons, system time
// change); runs on the user-interface thread. The busy indicator runs
// meanwhile. When changes are pending (the Apply button is enabled), the
// working file is saved and the snapshot built and written to the keyboard
// with the working-set lock held; the button is disabled only when both
// succeeded, and then what was written is what the keyboard holds. Every
// failure is told once the busy indicator has stopped:
//  - before the keyboard was ever read nothing is written (APPLY_NOT_READ),
//    since the working set holds defaults the keyboard never gave;
//  - a keyboard that did not take the changes: APPLY_KEYBOARD_FAILED;
//  - a working file that could not be saved: APPLY_NOT_SAVED with its path
//    and the reason (the keyboard has the changes all the same).
// Returns true when nothing was pending or both succeeded.
bool applyChanges();

// Rebuilds the apply snapshot from the working set (table with its header
// refilled for the macro count and string total, macro list, strings packed
// into the blob) and writes it to the keyboard with writeKeyMap
// (KeyMapWriter.h), all three profiles or the active one and those that
// changed. The caller holds the working-set lock. Failed when a copy could
// not be allocated (the snapshot is then empty).
KeyMapWriteResult writeApplySnapshot(bool allProfiles);
// The same as 1 on success, 0 on failure.
int buildApplySnapshot(bool allProfiles);

} // namespace tavrik::sync
