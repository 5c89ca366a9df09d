#pragma once
// Writing the apply snapshot to the keyboard: the macro area (with the macro
// names when they fit the keyboard's macro memory, without them otherwise)
// and the key map page of one profile or of all three, in one write
// sequence. The caller holds the working-set lock (the snapshot was built
// under it); this takes the snapshot lock.

namespace tavrik::sync {

enum class KeyMapWriteResult {
    Written,
    // Macros that do not fit even without names: EXTRA_MACRO_TOO_LONG was
    // shown, nothing sent.
    MacrosTooLarge,
    // The active profile cannot be read or lies outside 0..2: nothing sent.
    NoActiveProfile,
    // A command of the sequence failed, or the area could not be made.
    Failed,
};

// With allProfiles the pages of profiles 0, 1 and 2 are sent from layers 0,
// 1 and 2. Without it the page of the profile active on the keyboard, asked
// for first, and every other page that would differ from what the keyboard
// holds (the keyboard copy, DataSets.h): a key edited before the keyboard
// switched profile by itself, or a macro removed, which moves the positions
// that the other pages name. Before the keyboard was first read, the active
// page alone.
//  - a command of the sequence that fails: the rest of the sequence is still
//    sent (endWrite always closes it), and the result is Failed.
// When the names had to be dropped, EXTRA_PROFILE_SPACE_TIGHT is shown after
// the sequence.
KeyMapWriteResult writeKeyMap(bool allProfiles);

// writeKeyMap as the design's encoder gives it: 1 when written, else 0.
int encodeKeyMap(bool allProfiles);

} // namespace tavrik::sync
