#pragma once
// Placing controls from a layout file's "BUTTONINFO" rectangles (x, y, width,
// height in the dialog's client coordinates; a missing key is the rectangle
// (1, 1, 1, 1)).

#include "ui/CPngButton.h"

#include <string>
#include <string_view>

class QWidget;

namespace tavrik::ui {

class CIniFile;

// Moves and sizes the button to the rectangle of `key` and gives it the
// state images, of which it shows the piece at (x - 1, y - 1). A button left
// at the default place (x = 1 and y = 1) is disabled.
void placeImageButton(CPngButton& button, const CIniFile& file, std::u16string_view key,
                      const ButtonImages& images);

// Whether a control placed from a layout file got a place of its own rather
// than the default one at (1, 1); a button without one stays disabled.
bool isSkinPlaced(const QWidget& control);

// Moves and sizes the control to the rectangle of `key`.
void placeControl(QWidget& control, const CIniFile& file, std::u16string_view key);

// Moves the control to the x, y of `key`, keeping its size.
void moveControl(QWidget& control, const CIniFile& file, std::u16string_view key);

// Moves and sizes the button to the rectangle of `key`; in every state it
// shows the piece of `image` whose top-left corner is the x, y of
// `offsetKey` in `offsetSection`.
void placeImageButtonFrom(CPngButton& button, const CIniFile& file, std::u16string_view key,
                          std::u16string_view offsetSection, std::u16string_view offsetKey,
                          const SkinImage& image);

// The two arrow pictures beside the Flip buttons of the main window.
enum class ArrowSide { Left, Right };

// "UP_ARROW_LEFT1" .. "DOWN_ARROW_RIGHT1": "UP_" while the Flip setting is on,
// "DOWN_" while it is off, then the side and frame 1.
std::u16string arrowOffsetKey(ArrowSide side, bool flipOn);

// Places the arrow picture of `side` (key "LEFT_ARROW" or "RIGHT_ARROW") with
// its piece of the arrow image from section "BUTTONINFO2".
void placeArrowPicture(CPngButton& arrow, const CIniFile& mainFile, ArrowSide side, bool flipOn,
                       const SkinImage& arrowImage);

} // namespace tavrik::ui
