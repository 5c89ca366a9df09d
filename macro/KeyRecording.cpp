#include "macro/KeyRecording.h"

#include "keyboard/Catalogues.h"
#include "platform/TickCount.h"

#include <algorithm>

namespace tavrik::macro {
namespace {

constexpr keyboard::KeyCode kPrintScreen = 0x137;

// The Windows keys and the application key, which the desktop may act on
// itself; the field takes them on release as well.
bool isSystemKey(keyboard::KeyCode code) {
    return code == 0x15B || code == 0x15C || code == 0x15D;
}

} // namespace

bool isPassThroughKey(keyboard::KeyCode code) {
    return std::any_of(keyboard::MediaCatalogue.begin(), keyboard::MediaCatalogue.end(),
                       [code](const keyboard::MediaEntry& entry) { return entry.keyCode == code; });
}

void RecordingSession::record(std::vector<RecordedKey>& keys, keyboard::KeyCode code, bool release,
                              std::uint32_t tick) {
    const std::size_t slot = code % down_.size();
    if (release && keyboard::isReleaseOnlyKey(code) && !down_.test(slot)) {
        keys.push_back({kSyntheticPressPause, code, kPress, true});
    }
    const auto measured = static_cast<std::int32_t>(
        std::min<std::uint32_t>(platform::ticksBetween(lastEventTick_, tick), INT32_MAX));
    keys.push_back({measured, code, release ? kRelease : kPress, false});
    lastEventTick_ = tick;
    down_.set(slot, !release);
}

RecordingOutcome RecordingSession::keyEvent(const KeyEvent& event, std::uint32_t now) {
    RecordingOutcome outcome;
    if (event.code == 0 || isPassThroughKey(event.code)) {
        return outcome;
    }
    outcome.swallow = true;
    if (event.autoRepeat) {
        return outcome;
    }
    if (heldRelease_) {
        const HeldRelease held = *heldRelease_;
        if (!event.release && event.code == held.code && event.timestamp != 0 &&
            event.timestamp == held.timestamp) {
            // The pair of a repeat: the key never went up.
            heldRelease_.reset();
            return outcome;
        }
        outcome.keys = flush();
    }
    const bool down = down_.test(event.code % down_.size());
    if (!event.release && down) {
        return outcome;
    }
    // Without a timestamp no press can show a release to be a repeat.
    if (event.release && down && event.timestamp != 0) {
        heldRelease_ = HeldRelease{event.code, event.timestamp, now};
        return outcome;
    }
    record(outcome.keys, event.code, event.release, now);
    return outcome;
}

std::vector<RecordedKey> RecordingSession::flush() {
    std::vector<RecordedKey> keys;
    if (heldRelease_) {
        const HeldRelease held = *heldRelease_;
        heldRelease_.reset();
        record(keys, held.code, true, held.tick);
    }
    return keys;
}

CaptureOutcome captureKeyEvent(const KeyEvent& event) {
    if (event.code == 0 || isPassThroughKey(event.code)) {
        return {};
    }
    const bool freshPress = !event.release && !event.autoRepeat;
    if (freshPress || event.code == kPrintScreen || isSystemKey(event.code)) {
        return {true, event.code};
    }
    return {true, std::nullopt};
}

} // namespace tavrik::macro
