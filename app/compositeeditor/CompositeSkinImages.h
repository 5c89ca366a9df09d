#pragma once
// The image sets of the composite editor, each a set of full-window state
// images from the skin folder: key (the single-key section and the frame's
// buttons), macro (the macro section and its buttons), macro2 (the editor
// opened for macros only), media and function. The key, media and function
// sets show their normal image while disabled. A checked button (the shown
// section's button, the running Record button) shows the pressed image. A
// missing image leaves its buttons blank.

#include "ui/CPngButton.h"

#include <string>

namespace tavrik::app {

struct CompositeSkinImages {
    ui::ButtonImages key;
    ui::ButtonImages macro;
    ui::ButtonImages macroOnly;
    ui::ButtonImages media;
    ui::ButtonImages function;
};

// `skinFolder` ends with '/'. The images are loaded once per process.
CompositeSkinImages loadCompositeSkinImages(const std::string& skinFolder);

} // namespace tavrik::app
