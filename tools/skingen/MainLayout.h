#pragma once
// The main window of the default skin: its size and the rectangle of every
// control in Main.ini. Every drawing of the main window and every lighting
// bitmap takes its place and size from here, so the layout file and the
// pictures always agree.

#include "tools/skingen/SkinTypes.h"

#include <QSize>

namespace tavrik::skingen {

QSize mainWindowSize();

// Every key of section BUTTONINFO of Main.ini, in file order.
ControlList mainControls();

// The decorative parts of the background that are not controls.
struct MainDecor {
    QRect titleBar;
    QRect keyboardCase;
    std::vector<QRect> lightingBoxes; // report rate, lighting, brightness and speed, effect options
    QRect bottomBar;
};
MainDecor mainDecor();

// An arrow picture in Arrow.jpg: the BUTTONINFO2 key and where the picture
// lies. Pictures are drawn for both readings of the offset (at x, y and at
// x - 1, y - 1), so either copy shows the whole arrow.
struct ArrowPicture {
    QString key;     // "UP_ARROW_LEFT1", ...
    QPoint offset;   // x, y written to BUTTONINFO2
    QString glyph;   // "up" or "down"
    QString control; // LEFT_ARROW or RIGHT_ARROW: the rectangle the picture fills
};
std::vector<ArrowPicture> arrowPictures();
QSize arrowImageSize();

} // namespace tavrik::skingen
