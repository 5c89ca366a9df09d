#include "macro/ActionListEdits.h"

#include "platform/IniValues.h"

#include <algorithm>

namespace tavrik::macro {
namespace {

constexpr std::int32_t kPauseStep = 10;

} // namespace

std::int32_t recordedPause(std::int32_t measured, bool recordPauses) {
    if (!recordPauses) {
        return kFixedRecordedPause;
    }
    return std::clamp(measured, 0, kMaxTypedPause);
}

std::optional<std::size_t> insertRecordedAction(std::vector<MacroAction>& actions,
                                                std::optional<std::size_t> selected,
                                                keyboard::KeyCode key, std::uint16_t direction,
                                                std::int32_t pause) {
    if (actions.size() >= kMaxActions) {
        return std::nullopt;
    }
    const std::size_t at = selected && *selected < actions.size() ? *selected + 1 : actions.size();
    MacroAction action{0, key, direction};
    if (at > 0) {
        action.pause = actions[at - 1].pause;
        actions[at - 1].pause = pause;
    }
    actions.insert(actions.begin() + static_cast<std::ptrdiff_t>(at), action);
    return at;
}

std::size_t moveAction(std::vector<MacroAction>& actions, std::size_t index, ActionMove move) {
    if (index >= actions.size()) {
        return index;
    }
    std::size_t target = index;
    switch (move) {
    case ActionMove::Top:
        target = 0;
        break;
    case ActionMove::Up:
        target = index == 0 ? 0 : index - 1;
        break;
    case ActionMove::Down:
        target = std::min(index + 1, actions.size() - 1);
        break;
    case ActionMove::Bottom:
        target = actions.size() - 1;
        break;
    }
    const auto begin = actions.begin();
    if (target < index) {
        std::rotate(begin + static_cast<std::ptrdiff_t>(target),
                    begin + static_cast<std::ptrdiff_t>(index),
                    begin + static_cast<std::ptrdiff_t>(index + 1));
    } else if (target > index) {
        std::rotate(begin + static_cast<std::ptrdiff_t>(index),
                    begin + static_cast<std::ptrdiff_t>(index + 1),
                    begin + static_cast<std::ptrdiff_t>(target + 1));
    }
    return target;
}

TypedPause typedPause(std::u16string_view text) {
    const int value = platform::parseIniInteger(text);
    TypedPause typed;
    typed.overLimit = value > kMaxTypedPause;
    const std::int32_t limited = std::clamp(value, 0, kMaxTypedPause);
    typed.pause = limited - limited % kPauseStep;
    return typed;
}

} // namespace tavrik::macro
