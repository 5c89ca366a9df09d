#pragma once
// The string pool of profile files and the string blob of the apply snapshot:
// the strings of LaunchProgram and TextBlock records, UTF-16LE with a two-byte
// terminator, packed one after the other in record order. A record's value is
// its string's byte offset in the pool.

#include "keyboard/AssignmentTable.h"
#include "keyboard/StringTable.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace tavrik::keyboard {

// Loading never keeps more string bytes than the larger of the pool's size
// and this: a pool whose records all name one huge string must not multiply
// it in memory.
inline constexpr std::size_t kStringLoadAllowance = 16u * 1024 * 1024;

// Whether a record of this type owns a string.
bool ownsString(AssignmentType type);

// Packs the strings into pool (which the caller has zeroed): in record order,
// every entry with a string whose record owns one and which still fits behind
// the strings before it is copied, terminator included, and its record's
// value becomes its offset. Entries that fail a test are skipped and their
// records keep their values. Returns the bytes used.
std::size_t packStringPool(AssignmentTable& table, const StringTable& strings,
                           std::span<std::uint8_t> pool);

// Fills the string table from a pool read from a file, for every record that
// owns a string. The string starts at the record's value rounded down to an
// even number and ends at its terminator. What the file does not hold is
// never read:
//  - an offset at or beyond the end of the pool gives the entry no string;
//  - a string whose terminator is missing ends at the end of the pool;
//  - once the strings would exceed the allowance above, later entries get
//    no string.
// The table's other entries are left as they are; callers start from an
// empty table.
void loadStringsFromPool(const AssignmentTable& table, std::span<const std::uint8_t> pool,
                         StringTable& strings);

} // namespace tavrik::keyboard
