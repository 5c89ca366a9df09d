#pragma once
// The edits the macro editor makes to a macro's action list: inserting a
// recorded action, moving one, and taking a typed pause.

#include "keyboard/KeyTable.h"
#include "macro/MacroRecord.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace tavrik::macro {

// The pause every recorded action gets while pauses are not recorded.
inline constexpr std::int32_t kFixedRecordedPause = 50;

// The pause a recorded action is given: the measured one when pauses are
// recorded, else kFixedRecordedPause. A measured pause above kMaxTypedPause
// is kept as kMaxTypedPause, so the list never shows a pause the keyboard
// cannot play.
std::int32_t recordedPause(std::int32_t measured, bool recordPauses);

// Inserts a recorded action directly after `selected`, or at the end when
// nothing is selected, and returns its index; none when the list already
// holds kMaxActions actions. A pause is the pause after its action, so the
// action before the new one takes `pause` and the new one takes over that
// action's previous pause; the first action of a list gets 0.
std::optional<std::size_t> insertRecordedAction(std::vector<MacroAction>& actions,
                                                std::optional<std::size_t> selected,
                                                keyboard::KeyCode key, std::uint16_t direction,
                                                std::int32_t pause);

enum class ActionMove { Top, Up, Down, Bottom };

// Moves the action at `index` and returns where it is now; an index outside
// the list stays as it is.
std::size_t moveAction(std::vector<MacroAction>& actions, std::size_t index, ActionMove move);

struct TypedPause {
    std::int32_t pause = 0;
    bool overLimit = false; // the text asked for more than kMaxTypedPause
};

// A pause typed into the action list: read as a decimal number, at most
// kMaxTypedPause, cut down to a multiple of 10 ms.
TypedPause typedPause(std::u16string_view text);

} // namespace tavrik::macro
