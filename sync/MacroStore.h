#pragma once
// The working set's macro list as the composite editor changes it: the check
// before a macro is deleted and the commit of the editor's whole list, which
// repairs key assignments that would point to a macro that is gone.

#include "macro/MacroRecord.h"

#include <span>

namespace tavrik::sync {

// True when the macro may be deleted. A macro created in the open editor (new
// flag 1) always may. Otherwise the assignment table is searched, under the
// working-set lock, from the first record of the layer of the profile active
// on the keyboard (asked each time) to the end of the table, skipping record
// 256 of that layer; when the active profile cannot be read or lies outside
// 0..2, the whole table is searched. When a PlayMacro record names the macro's
// id, the question MACRO_DELETE_CONFIRM_OF_KEYS is asked (No is the default)
// and only Yes allows the deletion.
bool confirmMacroDeletion(const macro::MacroRecord& record);

// Replaces the working set's macro list by the editor's records, in their
// order, with their new flags cleared. First, under the working-set lock,
// every PlayMacro record of the four layers is repaired: macro id 0 is pointed
// at the first macro of the new list (when there is one); an id that no macro
// of the new list has, or whose macro is new (its id was handed out again
// after a deletion), turns the record into Default. Every repair marks the
// configuration as changed (the main window's Apply button). Returns false,
// with the working set unchanged, when the list has more than 100 records or
// its memory cannot be had.
bool commitMacroList(std::span<const macro::MacroRecord> records);

} // namespace tavrik::sync
