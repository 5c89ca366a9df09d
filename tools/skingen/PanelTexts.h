#pragma once
// The effect names and panel labels that Main.ini carries for the lighting
// panel: sections "Mode" and "Control_Name" are read with the language value
// 0 (Chinese), "Mode1" and "Control_Name1" with 1 (English).

#include <QString>
#include <utility>
#include <vector>

namespace tavrik::skingen {

enum class PanelLanguage { Chinese, English };

// The names of effects 1..18, in effect order.
std::vector<QString> effectNames(PanelLanguage language);

// The labels by key: "Usb", "Deng", "Light", "FX", "Speed", "Color",
// "JColor", "DC", "Tool", "ToolC", and the panel's texts of our own: "Auto"
// and "More" for the colour menus, "ModeHint" for the empty user-mode list.
std::vector<std::pair<QString, QString>> panelLabels(PanelLanguage language);

} // namespace tavrik::skingen
