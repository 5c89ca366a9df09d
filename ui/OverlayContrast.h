#pragma once
// Keys under a colour overlay keep readable legends. The legend is part of
// the key's picture, lighter than the face it sits on: tinting the whole
// piece would bring both to one colour (a white zone makes white legends
// vanish), so the face takes the tint and the legend is drawn in black or
// white, whichever stands out more from the tinted face.

#include "ui/CPngButton.h"

#include <QColor>
#include <QImage>

namespace tavrik::ui {

// The WCAG contrast ratio of two colours, 1 to 21.
double contrastRatio(const QColor& first, const QColor& second);
// `preferred` where it stands out enough from `background` (a ratio of 3,
// what large text needs), else black or white.
QColor readableOn(const QColor& background, const QColor& preferred);

// The face colour the piece shows under the overlay: the mean of its
// non-legend pixels, tinted. Without an overlay, the mean itself.
QColor overlaidFaceColour(const QImage& piece, const ColourOverlay& overlay);
// The piece as it shows under the overlay: the face tinted, the legend in
// the colour readable on the tinted face.
QImage overlaidPiece(const QImage& piece, const ColourOverlay& overlay);

} // namespace tavrik::ui
