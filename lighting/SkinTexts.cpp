#include "lighting/SkinTexts.h"

#include "platform/Unicode.h"

namespace tavrik::lighting {
namespace {

constexpr std::u16string_view kUsb[] = {u"CONTROL_UsbStatic"};
constexpr std::u16string_view kDeng[] = {u"CONTROL_DengStatic"};
constexpr std::u16string_view kLight[] = {u"CONTROL_LightStatic"};
constexpr std::u16string_view kFx[] = {u"CONTROL_BLFXStatic"};
constexpr std::u16string_view kSpeed[] = {u"CONTROL_SpeedStatic"};
constexpr std::u16string_view kColour[] = {u"CONTROL_FYYSStatic", u"CONTROL_HXysStatic",
                                           u"CONTROL_USERysStatic"};
constexpr std::u16string_view kBaseColour[] = {u"CONTROL_USERjsStatic"};
constexpr std::u16string_view kRandom[] = {u"CONTROL_HXsjsStatic", u"CONTROL_FYSJSStatic"};
constexpr std::u16string_view kTool[] = {u"CONTROL_USERgjStatic"};
constexpr std::u16string_view kEraser[] = {u"CONTROL_USERgyStatic"};

constexpr PanelLabel kLabels[] = {
    {u"Usb", kUsb},     {u"Deng", kDeng},    {u"Light", kLight},       {u"FX", kFx},
    {u"Speed", kSpeed}, {u"Color", kColour}, {u"JColor", kBaseColour}, {u"DC", kRandom},
    {u"Tool", kTool},   {u"ToolC", kEraser},
};

} // namespace

std::u16string effectName(const platform::IniSnapshot& mainSkin, int languageValue, int effect) {
    const std::u16string_view section = languageValue == 1 ? u"Mode1" : u"Mode";
    return mainSkin.readString(section, platform::toUtf16(std::to_string(effect)), u"1");
}

std::optional<std::u16string_view> labelSection(int languageValue) {
    if (languageValue == 0) {
        return u"Control_Name";
    }
    if (languageValue == 1) {
        return u"Control_Name1";
    }
    return std::nullopt;
}

std::span<const PanelLabel> panelLabels() {
    return kLabels;
}

std::u16string ownPanelText(const platform::IniSnapshot& mainSkin, int languageValue,
                            std::u16string_view key) {
    const std::u16string_view fallback = key == kAutomaticColourKey ? u"Automatic"
                                         : key == kMoreColoursKey   ? u"More colours..."
                                                                    : u"Name this mode";
    const std::u16string_view section = labelSection(languageValue).value_or(u"Control_Name");
    return mainSkin.readString(section, key, fallback);
}

} // namespace tavrik::lighting
