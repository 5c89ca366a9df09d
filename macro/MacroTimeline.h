#pragma once
// What the keyboard will play: when each action of a macro starts, how long
// one play of the macro takes with its pauses, and how long all its cycles
// take. Pauses count as the keyboard plays them, in whole 10 ms units.

#include "macro/MacroRecord.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tavrik::macro {

struct MacroTimeline {
    std::vector<std::int64_t> startTimes; // ms from the start of one play
    std::int64_t length = 0;              // ms of one play, the last pause included
    int cycles = 1;
    std::int64_t total = 0; // ms of all cycles

    std::size_t actionCount() const { return startTimes.size(); }
};

MacroTimeline timelineOf(std::span<const MacroAction> actions, int cycles);

// The language text MACRO_TIMELINE with %1 the number of actions, %2 the
// length, %3 the cycles and %4 the total, the times in seconds with two
// decimals: "12 actions, 1.23 s, x3 = 3.69 s".
std::u16string timelineSummary(const MacroTimeline& timeline);

// Milliseconds as seconds with two decimals, rounded: 1234 gives "1.23".
std::u16string secondsText(std::int64_t milliseconds);

} // namespace tavrik::macro
