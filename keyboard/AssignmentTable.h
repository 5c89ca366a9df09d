#pragma once
// What each key does in each profile: one 32832-byte block, kept as bytes so
// that profile files store it as it is. A 64-byte header (the profile-file
// headers), then 4 layers of 512 records of 16 bytes; layer L is the profile
// with index L, record r of a layer belongs to the key whose KeyIndex is r.

#include "keyboard/KeyTable.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tavrik::keyboard {

inline constexpr std::size_t kAssignmentTableSize = 32832;
inline constexpr std::size_t kAssignmentHeaderSize = 64;
inline constexpr int kLayerCount = 4;
inline constexpr int kRowsPerLayer = 512;
inline constexpr std::size_t kKeyAssignmentSize = 16;
inline constexpr std::size_t kLayerSize = kRowsPerLayer * kKeyAssignmentSize;

enum class AssignmentType : std::uint16_t {
    Default = 0,       // the key keeps its own function
    Disabled = 1,      // the key does nothing
    SingleKey = 2,     // value: KeyCode to send
    LaunchProgram = 3, // value: offset of the path in the string pool
    PlayMacro = 4,     // value: macro id; tag: repeat count
    StopMacro = 5,
    TextBlock = 6, // value: offset of the text in the string pool
    Media = 7,     // value: MediaCatalogue index
    Function = 8,  // value: FunctionCatalogue index
};

struct KeyAssignment {
    AssignmentType type = AssignmentType::Default;
    std::uint16_t tag = 0; // G-key tag in the G-key rows, repeat count of PlayMacro
    std::uint32_t value = 0;
    std::uint32_t flags = 0; // carried through files untouched
    std::uint32_t reserved = 0;
    friend bool operator==(const KeyAssignment&, const KeyAssignment&) = default;
};

KeyAssignment readKeyAssignment(std::span<const std::uint8_t, kKeyAssignmentSize> bytes);
void writeKeyAssignment(std::span<std::uint8_t, kKeyAssignmentSize> bytes,
                        const KeyAssignment& assignment);

class AssignmentTable {
public:
    // Every byte zero, header included.
    AssignmentTable();

    std::span<const std::uint8_t, kAssignmentTableSize> bytes() const;
    std::span<std::uint8_t, kAssignmentTableSize> bytes();
    std::span<std::uint8_t, kAssignmentHeaderSize> header();

    // The record at (layer, row). The layer is the keyboard's active profile,
    // which is -1 while it is unknown: a layer outside 0..3 or a row outside
    // 0..511 has no record, and callers show or write nothing then.
    std::optional<KeyAssignment> recordOf(int layer, int row) const;
    // Stores a record; false, and nothing stored, where recordOf has none.
    bool storeRecord(int layer, int row, const KeyAssignment& assignment);

    // Zeroes the layer's 512 records, then sets the tags of its G-key rows.
    // False for a layer outside 0..3.
    bool resetLayer(int layer);

private:
    std::vector<std::uint8_t> bytes_;
};

// A fresh table: both headers as a profile file without macros and strings
// writes them (flag 0), all records zero, the G-key tags set in layer 0 only.
AssignmentTable defaultTable();

// G keys: nine buttons G1..G9 and the bank bit give eighteen slots.
inline constexpr int kGKeyCount = 9;
inline constexpr int kGKeySlotCount = 18;
inline constexpr int kFirstGKeyRow = 256;

// Slot of button gNumber (1..9) in the bank; none for another number.
std::optional<int> gKeySlot(int gNumber, bool bankBit);
// For slots 0..17. Another slot gives code 0, tag 0 and row -1, a row that
// recordOf refuses.
KeyCode gKeyCodeOfSlot(int slot);
int gKeyRowOfSlot(int slot);
std::uint16_t gKeyTag(int slot);

} // namespace tavrik::keyboard
