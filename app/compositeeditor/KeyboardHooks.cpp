#include "app/compositeeditor/KeyboardHooks.h"

#include "platform/QtKeystroke.h"

#include <QApplication>
#include <QKeyEvent>

namespace tavrik::app {

keyboard::KeyCode keyCodeOfEvent(const QKeyEvent& event) {
    const platform::Keystroke keystroke = platform::keystrokeOf(event);
    return keyboard::keyCodeFromMessage(keystroke.virtualKey, keystroke.parameter);
}

KeyboardHooks::KeyboardHooks(KeyboardHookTarget& target, QObject* parent)
    : QObject(parent), target_(target) {
    // A release is held back until the press that would make it a repeat
    // could have come; X sends both of a repeat at once, so a key that
    // stays quiet this long was let go, and its release shows in the list.
    heldReleaseTimer_.setSingleShot(true);
    heldReleaseTimer_.setInterval(kHeldReleaseMilliseconds);
    connect(&heldReleaseTimer_, &QTimer::timeout, this, [this] {
        if (recording_) {
            hand(recording_->flush());
        }
    });
}

KeyboardHooks::~KeyboardHooks() {
    recording_.reset();
    capturing_ = false;
    updateFilter();
}

void KeyboardHooks::startRecording() {
    capturing_ = false;
    recording_.emplace(ticks_());
    updateFilter();
}

void KeyboardHooks::stopRecording() {
    if (recording_) {
        hand(recording_->flush());
    }
    recording_.reset();
    heldReleaseTimer_.stop();
    updateFilter();
}

void KeyboardHooks::hand(const std::vector<macro::RecordedKey>& keys) {
    for (const macro::RecordedKey& recorded : keys) {
        target_.addRecordedAction(recorded.pause, recorded.key, recorded.direction,
                                  recorded.synthetic);
    }
}

void KeyboardHooks::startCapture() {
    stopRecording();
    capturing_ = true;
    updateFilter();
}

void KeyboardHooks::stopCapture() {
    capturing_ = false;
    updateFilter();
}

void KeyboardHooks::updateFilter() {
    const bool wanted = recording_.has_value() || capturing_;
    if (wanted == installed_ || QCoreApplication::instance() == nullptr) {
        return;
    }
    if (wanted) {
        QCoreApplication::instance()->installEventFilter(this);
    } else {
        QCoreApplication::instance()->removeEventFilter(this);
    }
    installed_ = wanted;
}

bool KeyboardHooks::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    // A key event passes the window before the widget that has the focus;
    // it is taken once, at the widget.
    if ((type != QEvent::KeyPress && type != QEvent::KeyRelease) || !watched->isWidgetType()) {
        return false;
    }
    const auto& key = static_cast<const QKeyEvent&>(*event);
    const macro::KeyEvent keyEvent{keyCodeOfEvent(key), type == QEvent::KeyRelease,
                                   key.isAutoRepeat(), static_cast<std::uint32_t>(key.timestamp())};
    if (recording_) {
        const macro::RecordingOutcome outcome = recording_->keyEvent(keyEvent, ticks_());
        hand(outcome.keys);
        if (outcome.swallow) {
            heldReleaseTimer_.start();
        }
        return outcome.swallow;
    }
    if (capturing_) {
        const macro::CaptureOutcome outcome = macro::captureKeyEvent(keyEvent);
        if (outcome.taken) {
            target_.takeSingleKey(*outcome.taken);
        }
        return outcome.swallow;
    }
    return false;
}

} // namespace tavrik::app
