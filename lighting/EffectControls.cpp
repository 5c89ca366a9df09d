#include "lighting/EffectControls.h"

#include <algorithm>
#include <initializer_list>

namespace tavrik::lighting {
namespace {

bool among(int effect, std::initializer_list<int> effects) {
    return std::find(effects.begin(), effects.end(), effect) != effects.end();
}

constexpr std::u16string_view kBrightnessKeys[] = {u"CONTROL_DengStatic", u"CONTROL_LightStatic",
                                                   u"CONTROL_LightSlider"};
constexpr std::u16string_view kSpeedKeys[] = {u"CONTROL_SpeedStatic", u"CONTROL_SpeedSlider"};
constexpr std::u16string_view kDirectionKeys[] = {u"CONTROL_BLFXStatic", u"CONTROL_BLFXLStaPic",
                                                  u"CONTROL_BLFXRStaPic"};
constexpr std::u16string_view kColourKeys[] = {u"CONTROL_HXysStatic", u"CONTROL_HXysButton",
                                               u"CONTROL_HXsjsStatic", u"CONTROL_HXsjsStaPic"};
constexpr std::u16string_view kReactionKeys[] = {u"CONTROL_FYYSStatic", u"CONTROL_FYYSButton",
                                                 u"CONTROL_FYSJSStatic", u"CONTROL_FYSJSStaPic"};
constexpr std::u16string_view kPresetKeys[] = {u"CONTROL_HONGPIC", u"CONTROL_HUANGPIC",
                                               u"CONTROL_LVPIC", u"CONTROL_LANPIC"};
constexpr std::u16string_view kZonePaintingKeys[] = {
    u"CONTROL_USERysStatic", u"CONTROL_USERysButton", u"CONTROL_USERgjStatic",
    u"CONTROL_USERgjStaPic1", u"CONTROL_umCombo"};

constexpr std::u16string_view kDirectionPlacements[3][3] = {
    {u"CONTROL_BLFXStatic", u"CONTROL_BLFXLStaPic", u"CONTROL_BLFXRStaPic"},
    {u"CONTROL_BLFXStatic2", u"CONTROL_BLFXLStaPic2", u"CONTROL_BLFXRStaPic2"},
    {u"CONTROL_BLFXStatic3", u"CONTROL_BLFXLStaPic3", u"CONTROL_BLFXRStaPic3"}};

} // namespace

bool groupShows(ControlGroup group, int effect) {
    switch (group) {
    case ControlGroup::Brightness:
        return true;
    case ControlGroup::Speed:
        return among(effect, {1, 2, 3, 5, 6, 7, 9, 10, 11, 12, 13, 14, 15});
    case ControlGroup::Direction:
        return among(effect, {1, 2, 7, 12, 18});
    case ControlGroup::EffectColour:
        return among(effect, {4, 5, 6, 9, 10, 13, 14, 15});
    case ControlGroup::Reaction:
        return effect == 16;
    case ControlGroup::Presets:
        return effect == 17;
    case ControlGroup::ZonePainting:
        return effect == 8;
    }
    return false;
}

std::span<const std::u16string_view> groupSkinKeys(ControlGroup group) {
    switch (group) {
    case ControlGroup::Brightness:
        return kBrightnessKeys;
    case ControlGroup::Speed:
        return kSpeedKeys;
    case ControlGroup::Direction:
        return kDirectionKeys;
    case ControlGroup::EffectColour:
        return kColourKeys;
    case ControlGroup::Reaction:
        return kReactionKeys;
    case ControlGroup::Presets:
        return kPresetKeys;
    case ControlGroup::ZonePainting:
        return kZonePaintingKeys;
    }
    return {};
}

std::u16string_view directionSkinKey(DirectionControl control, int effect) {
    const int placement = among(effect, {1, 2, 3, 7}) ? 1 : effect == 12 ? 2 : 0;
    return kDirectionPlacements[placement][static_cast<int>(control)];
}

DirectionPictures directionPicturesOf(int effect) {
    if (effect == 18) {
        return DirectionPictures::SpreadGather;
    }
    return effect == 12 ? DirectionPictures::UpDown : DirectionPictures::LeftRight;
}

bool effectCarriesRandomFlag(int effect) {
    return among(effect, {1, 3, 5, 7, 9, 13, 14, 15});
}

} // namespace tavrik::lighting
