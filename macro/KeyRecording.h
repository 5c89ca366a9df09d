#pragma once
// What recording and single-key capture make of one key event, without the
// windows that deliver it: which events become macro actions with which
// measured pauses, which are dropped, and which are let through untouched.

#include "keyboard/KeyTable.h"
#include "macro/MacroRecord.h"

#include <bitset>
#include <cstdint>
#include <optional>
#include <vector>

namespace tavrik::macro {

// The pause before a press that recording adds for a release-only key.
inline constexpr std::int32_t kSyntheticPressPause = 2;

// The media and browser keys of the media catalogue: recording and capture
// let them through to the desktop, so they keep working meanwhile.
bool isPassThroughKey(keyboard::KeyCode code);

// A key event as the recorders see it. `autoRepeat` marks the events a held
// key repeats (a press while the key is down, and on some desktops the
// release that comes with each repeated press), where the desktop marks
// them. `timestamp` is the desktop's time of the event in milliseconds, 0
// where it gives none.
struct KeyEvent {
    keyboard::KeyCode code = 0;
    bool release = false;
    bool autoRepeat = false;
    std::uint32_t timestamp = 0;
};

struct RecordedKey {
    std::int32_t pause = 0; // measured since the previous recorded event
    keyboard::KeyCode key = 0;
    std::uint16_t direction = kPress;
    bool synthetic = false;

    friend bool operator==(const RecordedKey&, const RecordedKey&) = default;
};

struct RecordingOutcome {
    bool swallow = false; // the event does not reach the program's windows
    std::vector<RecordedKey> keys;
};

// One running recording: it measures the pauses between the key events it
// records, on a millisecond tick that may wrap around.
class RecordingSession {
public:
    explicit RecordingSession(std::uint32_t startTick) : lastEventTick_(startTick) {}

    // An event without a key, and a pass-through key, are let through.
    // Repeats of a held key are dropped: a press of a key that is down, and
    // a release followed by a press of the same key with the same timestamp
    // (how X delivers each repeat, not always marked as one). So a key's
    // timestamped release is held back until the next event shows it was
    // none; its pause is measured when it came. Every other event is recorded and
    // dropped; a release-only key whose release comes without its press
    // first gets a press of its own.
    RecordingOutcome keyEvent(const KeyEvent& event, std::uint32_t now);

    // The release held back, if any, now recorded: when recording stops, or
    // when no other event came soon after it.
    std::vector<RecordedKey> flush();

private:
    struct HeldRelease {
        keyboard::KeyCode code;
        std::uint32_t timestamp;
        std::uint32_t tick;
    };

    void record(std::vector<RecordedKey>& keys, keyboard::KeyCode code, bool release,
                std::uint32_t tick);

    std::uint32_t lastEventTick_;
    std::bitset<0x200> down_;
    std::optional<HeldRelease> heldRelease_;
};

struct CaptureOutcome {
    bool swallow = false;
    std::optional<keyboard::KeyCode> taken; // the key the single-key field takes
};

// The single-key field takes a fresh press, and Print Screen and the Windows
// and application keys on their release too. It drops every other key event
// (releases, repeats) and lets through events without a key and pass-through
// keys.
CaptureOutcome captureKeyEvent(const KeyEvent& event);

} // namespace tavrik::macro
