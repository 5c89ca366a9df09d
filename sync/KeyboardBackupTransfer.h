#pragma once
// The whole-keyboard backup between the keyboard and a file: everything the
// keyboard holds read into a backup file (profile/KeyboardBackup.h), and a
// backup written back into the keyboard and read again to confirm. A restore
// starts from a backup whose file was read and checked whole
// (profile::readKeyboardBackupFile), so a file that is not a sound backup
// never reaches the keyboard. The caller makes sure nothing else talks to the
// keyboard meanwhile: the program from its user-interface thread, tavrikctl
// only while the program is not running. Nothing here shows a message; the
// callers show resultText.

#include "profile/KeyboardBackup.h"

#include <string>

namespace tavrik::sync {

enum class BackupResult {
    Saved,
    KeyboardUnreadable, // the keyboard does not answer or refused a read
    CannotWrite,        // the file could not be saved; a previous file is untouched
};

enum class RestoreResult {
    Restored,     // written and read back the same
    Damaged,      // the backup's fields are unsound (never one read from a file)
    NoKeyboard,   // the keyboard does not answer
    DoesNotFit,   // the macro area is larger than this keyboard's macro memory
    WriteFailed,  // the keyboard refused part of the backup: it may hold part of it
    NotConfirmed, // written, but the keyboard reads back otherwise
};

// Reads the key map pages, the macro area (as far as its header reaches, and
// at least the header), the active profile, the three lighting records and
// the zone colours. Returns whether everything was read; `backup` is changed
// only then.
bool readKeyboardBackup(profile::KeyboardBackup& backup);

// `error`: why the file could not be written (CannotWrite).
BackupResult backupKeyboardTo(const std::string& path, int* error = nullptr);

// Nothing is written unless the keyboard answers and its macro memory takes
// the macro area. Then the macro area, the pages, the lighting records (the
// part the program writes, offsets 0..34: the rest of a record is the
// keyboard's own) and the zone colours go in one write sequence, the active
// profile is set, and everything is read back and compared.
RestoreResult restoreKeyboardBackup(const profile::KeyboardBackup& backup);

// What to tell the user, from the language texts, with the file's path
// where the text names it.
// A backup that could not be written names the reason (`error`) too.
std::u16string resultText(BackupResult result, const std::string& path, int error = 0);
std::u16string resultText(RestoreResult result, const std::string& path);
// Why a backup file is refused; empty for a valid one.
std::u16string resultText(profile::BackupCheck check, const std::string& path);

} // namespace tavrik::sync
