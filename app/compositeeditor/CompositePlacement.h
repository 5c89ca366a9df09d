#pragma once
// Where the composite editor opens: next to the button of the key it edits,
// in the first of four positions that lies wholly on the screen (to the
// right and below the button, right and above, left and below, left and
// above); the first when none does.
//
// Where a window cannot choose its place on the screen (Wayland), the editor
// is laid over the main window instead, placed by the same rule inside the
// window's shape. The window is smaller than a screen: where none of the four
// corners fits, the editor slides along a side of the button (right, left,
// below, above) until it fits, so that it still leaves the key in sight.

#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QSize>
#include <string_view>

namespace tavrik::app {

// `button` and `screen` in screen coordinates; the dialog's top-left corner.
QPoint placeBesideButton(const QRect& button, const QSize& dialog, const QRect& screen);

// `button` and `area` (the shape of the window the dialog is laid over) in
// that window's coordinates; the dialog's top-left corner there. When no
// place beside the button fits, the first corner moved into the area.
QPoint placeBesideButtonWithin(const QRect& button, const QSize& dialog, const QRegion& area);

// Whether windows of the platform named `platformName` (as
// QGuiApplication::platformName() gives it) can be placed on the screen by
// the program: every one but Wayland's, whose compositor places them.
bool windowsPlaceThemselves(std::string_view platformName);

} // namespace tavrik::app
