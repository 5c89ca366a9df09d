#pragma once
// The composite editor's moves of the working set: the macros it copies in
// when it opens, the record of the edited key, and its Apply, which commits
// the edited macro list and writes one key's assignment into the layer of
// the profile active on the keyboard.

#include "keyboard/AssignmentTable.h"
#include "macro/MacroRecord.h"

#include <cstdint>
#include <optional>
#include <span>

namespace tavrik::sync {

// What the editor chose for its key. `mode` is the section shown: Default,
// SingleKey, PlayMacro, Media or Function.
struct EditorChoice {
    keyboard::AssignmentType mode = keyboard::AssignmentType::Default;
    keyboard::KeyCode singleKey = 0;
    std::uint32_t mediaIndex = 0;
    std::uint32_t functionIndex = 0;
    bool macroListEmpty = true;
    int selectedMacro = -1; // position in the editor's list
    std::uint16_t cycles = 1;
};

// Whether the editor has a section for the type (Default, SingleKey,
// PlayMacro, Media, Function); the others come only from profile files.
bool isEditorMode(keyboard::AssignmentType type);

// The record the editor writes at `row`: the type of the section (Default
// for a single key that is none or the key itself, and for the macro
// section with no macros), the G-key tag in the G-key rows or the cycles in
// a PlayMacro record, and the value of the section; `macroId` is the id of
// the selected macro. Flags and reserved word stay those of `previous`.
keyboard::KeyAssignment composeAssignment(int row, const EditorChoice& choice,
                                          std::uint16_t macroId,
                                          const keyboard::KeyAssignment& previous);

// The working set's macros as the editor's private copies, new flags clear.
macro::MacroList macroCopies();

// The edited key's record in the layer of the active profile (plus the
// bank's 512 rows); none when the keyboard cannot tell its active profile.
std::optional<keyboard::KeyAssignment> readEditedKey(int row, int bank);

enum class EditorApplyResult { Applied, NoActiveProfile };

// The editor's Apply. When the keyboard cannot tell its active profile, shows
// APPLY_PROMPT ("No Use!") and changes nothing. Otherwise commits `copies` as
// the macro list (a failed commit leaves the list and goes on) and, for a
// choice of one of the editor's sections, writes the key's record, releasing
// a string the record owned; a key whose record is of another type (a
// program or a text from a profile file, shown by no section) keeps it. Then
// marks the configuration as changed.
EditorApplyResult applyEditorChoice(int row, int bank, std::span<const macro::MacroRecord> copies,
                                    const EditorChoice& choice);

} // namespace tavrik::sync
