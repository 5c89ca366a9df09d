#pragma once
// What the generator knows about a control of a skinned window: its key in
// the layout file, its rectangle and how its face is drawn into the
// full-window state images.

#include <QRect>
#include <QString>
#include <vector>

namespace tavrik::skingen {

// The looks of a full-window state image. The last two are the main window's
// key colour pictures: ColourBase shows every key as a light neutral cap that
// a zone colour can tint, Marked shows every key with the accent outline of an
// assigned or selected key.
enum class Look { Normal, Over, Down, Disabled, ColourBase, Marked };

enum class Kind {
    Key,         // on-screen key or G key: its legend is part of the picture
    TextButton,  // captioned at run time from the language file: a blank face
    GlyphButton, // a button whose face carries a fixed glyph or word
    Indicator,   // a lock or bank light
    Link,        // the word mark of the title bar, which opens the link address
    Plain,       // a control that draws itself; the images show the panel beneath
};

struct Control {
    QString key; // key in section BUTTONINFO
    QRect rect;  // client rectangle, as written to the layout file
    Kind kind = Kind::Plain;
    QString face; // legend, glyph name or word drawn on the face
};

using ControlList = std::vector<Control>;

// An image button copies its picture from (x - 1, y - 1) of the state image
// of its state, so its face is drawn one pixel up and to the left of its
// rectangle.
inline QRect facePiece(const QRect& rect) {
    return rect.translated(-1, -1);
}

// The rectangle of `key`; an empty rectangle when the list has no such key.
QRect rectOf(const ControlList& controls, const QString& key);

} // namespace tavrik::skingen
