#pragma once
// The state images of the composite editor, the profile manager and the
// application profiles dialog.

#include "tools/skingen/DialogLayouts.h"

#include <QImage>

namespace tavrik::skingen {

// The image sets of the composite editor: key, macro, media and function
// show their section in the section area; MacroOnly (the macro2 files) is
// the editor opened for macros only, with its own title badge.
enum class CompositeSet { Key, Macro, MacroOnly, Media, Function };

QImage renderCompositeImage(CompositeSet set, Look look);

// Down draws the buttons dim: the dialog uses that image for its pressed and
// its disabled buttons alike.
QImage renderProfileImage(Look look);

// The application profiles dialog; Down serves for pressed and disabled
// buttons, as in the profile manager.
QImage renderAppProfilesImage(Look look);

// Corner radius of both dialogs, for their masks.
int dialogCornerRadius();

} // namespace tavrik::skingen
