#pragma once
// The look of the default skin: its colours and the drawing of the faces that
// every window shares (key caps, buttons, lights, panels, small glyphs).

#include "tools/skingen/SkinTypes.h"

#include <QColor>
#include <QFont>
#include <QPainter>

namespace tavrik::skingen::style {

inline const QColor kBodyTop{0x1d, 0x21, 0x27};
inline const QColor kBodyBottom{0x14, 0x17, 0x1b};
inline const QColor kTitleBar{0x0f, 0x11, 0x14};
inline const QColor kPlate{0x22, 0x26, 0x2c};
inline const QColor kPlateEdge{0x34, 0x3a, 0x42};
inline const QColor kPanel{0x18, 0x1b, 0x1f};
inline const QColor kPanelEdge{0x2d, 0x32, 0x39};
inline const QColor kAccent{0x2b, 0xc4, 0xe8};
inline const QColor kAccentDark{0x17, 0x86, 0xa3};
inline const QColor kWarm{0xf2, 0xa1, 0x2c};
inline const QColor kLegend{0xdf, 0xe5, 0xec};
inline const QColor kLegendDim{0x5b, 0x62, 0x6b};
inline const QColor kLedOff{0x3a, 0x40, 0x47};
inline const QColor kLedOn{0x52, 0xe0, 0x7a};

// The font of every legend; DejaVu Sans has the arrows and symbols used here.
QFont legendFont(int pixelSize, bool bold = false);

// A painter with antialiasing on.
void prepare(QPainter& painter);

// The dark recessed box of a group of controls.
void drawPanel(QPainter& painter, const QRect& box);

// A key cap with its legend; a legend may hold one line break.
void drawKeyFace(QPainter& painter, const QRect& face, const QString& legend, Look look);

// A rounded button face; `word` may be empty (the caption is set at run time).
void drawButtonFace(QPainter& painter, const QRect& face, const QString& word, Look look);

// A square button face with a glyph: "help", "menu", "minimise", "close",
// "plus", "minus", "keyboard", "restore", "key", "macro", "left", "right",
// "flip", "folder", "trash", "check", "cross", or plain text; "glyph|Word"
// puts a word beside the glyph.
void drawGlyphFace(QPainter& painter, const QRect& face, const QString& glyph, Look look);

// A glyph alone, centred in `box`, in `colour`.
void drawGlyph(QPainter& painter, const QRectF& box, const QString& glyph, const QColor& colour);

// A lock light: a small LED beside its label; `lit` shows the LED on.
void drawIndicatorFace(QPainter& painter, const QRect& face, const QString& label, Look look,
                       bool lit);

// The bank light: "A" and "B", the one of `bank` (0 or 1) lit, -1 for none.
void drawBankFace(QPainter& painter, const QRect& face, Look look, int bank);

// The project's word mark with its keyboard sign.
void drawWordMark(QPainter& painter, const QRect& face, Look look);

// A small keyboard pictogram filling `box`.
void drawKeyboardSign(QPainter& painter, const QRectF& box, const QColor& body, const QColor& keys);

// Draws one control's face in `look`; Plain controls are left to the panel.
void drawControlFace(QPainter& painter, const Control& control, Look look);

} // namespace tavrik::skingen::style
