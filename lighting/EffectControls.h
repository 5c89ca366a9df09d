#pragma once
// Which controls of the lighting panel an effect uses, and where the
// direction group goes for it. The panel shows these groups while the
// lighting editor is on; the effect list is always shown.

#include <span>
#include <string_view>

namespace tavrik::lighting {

enum class ControlGroup {
    Brightness,   // the lighting label and the brightness slider: every effect
    Speed,        // 1, 2, 3, 5, 6, 7, 9..15
    Direction,    // 1, 2, 7, 12, 18
    EffectColour, // colour and random colour: 4, 5, 6, 9, 10, 13, 14, 15
    Reaction,     // reaction colour and random colour: 16
    Presets,      // the four preset colours: 17
    ZonePainting, // painting colour, tool and user modes: 8
};

inline constexpr ControlGroup kControlGroups[] = {
    ControlGroup::Brightness,   ControlGroup::Speed,    ControlGroup::Direction,
    ControlGroup::EffectColour, ControlGroup::Reaction, ControlGroup::Presets,
    ControlGroup::ZonePainting};

bool groupShows(ControlGroup group, int effect);

// The skin keys ("BUTTONINFO" of Main.ini) of a group's controls.
std::span<const std::u16string_view> groupSkinKeys(ControlGroup group);

// The direction group's three controls: label, left picture, right picture.
enum class DirectionControl { Label, Left, Right };

// The key that places a direction control for `effect`: suffix 2 for
// effects 1, 2, 3 and 7, suffix 3 for effect 12, none otherwise.
std::u16string_view directionSkinKey(DirectionControl control, int effect);

// The image pair of the direction pictures.
enum class DirectionPictures {
    LeftRight,    // every effect but 12 and 18
    UpDown,       // 12
    SpreadGather, // 18
};

DirectionPictures directionPicturesOf(int effect);

// Effects that write the random-colour flag with the effect number.
bool effectCarriesRandomFlag(int effect);

} // namespace tavrik::lighting
