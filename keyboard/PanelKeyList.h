#pragma once
// Which button of the on-screen keyboard stands for which key: the 105 panel
// keys in the fixed order in which every panel loop visits them, and the nine
// G-key buttons. A button's place comes from the skin entry "KEY_%03X" with
// the key's row (KeyIndex), or "FUNC_G%d" with the G key's number.

#include "keyboard/KeyTable.h"

#include <array>
#include <optional>
#include <string>

namespace tavrik::keyboard {

struct PanelKey {
    int buttonId;
    KeyCode code;
};

inline constexpr std::size_t kPanelKeyCount = 105;
inline constexpr std::size_t kGButtonCount = 9;

extern const std::array<PanelKey, kPanelKeyCount> PanelKeyList;

// Button ids of the G keys G1..G9.
inline constexpr std::array<int, kGButtonCount> GButtonIds = {1000, 1001, 1002, 1003, 1004,
                                                              1140, 1141, 1142, 1143};

// "KEY_" and the key's row in upper-case hexadecimal, three digits.
std::u16string panelKeySkinEntry(KeyCode code);
// "FUNC_G1".."FUNC_G9" for index 0..8.
std::u16string gKeySkinEntry(std::size_t index);

// Position of a button in PanelKeyList, or of a G button in GButtonIds.
std::optional<std::size_t> panelPositionOf(int buttonId);
std::optional<std::size_t> gButtonIndexOf(int buttonId);

} // namespace tavrik::keyboard
