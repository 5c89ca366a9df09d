#pragma once
// The strings of LaunchProgram and TextBlock records (program path, text),
// one entry per record of the four layers: entry 512 x layer + row.

#include "keyboard/AssignmentTable.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrik::keyboard {

inline constexpr std::size_t kStringTableEntries = kLayerCount * kRowsPerLayer;

class StringTable {
public:
    StringTable();

    // Entry of the record at (layer, row); none where recordOf has no record.
    static std::optional<std::size_t> entryOf(int layer, int row);

    // Stores text in an entry, replacing what it held. The text ends at its
    // first zero, as it would in a file; an empty text is a string of size 2.
    // False, and nothing changed, for an entry outside the table or when the
    // total would no longer fit 32 bits.
    bool set(std::size_t entry, std::u16string_view text);

    // The entry's string; none when the entry is empty or outside the table.
    std::optional<std::u16string_view> text(std::size_t entry) const;
    // Size in bytes with the two-byte terminator; 0 for an empty entry.
    std::uint32_t sizeOf(std::size_t entry) const;
    // Sum of the sizes of all entries.
    std::uint32_t total() const;

    // Empties one entry and lowers the total by its size.
    void release(std::size_t entry);
    void releaseAll();

private:
    std::vector<std::optional<std::u16string>> entries_;
    std::uint32_t total_ = 0;
};

// Writing an assignment: releases the string of the record at (layer, row),
// then stores the record. False, with nothing changed, where the table has
// no record (for instance layer -1 while the active profile is unknown).
// Callers hold the working-set lock.
bool writeAssignment(AssignmentTable& table, StringTable& strings, int layer, int row,
                     const KeyAssignment& assignment);

} // namespace tavrik::keyboard
