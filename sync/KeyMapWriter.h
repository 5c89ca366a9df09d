#pragma once
// Writing the apply snapshot to the keyboard: the macro area (with the macro
// names when they fit the keyboard's macro memory, without them otherwise)
// and the key map page of one profile or of all three, in one write
// sequence. The caller holds the working-set lock (the snapshot was built
// under it); this takes the snapshot lock.

namespace tavrik::sync {

// With allProfiles the pages of profiles 0, 1 and 2 are sent from layers 0,
// 1 and 2; without it only the page of the profile active on the keyboard,
// asked for first. Returns 1 when everything was written, 0 otherwise:
//  - macros that do not fit even without names: the message
//    EXTRA_MACRO_TOO_LONG, nothing sent;
//  - an active profile that cannot be read or lies outside 0..2: nothing
//    sent, no message;
//  - a command of the sequence that fails: the rest of the sequence is still
//    sent (endWrite always closes it), and the result is 0.
// When the names had to be dropped, EXTRA_PROFILE_SPACE_TIGHT is shown after
// the sequence.
int encodeKeyMap(bool allProfiles);

} // namespace tavrik::sync
