#include "macro/MacroTimeline.h"

#include "macro/MacroAreaImage.h"
#include "text/LanguageTexts.h"
#include "text/TextFormat.h"

#include <string>

namespace tavrik::macro {
namespace {

std::u16string decimal(std::int64_t value) {
    return text::formatWithInteger(u"%d", value);
}

// Replaces each "%1".."%9" by its argument; other text stays as it is.
std::u16string fillPlaces(std::u16string_view pattern, const std::vector<std::u16string>& values) {
    std::u16string result;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == u'%' && i + 1 < pattern.size() && pattern[i + 1] >= u'1' &&
            pattern[i + 1] <= u'9') {
            const auto place = static_cast<std::size_t>(pattern[i + 1] - u'1');
            if (place < values.size()) {
                result += values[place];
                ++i;
                continue;
            }
        }
        result.push_back(pattern[i]);
    }
    return result;
}

} // namespace

MacroTimeline timelineOf(std::span<const MacroAction> actions, int cycles) {
    MacroTimeline timeline;
    timeline.cycles = cycles;
    timeline.startTimes.reserve(actions.size());
    for (const MacroAction& action : actions) {
        timeline.startTimes.push_back(timeline.length);
        timeline.length += playedPause(action.pause);
    }
    timeline.total = timeline.length * cycles;
    return timeline;
}

std::u16string secondsText(std::int64_t milliseconds) {
    const std::int64_t hundredths = (milliseconds + 5) / 10;
    return decimal(hundredths / 100) + u"." + text::formatWithInteger(u"%02d", hundredths % 100);
}

std::u16string timelineSummary(const MacroTimeline& timeline) {
    return fillPlaces(text::languageText("MACRO_TIMELINE"),
                      {decimal(static_cast<std::int64_t>(timeline.actionCount())),
                       secondsText(timeline.length), decimal(timeline.cycles),
                       secondsText(timeline.total)});
}

} // namespace tavrik::macro
