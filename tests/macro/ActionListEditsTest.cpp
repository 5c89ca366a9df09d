#include "macro/ActionListEdits.h"

#include "macro/CyclesText.h"
#include "macro/MacroTimeline.h"
#include "text/LanguageTexts.h"

#include <gtest/gtest.h>
#include <vector>

namespace tavrik::macro {
namespace {

std::vector<MacroAction> numbered(int count) {
    std::vector<MacroAction> actions;
    for (int i = 0; i < count; ++i) {
        actions.push_back({i, static_cast<keyboard::KeyCode>(i + 1), kPress});
    }
    return actions;
}

std::vector<int> order(const std::vector<MacroAction>& actions) {
    std::vector<int> keys;
    for (const MacroAction& action : actions) {
        keys.push_back(action.keyCode);
    }
    return keys;
}

TEST(ActionListEdits, MovesKeepTheActionWhole) {
    struct Case {
        std::size_t from;
        ActionMove move;
        std::size_t to;
        std::vector<int> order;
    };
    const Case cases[] = {
        {2, ActionMove::Top, 0, {3, 1, 2, 4}},    {2, ActionMove::Up, 1, {1, 3, 2, 4}},
        {2, ActionMove::Down, 3, {1, 2, 4, 3}},   {0, ActionMove::Bottom, 3, {2, 3, 4, 1}},
        {0, ActionMove::Up, 0, {1, 2, 3, 4}},     {3, ActionMove::Down, 3, {1, 2, 3, 4}},
        {7, ActionMove::Top, 7, {1, 2, 3, 4}},
    };
    for (const Case& c : cases) {
        std::vector<MacroAction> actions = numbered(4);
        EXPECT_EQ(moveAction(actions, c.from, c.move), c.to) << c.from;
        EXPECT_EQ(order(actions), c.order) << c.from;
        if (c.to < actions.size()) {
            EXPECT_EQ(actions[c.to].pause, static_cast<int>(c.from)) << "its pause moves with it";
        }
    }
}

TEST(ActionListEdits, TypedPausesAreLimitedAndCutToTens) {
    struct Case {
        std::u16string text;
        std::int32_t pause;
        bool overLimit;
    };
    const Case cases[] = {
        {u"40005", 40000, true}, {u"1234", 1230, false},     {u"40000", 40000, false},
        {u"9", 0, false},        {u"", 0, false},            {u"99999999999999", 40000, true},
        {u"40009", 40000, true}, {u"0000120", 120, false},
    };
    for (const Case& c : cases) {
        const TypedPause typed = typedPause(c.text);
        EXPECT_EQ(typed.pause, c.pause);
        EXPECT_EQ(typed.overLimit, c.overLimit);
    }
}

TEST(CyclesText, OutOfRangeValuesAreCorrectedAndTextCountsAsOne) {
    struct Case {
        std::u16string text;
        std::optional<std::u16string> corrected;
        int cycles;
    };
    const Case cases[] = {
        {u"0", u"1", 1},    {u"300", u"255", 255}, {u"255", std::nullopt, 255},
        {u"1", std::nullopt, 1}, {u"abc", u"1", 1}, {u"", u"1", 1},
        {u"12abc", std::nullopt, 12}, {u"-4", u"1", 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(correctedCyclesText(c.text), c.corrected);
        EXPECT_EQ(cyclesOfText(c.text), c.cycles);
    }
}

TEST(MacroTimeline, StartsLengthAndCyclesAsTheKeyboardPlaysThem) {
    text::resetLanguageTexts();
    const std::vector<MacroAction> actions = {
        {125, 0x1E, kPress}, {300, 0x1E, kRelease}, {808, 0x30, kPress}, {0, 0x30, kRelease}};
    const MacroTimeline timeline = timelineOf(actions, 3);
    // 125 ms and 808 ms are played as 120 ms and 800 ms (10 ms units).
    EXPECT_EQ(timeline.startTimes, (std::vector<std::int64_t>{0, 120, 420, 1220}));
    EXPECT_EQ(timeline.length, 1220);
    EXPECT_EQ(timeline.total, 3660);
    EXPECT_EQ(timelineSummary(timeline), u"4 actions, 1.22 s, x3 = 3.66 s");

    std::vector<MacroAction> twelve(12, MacroAction{0, 0x1E, kPress});
    twelve[0].pause = 1230;
    EXPECT_EQ(timelineSummary(timelineOf(twelve, 3)), u"12 actions, 1.23 s, x3 = 3.69 s");
    EXPECT_EQ(timelineSummary(timelineOf({}, 1)), u"0 actions, 0.00 s, x1 = 0.00 s");
    EXPECT_EQ(timelineOf(std::vector<MacroAction>{{50000, 0x1E, kPress}}, 255).total,
              40950 * 255)
        << "a pause beyond the field plays as its longest";
    EXPECT_EQ(secondsText(1005), u"1.01");
}

} // namespace
} // namespace tavrik::macro
