#pragma once
// The pictures of the main window: the full-window state images, the shape
// mask, the arrow pictures and the key colour pictures.

#include "tools/skingen/SkinTypes.h"

#include <QImage>

namespace tavrik::skingen {

// The whole window in one look: background, panels and the face of every
// image button. ColourBase and Marked change the keys only (and the bank
// light, which shows bank A and bank B in them).
QImage renderMainImage(Look look);

// White outside the rounded window, black inside.
QImage renderWindowMask(QSize size, int cornerRadius);

// The four arrow pictures of the Flip buttons, at their BUTTONINFO2 offsets.
QImage renderArrowImage();

} // namespace tavrik::skingen
