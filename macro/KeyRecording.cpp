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

RecordingOutcome RecordingSession::keyEvent(const KeyEvent& event, std::uint32_t now) {
    RecordingOutcome outcome;
    if (event.code == 0 || isPassThroughKey(event.code)) {
        return outcome;
    }
    outcome.swallow = true;
    if (event.autoRepeat) {
        return outcome;
    }
    const std::size_t slot = event.code % down_.size();
    if (event.release && keyboard::isReleaseOnlyKey(event.code) && !down_.test(slot)) {
        outcome.keys.push_back({kSyntheticPressPause, event.code, kPress, true});
    }
    const auto measured = static_cast<std::int32_t>(
        std::min<std::uint32_t>(platform::ticksBetween(lastEventTick_, now), INT32_MAX));
    outcome.keys.push_back({measured, event.code, event.release ? kRelease : kPress, false});
    lastEventTick_ = now;
    down_.set(slot, !event.release);
    return outcome;
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
