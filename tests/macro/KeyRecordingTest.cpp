#include "macro/KeyRecording.h"

#include "macro/ActionListEdits.h"

#include <gtest/gtest.h>
#include <vector>

namespace tavrik::macro {
namespace {

constexpr keyboard::KeyCode kA = 0x1E;
constexpr keyboard::KeyCode kB = 0x30;
constexpr keyboard::KeyCode kPrintScreen = 0x137;
constexpr keyboard::KeyCode kPlayPause = 0x122;
constexpr keyboard::KeyCode kLeftWindows = 0x15B;

struct Timed {
    std::uint32_t at;
    KeyEvent event;
};

KeyEvent press(keyboard::KeyCode code) {
    return {code, false, false};
}
KeyEvent release(keyboard::KeyCode code) {
    return {code, true, false};
}
KeyEvent repeat(keyboard::KeyCode code, bool isRelease = false) {
    return {code, isRelease, true};
}

// Records the events into `actions` as the editor does: every recorded key
// goes after the selected action, and becomes the selected one.
void record(std::vector<MacroAction>& actions, std::optional<std::size_t> selected,
            std::uint32_t start, const std::vector<Timed>& events, bool recordPauses) {
    RecordingSession session(start);
    for (const Timed& timed : events) {
        for (const RecordedKey& key : session.keyEvent(timed.event, timed.at).keys) {
            selected = insertRecordedAction(actions, selected, key.key, key.direction,
                                            recordedPause(key.pause, recordPauses));
        }
    }
}

std::vector<std::int32_t> pauses(const std::vector<MacroAction>& actions) {
    std::vector<std::int32_t> result;
    for (const MacroAction& action : actions) {
        result.push_back(action.pause);
    }
    return result;
}

TEST(KeyRecording, PausesAreMeasuredOrFixedAndShiftedToTheActionBefore) {
    const std::vector<Timed> events = {
        {1000, press(kA)}, {1100, release(kA)}, {1400, press(kB)}, {1480, release(kB)}};
    for (const bool recordPauses : {true, false}) {
        std::vector<MacroAction> actions;
        record(actions, std::nullopt, 1000, events, recordPauses);
        ASSERT_EQ(actions.size(), 4u);
        EXPECT_EQ(actions[0], (MacroAction{recordPauses ? 100 : 50, kA, kPress}));
        EXPECT_EQ(actions[1], (MacroAction{recordPauses ? 300 : 50, kA, kRelease}));
        EXPECT_EQ(actions[2], (MacroAction{recordPauses ? 80 : 50, kB, kPress}));
        EXPECT_EQ(actions[3], (MacroAction{0, kB, kRelease}));
    }
}

TEST(KeyRecording, AHeldKeyIsOnePressAndOneRelease) {
    std::vector<MacroAction> actions;
    record(actions, std::nullopt, 0,
           {{0, press(kA)},
            {500, repeat(kA)},
            {530, repeat(kA, true)},
            {530, repeat(kA)},
            {900, release(kA)}},
           true);
    EXPECT_EQ(actions, (std::vector<MacroAction>{{900, kA, kPress}, {0, kA, kRelease}}));
    RecordingSession session(0);
    EXPECT_TRUE(session.keyEvent(repeat(kA), 10).swallow) << "a repeat is dropped, not let through";
}

// Events as X delivers them: with the server's timestamp, and a held key's
// repeats as a release and a press of one timestamp that Qt does not always
// mark as repeats. What recording makes of them, with the release held back
// handed over when recording stops.
KeyEvent at(std::uint32_t timestamp, keyboard::KeyCode code, bool isRelease) {
    return {code, isRelease, false, timestamp};
}

std::vector<RecordedKey> recordedFrom(const std::vector<Timed>& events) {
    RecordingSession session(0);
    std::vector<RecordedKey> keys;
    for (const Timed& timed : events) {
        const RecordingOutcome outcome = session.keyEvent(timed.event, timed.at);
        EXPECT_TRUE(outcome.swallow);
        keys.insert(keys.end(), outcome.keys.begin(), outcome.keys.end());
    }
    const std::vector<RecordedKey> rest = session.flush();
    keys.insert(keys.end(), rest.begin(), rest.end());
    return keys;
}

std::vector<Timed> heldFor(keyboard::KeyCode code, std::uint32_t from, std::uint32_t to) {
    std::vector<Timed> events{{from, at(from, code, false)}};
    for (std::uint32_t t = from + 500; t < to; t += 33) {
        events.push_back({t, at(t, code, true)});
        events.push_back({t, at(t, code, false)});
    }
    events.push_back({to, at(to, code, true)});
    return events;
}

TEST(KeyRecording, UnmarkedRepeatsAsXDeliversThemAreOnePressAndOneRelease) {
    const auto press = [](std::uint32_t pause, keyboard::KeyCode code) {
        return RecordedKey{static_cast<std::int32_t>(pause), code, kPress, false};
    };
    const auto release = [](std::uint32_t pause, keyboard::KeyCode code) {
        return RecordedKey{static_cast<std::int32_t>(pause), code, kRelease, false};
    };
    std::vector<Timed> heldThenB = heldFor(kA, 100, 2600);
    heldThenB.push_back({2700, at(2700, kB, false)});
    heldThenB.push_back({2750, at(2750, kB, true)});
    std::vector<Timed> pressesWhileDown = {{100, at(100, kA, false)},
                                           {600, at(600, kA, false)},
                                           {633, at(633, kA, false)},
                                           {900, at(900, kA, true)}};
    // Let go and pressed again a moment later: two presses.
    std::vector<Timed> tappedTwice = {{100, at(100, kA, false)},
                                      {180, at(180, kA, true)},
                                      {260, at(260, kA, false)},
                                      {300, at(300, kA, true)}};
    const struct {
        const char* name;
        std::vector<Timed> events;
        std::vector<RecordedKey> recorded;
    } cases[] = {
        {"held for 2.5 s, then B",
         heldThenB,
         {press(100, kA), release(2500, kA), press(100, kB), release(50, kB)}},
        {"presses while down", pressesWhileDown, {press(100, kA), release(800, kA)}},
        {"tapped twice",
         tappedTwice,
         {press(100, kA), release(80, kA), press(80, kA), release(40, kA)}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(recordedFrom(c.events), c.recorded) << c.name;
    }
    // Without timestamps no release waits.
    RecordingSession session(0);
    session.keyEvent({kA, false, false}, 10);
    EXPECT_EQ(session.keyEvent({kA, true, false}, 20).keys.size(), 1u);
    EXPECT_TRUE(session.flush().empty());
}

TEST(KeyRecording, PrintScreenReleasedWithoutItsPressGetsAPressAtTheEnd) {
    for (const bool recordPauses : {true, false}) {
        std::vector<MacroAction> actions = {{40, kA, kPress}, {0, kA, kRelease}};
        record(actions, std::nullopt, 0, {{700, release(kPrintScreen)}}, recordPauses);
        EXPECT_EQ(pauses(actions), (std::vector<std::int32_t>{40, recordPauses ? 2 : 50,
                                                              recordPauses ? 700 : 50, 0}));
        EXPECT_EQ(actions[2], (MacroAction{actions[2].pause, kPrintScreen, kPress}));
        EXPECT_EQ(actions[3].direction, kRelease);
    }
    // Linux reports its press: that press is recorded, nothing is added.
    std::vector<MacroAction> actions;
    record(actions, std::nullopt, 0, {{0, press(kPrintScreen)}, {120, release(kPrintScreen)}},
           true);
    EXPECT_EQ(actions,
              (std::vector<MacroAction>{{120, kPrintScreen, kPress}, {0, kPrintScreen, kRelease}}));
}

TEST(KeyRecording, MediaKeysAndKeylessEventsPassThrough) {
    RecordingSession session(0);
    for (const KeyEvent& event : {press(kPlayPause), release(kPlayPause), press(0)}) {
        const RecordingOutcome outcome = session.keyEvent(event, 10);
        EXPECT_FALSE(outcome.swallow);
        EXPECT_TRUE(outcome.keys.empty());
        const CaptureOutcome captured = captureKeyEvent(event);
        EXPECT_FALSE(captured.swallow);
        EXPECT_FALSE(captured.taken);
    }
    EXPECT_TRUE(isPassThroughKey(0x16D));
    EXPECT_FALSE(isPassThroughKey(0x15E)) << "Power is no media catalogue key";
}

TEST(KeyRecording, RecordsAfterTheSelectedActionFromTheStartOfRecording) {
    std::vector<MacroAction> actions;
    for (std::int32_t i = 0; i < 10; ++i) {
        actions.push_back({(i + 1) * 10, static_cast<keyboard::KeyCode>(0x10 + i), kPress});
    }
    record(actions, 2, 5000, {{5250, press(kA)}, {5300, release(kA)}}, true);
    ASSERT_EQ(actions.size(), 12u);
    EXPECT_EQ(actions[2].pause, 250) << "action 3 waits from the start to the first key";
    EXPECT_EQ(actions[3], (MacroAction{50, kA, kPress}));
    EXPECT_EQ(actions[4], (MacroAction{30, kA, kRelease})) << "takes over action 3's pause";
    EXPECT_EQ(actions[5].keyCode, 0x13);
}

TEST(KeyRecording, WindowsKeysAreRecordedOnceAndSwallowed) {
    RecordingSession session(0);
    const RecordingOutcome down = session.keyEvent(press(kLeftWindows), 10);
    const RecordingOutcome held = session.keyEvent(repeat(kLeftWindows), 20);
    const RecordingOutcome up = session.keyEvent(release(kLeftWindows), 30);
    EXPECT_TRUE(down.swallow && held.swallow && up.swallow);
    ASSERT_EQ(down.keys.size(), 1u);
    EXPECT_TRUE(held.keys.empty());
    ASSERT_EQ(up.keys.size(), 1u);
    EXPECT_EQ(up.keys[0], (RecordedKey{20, kLeftWindows, kRelease, false}));
}

TEST(KeyRecording, LongPausesAndTheTickWrap) {
    RecordingSession session(0xFFFFFF00u);
    EXPECT_EQ(session.keyEvent(press(kA), 0x40).keys.at(0).pause, 0x140) << "across the wrap";
    EXPECT_EQ(recordedPause(123456, true), kMaxTypedPause);
    EXPECT_EQ(recordedPause(123456, false), kFixedRecordedPause);
    EXPECT_EQ(recordedPause(2, true), kSyntheticPressPause);
}

TEST(KeyRecording, AFullListTakesNoMoreActions) {
    std::vector<MacroAction> actions(kMaxActions, MacroAction{10, kA, kPress});
    EXPECT_FALSE(insertRecordedAction(actions, std::nullopt, kB, kPress, 5));
    EXPECT_EQ(actions.size(), kMaxActions);
    EXPECT_EQ(actions.back().pause, 10);
}

TEST(KeyRecording, CaptureTakesFreshPressesAndTheSystemKeys) {
    struct Case {
        const char* what;
        KeyEvent event;
        std::optional<keyboard::KeyCode> taken;
    };
    const Case cases[] = {
        {"Shift pressed", press(0x2A), 0x2A},
        {"Shift released", release(0x2A), std::nullopt},
        {"A repeated", repeat(kA), std::nullopt},
        {"application key pressed", press(0x15D), 0x15D},
        {"application key released", release(0x15D), 0x15D},
        {"right Windows released", release(0x15C), 0x15C},
        {"Print Screen released", release(kPrintScreen), kPrintScreen},
    };
    for (const Case& c : cases) {
        const CaptureOutcome outcome = captureKeyEvent(c.event);
        EXPECT_TRUE(outcome.swallow) << c.what;
        EXPECT_EQ(outcome.taken, c.taken) << c.what;
    }
}

} // namespace
} // namespace tavrik::macro
