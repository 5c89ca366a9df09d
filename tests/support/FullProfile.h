#pragma once
// The largest profile the keyboard takes: a working set that fills the
// 32640-byte macro memory to the last byte (100 macros without names,
// 16 + 200 + 100 x (4 + 4 x 80) bytes and six more actions) and assigns keys
// in all three layers. `variant` changes every action and assignment, so two
// variants differ wherever they can.

#include "keyboard/AssignmentTable.h"
#include "macro/MacroRecord.h"
#include "sync/DataSets.h"

#include <cstdint>
#include <vector>

namespace tavrik::testing {

inline constexpr std::size_t kFullProfileMacros = 100;

inline sync::WorkingSet fullWorkingSet(std::uint16_t variant) {
    sync::WorkingSet set;
    set.table = keyboard::defaultTable();
    for (std::uint16_t m = 0; m < kFullProfileMacros; ++m) {
        macro::MacroRecord record;
        record.setCycles(static_cast<std::uint16_t>(1 + variant));
        record.setId(static_cast<std::uint16_t>(m + 1));
        std::vector<macro::MacroAction> actions(m == 0 ? 86 : 80);
        for (std::size_t a = 0; a < actions.size(); ++a) {
            actions[a] = {static_cast<std::int32_t>(10 * a + variant),
                          static_cast<std::uint16_t>(0x1E + variant),
                          static_cast<std::uint16_t>(a % 2)};
        }
        record.setActions(actions);
        set.macros.push_back(record);
    }
    for (int layer = 0; layer < 3; ++layer) {
        for (int row = 1; row < 128; ++row) {
            set.table.storeRecord(layer, row,
                                  {keyboard::AssignmentType::PlayMacro, 0,
                                   static_cast<std::uint32_t>((row + variant + layer) % 100 + 1)});
        }
    }
    return set;
}

} // namespace tavrik::testing
