#pragma once
// Export and Import of the main menu: the working set to a profile file the
// user chooses, and a profile file into the working set and onto the
// keyboard.

#include "platform/Prompter.h"
#include "sync/KeyMapWriter.h"

#include <string>

namespace tavrik::sync {

// The file dialogs of both commands: extension "fwc", initial name "*.fwc",
// the filter "(*.fwc)|*.fwc|(*.*)|*.*||"; export asks before it replaces a file.
platform::FileDialogRequest exportDialogRequest();
platform::FileDialogRequest importDialogRequest();

// Export: the save dialog, then exportProfileTo the chosen path. False when
// the dialog was cancelled or the file could not be written, which
// EXPORT_FAILED tells with the path and the reason (the previous file stays).
bool exportProfile();
// Writes the working set to path under the working-set lock; `error` as
// writeProfileFile gives it.
bool exportProfileTo(const std::string& path, int* error = nullptr);

struct ImportOutcome {
    bool accepted = false;         // the file passed validation and was loaded
    bool workingFileSaved = false; // the working file exists and was written
    bool keyboardWritten = false;  // all three profiles and the macros were written
    KeyMapWriteResult written = KeyMapWriteResult::Failed;
    int saveError = 0; // why the working file was not saved
};

// Import: the open dialog, then importProfileFrom the chosen path. A
// cancelled dialog gives an outcome with nothing done. An accepted file that
// did not reach the keyboard, or whose working file could not be saved, is
// told as a failed Apply is (APPLY_KEYBOARD_FAILED, APPLY_NOT_SAVED).
ImportOutcome importProfile();
// The import of a file already chosen, told as importProfile tells it.
ImportOutcome importProfileAndTell(const std::string& path);

// A file that fails validation, or whose checked bytes cannot be loaded,
// shows the message MAIN_PROMPT_INPORT (after the format message of
// profile::validateProfileFile, where the header was at fault) and changes nothing.
// The file is read once. An accepted file replaces the working set under its
// lock, is saved as the working file and written to the keyboard (all
// profiles), and the key buttons are refreshed. The Apply button is then
// disabled when both the working file and the keyboard were written, and
// enabled (changes pending) when either failed. What the keyboard took
// becomes the keyboard copy. Tells nothing of a failed write or save.
ImportOutcome importProfileFrom(const std::string& path);

} // namespace tavrik::sync
