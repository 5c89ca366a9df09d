#pragma once
// The lighting panel's texts, which come with the skin in Main.ini rather
// than from the language file: effect names in section "Mode" (language
// value 0) or "Mode1" (1), keyed by the effect number, and the panel labels
// in "Control_Name" or "Control_Name1".

#include "platform/IniFile.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tavrik::lighting {

// The name of effect `effect`; "1" when the skin has none. Language values
// other than 0 and 1 read "Mode", as every value but 1 chooses Chinese.
std::u16string effectName(const platform::IniSnapshot& mainSkin, int languageValue, int effect);

// "Control_Name" for 0, "Control_Name1" for 1; none for any other value,
// which leaves the labels as they are.
std::optional<std::u16string_view> labelSection(int languageValue);

// A label key of the skin and the controls that show it.
struct PanelLabel {
    std::u16string_view key;
    std::span<const std::u16string_view> controls;
};

// "Usb", "Deng", "Light", "FX", "Speed", "Color", "JColor", "DC", "Tool",
// "ToolC".
std::span<const PanelLabel> panelLabels();

// Texts of our own in the label sections, which a skin without them still
// gets in English: "Auto" names the colour menus' automatic entry
// ("Automatic"), "More" the entry that opens the colour dialog ("More
// colours..."), "ModeHint" is what the empty user-mode list says ("Name
// this mode").
inline constexpr std::u16string_view kAutomaticColourKey = u"Auto";
inline constexpr std::u16string_view kMoreColoursKey = u"More";
inline constexpr std::u16string_view kUserModeHintKey = u"ModeHint";
std::u16string ownPanelText(const platform::IniSnapshot& mainSkin, int languageValue,
                            std::u16string_view key);

} // namespace tavrik::lighting
