#include "app/lightingpanel/EffectListBox.h"

#include <QWheelEvent>

namespace tavrik::app {

EffectListBox::EffectListBox(QWidget* parent) : QComboBox(parent) {
    setFocusPolicy(Qt::ClickFocus);
    // Queued: the list's own handling of the choice ends first.
    connect(this, &QComboBox::activated, this, [this] {
        QMetaObject::invokeMethod(
            this, [this] { clearFocus(); }, Qt::QueuedConnection);
    });
}

void EffectListBox::wheelEvent(QWheelEvent* event) {
    if (!hasFocus()) {
        // Left to the window: a wheel turned over the list on the way to
        // somewhere else chooses nothing.
        event->ignore();
        return;
    }
    QComboBox::wheelEvent(event);
}

} // namespace tavrik::app
