#pragma once
// The main menu's "Back up keyboard…" and "Restore keyboard…": the file
// dialogs, the checks and questions around the backup (sync/
// KeyboardBackupTransfer.h) and what the user is told. Every dialog and
// message goes through the Prompter.

#include <functional>

namespace tavrik::app {

class CompositeEditorOpener;

// Runs the keyboard's part of a command (the whole read of a backup, the
// write of a restore); the window runs it off its thread, tests in place.
using KeyboardWorkRunner = std::function<void(const std::function<void()>& work)>;
inline void runInPlace(const std::function<void()>& work) {
    work();
}

// The file dialogs of both: extension "tkb", initial name "*.tkb", the filter
// "(*.tkb)|*.tkb|(*.*)|*.*||"; the save dialog asks before it replaces a file.

// Without a keyboard that answers it says so and asks for no file. Otherwise
// the save dialog; the backup; a message that names the file either way.
// Returns whether a backup was saved.
bool backUpKeyboard(const KeyboardWorkRunner& run = runInPlace);

// Without a keyboard that answers it says so and asks for no file. Otherwise
// the open dialog; the file is read and checked whole, and a file that is not
// a sound backup is refused with its reason. While the key editor is open
// nothing is restored (RESTORE_CLOSE_EDITOR). Then the question
// RESTORE_QUESTION (No preselected) and the restore. When the keyboard may
// have changed (restored, or written in part), `keyboardChanged` runs before
// the message says what came of it, so the window shows the keyboard's new
// contents behind the message. Returns whether the backup was restored.
bool restoreKeyboard(const CompositeEditorOpener& editor,
                     const std::function<void()>& keyboardChanged,
                     const KeyboardWorkRunner& run = runInPlace);

} // namespace tavrik::app
