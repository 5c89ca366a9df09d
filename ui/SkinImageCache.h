#pragma once
// The skin images of the dialogs, loaded once per process and kept until it
// ends: a dialog opened again shows the same images without reading them.
// Used on the user-interface thread.

#include "ui/SkinImage.h"

#include <string>

namespace tavrik::ui {

// The image at `path`, decoded when first drawn; a null image when it cannot
// be read (a later call tries again, so a file put in place later is found).
SkinImage skinImage(const std::string& path);

// Forgets every kept image.
void clearSkinImages();

} // namespace tavrik::ui
