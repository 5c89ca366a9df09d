#pragma once
// The two data sets of the program. The working set is what the user edits:
// the assignment table, the macro list and the strings of LaunchProgram and
// TextBlock records. The apply snapshot is the copy that Apply encodes and
// writes to the keyboard; it carries the strings packed into one blob.
//
// Each set has its own recursive lock. Whoever needs both takes the
// working-set lock first, then the snapshot lock, never the other way round.
// The sets are process-wide and live until the process ends, so a worker that
// still runs at exit never meets a destroyed lock.

#include "keyboard/AssignmentTable.h"
#include "macro/MacroRecord.h"
#include "profile/ProfileData.h"

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

namespace tavrik::sync {

// The working set is a profile's data: what a profile file holds.
using WorkingSet = profile::ProfileData;

struct ApplySnapshot {
    keyboard::AssignmentTable table;
    macro::MacroList macros;
    // The strings of the table's LaunchProgram and TextBlock records, packed
    // in record order; each record's value is its string's offset.
    std::vector<std::uint8_t> stringBlob;
    std::uint32_t stringTotal = 0;
};

using DataSetLock = std::unique_lock<std::recursive_mutex>;

DataSetLock lockWorkingSet();
DataSetLock lockApplySnapshot();

// The sets themselves; the caller holds the matching lock while it uses one.
WorkingSet& workingSet();
ApplySnapshot& applySnapshot();

// What the keyboard holds, as far as the program knows: the set last read
// from the keyboard or written to it whole. None until the keyboard was
// first read, and then no edit of the working set may reach the keyboard:
// the working set holds only the default table, which the keyboard never
// gave. Guarded by the working-set lock.
std::optional<WorkingSet>& keyboardCopy();

// Releases strings, macro list and assignment table (the table becomes all
// zero) before new contents are installed.
inline void releaseWorkingSetContents(WorkingSet& set) {
    profile::releaseProfileData(set);
}
void releaseApplySnapshot(ApplySnapshot& snapshot);

// Teardown: both sets released, each under its lock.
void releaseDataSets();

// The state of a fresh start: the working set holds the default assignment
// table, no macros and no strings; the snapshot is empty and nothing is
// known of the keyboard. Takes both locks.
void resetDataSets();

// Lookups of the working set's macro list; each takes the working-set lock.
// macroIndexOfId: position of the first macro with the id, 0 when none has
// it. macroIdAtIndex: id of the macro at the position, 0 outside the list.
std::uint16_t macroIndexOfId(std::uint16_t id);
std::uint16_t macroIdAtIndex(int index);
std::size_t macroCount();

} // namespace tavrik::sync
