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

// The texts of the colour buttons' menu, keys of our own in the label
// sections: "Auto" names the automatic entry, "More" the entry that opens
// the colour dialog. A skin without them still gets a usable menu:
// "Automatic" and "More colours...".
inline constexpr std::u16string_view kAutomaticColourKey = u"Auto";
inline constexpr std::u16string_view kMoreColoursKey = u"More";
std::u16string colourMenuText(const platform::IniSnapshot& mainSkin, int languageValue,
                              std::u16string_view key);

} // namespace tavrik::lighting
