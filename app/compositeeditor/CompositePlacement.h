#pragma once
// Where the composite editor opens: next to the button of the key it edits,
// in the first of four positions that lies wholly on the screen (to the
// right and below the button, right and above, left and below, left and
// above); the first when none does.

#include <QPoint>
#include <QRect>
#include <QSize>

namespace tavrik::app {

// `button` and `screen` in screen coordinates; the dialog's top-left corner.
QPoint placeBesideButton(const QRect& button, const QSize& dialog, const QRect& screen);

} // namespace tavrik::app
