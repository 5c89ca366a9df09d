#pragma once
// Recording and single-key capture. A Linux desktop gives a program no
// keyboard hook, so both see the keys that reach the program's own windows:
// an event filter on the application, installed when recording or capture
// starts and removed when it stops, takes every key event before a widget
// does and drops what it records or captures. The Windows keys and the
// application key come through the same filter while the program has the
// focus.

#include "keyboard/KeyTable.h"
#include "macro/KeyRecording.h"
#include "platform/TickCount.h"

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <optional>
#include <vector>

class QKeyEvent;

namespace tavrik::app {

// What recording and capture hand their keys to: the composite editor.
class KeyboardHookTarget {
public:
    virtual ~KeyboardHookTarget() = default;
    // A recorded key with its measured pause (synthetic: a press added for
    // a release-only key).
    virtual void addRecordedAction(std::int32_t pause, keyboard::KeyCode key,
                                   std::uint16_t direction, bool synthetic) = 0;
    // The key the single-key field takes.
    virtual void takeSingleKey(keyboard::KeyCode key) = 0;
};

class KeyboardHooks final : public QObject {
    Q_OBJECT
public:
    explicit KeyboardHooks(KeyboardHookTarget& target, QObject* parent = nullptr);
    ~KeyboardHooks() override;

    // Recording and capture never run at the same time: starting one stops
    // the other.
    void startRecording();
    void stopRecording();
    bool isRecording() const { return recording_.has_value(); }

    void startCapture();
    void stopCapture();
    bool isCapturing() const { return capturing_; }

    // The millisecond tick of the measured pauses; the monotonic clock
    // unless a test gives another.
    void setTickSource(platform::TickSource source) { ticks_ = std::move(source); }

    bool eventFilter(QObject* watched, QEvent* event) override;

    // How long a recorded release waits for the press that would make it
    // an auto-repeat before it is handed on.
    static constexpr int kHeldReleaseMilliseconds = 20;

private:
    void updateFilter();
    void hand(const std::vector<macro::RecordedKey>& keys);

    KeyboardHookTarget& target_;
    platform::TickSource ticks_ = platform::tickCount;
    std::optional<macro::RecordingSession> recording_;
    bool capturing_ = false;
    bool installed_ = false;
    QTimer heldReleaseTimer_;
};

// The key code of a key event; 0 when it stands for no key.
keyboard::KeyCode keyCodeOfEvent(const QKeyEvent& event);

} // namespace tavrik::app
