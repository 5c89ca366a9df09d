#pragma once
// The keyboard's key map: per profile one 512-byte page of 160 three-byte
// records, one per key position, then 32 bytes of padding. Which key sits at
// which position comes from the keyboard's default layout, a page of the same
// form. This file turns an assignment layer into a page and a page read from
// the keyboard back into a layer; both work on what they are given and take
// no lock.

#include "keyboard/AssignmentTable.h"
#include "keyboard/KeyTable.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

namespace tavrik::keyboard {

inline constexpr std::size_t kKeyMapLayerSize = 512;
inline constexpr std::size_t kKeyPositionCount = 160;
inline constexpr std::size_t kHardwareKeyRecordSize = 3;

// kind, b1, b2:
//   00 00 00 switched off      02 01 m  modifier (ModifierBits m)
//   02 02 u  keyboard key u    03 lo hi Consumer usage
//   04 lo hi Generic Desktop   05 01 i  play the macro at position i
//   05 02 00 stop the macro    05 05 f  FunctionCatalogue entry f
//   06 A2 n  G key of slot n - 1 (default layout only)
// Any other record names no key and is carried through unchanged.
struct HardwareKeyRecord {
    std::uint8_t kind = 0;
    std::uint8_t b1 = 0;
    std::uint8_t b2 = 0;

    friend constexpr bool operator==(const HardwareKeyRecord&, const HardwareKeyRecord&) = default;
};

using KeyMapLayer = std::array<std::uint8_t, kKeyMapLayerSize>;

// Record at a key position; a position from kKeyPositionCount on reads as a
// switched-off record and is never written.
HardwareKeyRecord hardwareKeyRecordAt(const KeyMapLayer& page, std::size_t position);
void setHardwareKeyRecordAt(KeyMapLayer& page, std::size_t position, HardwareKeyRecord record);

// The default layout the program uses until the keyboard has given its own:
// positions 0..127 as the keyboard ships them, positions 128..159 and the
// padding zero.
extern const KeyMapLayer BuiltInDefaultLayout;

// The key a default-layout record names; 0 for none. G-key records name a key
// only for n = 1..18.
KeyCode keyCodeOfRecord(HardwareKeyRecord record);

// Position of a macro id in the macro list the page is written with (0 when
// no macro has the id); the caller passes the lookup of its list.
using MacroIndexLookup = std::function<std::uint16_t(std::uint16_t macroId)>;

// The record written for an assignment at a position whose default-layout
// record is defaultRecord. Types this program does not know keep the default.
HardwareKeyRecord hardwareRecordOfAssignment(const KeyAssignment& assignment,
                                             HardwareKeyRecord defaultRecord,
                                             const MacroIndexLookup& macroIndexOfId);

// The page of one assignment layer: the default layout (padding included),
// with each position that names a key replaced by the record of that key's
// assignment. None for a layer outside the table.
std::optional<KeyMapLayer> buildKeyMapLayer(const AssignmentTable& table, int layer,
                                            const KeyMapLayer& defaultLayout,
                                            const MacroIndexLookup& macroIndexOfId);

// Rebuilds one layer from a page read back from the keyboard: the layer is
// reset (G-key tags set), then each position whose record differs from the
// default layout gives the key it names a type and value. Any 512 bytes are
// accepted. False, and the table untouched, for a layer outside the table.
bool decodeKeyMapLayer(AssignmentTable& table, int layer, const KeyMapLayer& page,
                       const KeyMapLayer& defaultLayout);

} // namespace tavrik::keyboard
