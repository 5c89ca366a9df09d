#pragma once
// The main window's skin images: the four state images of its image buttons
// (normal, mouse-over, pressed, disabled), the arrow pictures and the two key
// colour pictures, all from the folder of the main layout file. The window
// cannot be drawn without any one of them. The tray's icons are required
// too: the program lives hidden in the tray and could not be reached
// without them.

#include "ui/CPngButton.h"

#include <array>
#include <optional>
#include <string>

namespace tavrik::app {

inline constexpr std::array<const char*, 7> kMainSkinImageFiles = {
    "main_normal.jpg", "main_over.jpg",   "main_down.jpg",   "main_disable.jpg",
    "Arrow.jpg",       "main_color0.jpg", "main_color1.jpg",
};

struct MainSkinImages {
    ui::SkinImage normal;
    ui::SkinImage over;
    ui::SkinImage down;
    ui::SkinImage disabled;
    ui::SkinImage arrow;
    ui::SkinImage colour0;
    ui::SkinImage colour1;

    // The window's button set; a checked button shows the pressed image.
    ui::ButtonImages buttons() const { return {normal, over, down, disabled, down}; }
    // The highlighted set: the pressed image in every state (the bank light
    // while bank B is chosen).
    ui::ButtonImages highlighted() const { return ui::ButtonImages::all(down); }
};

// `skinFolder` ends with '/'. Nothing when any image, or any of the tray's
// icon files (TrayIconFile.h), cannot be read.
std::optional<MainSkinImages> loadMainSkinImages(const std::string& skinFolder);

} // namespace tavrik::app
