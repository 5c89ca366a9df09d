#pragma once
// The lighting editor: the panel's copy of the shown profile's lighting and
// every change the panel makes to it. Each change is written to the keyboard
// at once; a write the keyboard refuses is followed by a fresh read, so the
// state shows what the keyboard really holds. The state mirrors the
// keyboard and is never saved by the program.

#include "lighting/Colour.h"
#include "lighting/EffectList.h"
#include "lighting/LightingKeyboard.h"
#include "lighting/LightingRecord.h"
#include "lighting/UserColourFile.h"

#include <array>
#include <string>
#include <vector>

namespace tavrik::lighting {

// What the colour menus' automatic entry gives: the colour of the default
// record for the effect colour, white (the keyboard's own zone colour) for
// painting.
inline constexpr Colour kAutomaticColour = kRed;
inline constexpr Colour kAutomaticPaintingColour = kWhite;

struct LightingState {
    // The lighting profile index: whose record the panel shows.
    int profile = 0;
    // The lighting editor's switch (zovu.ini).
    bool zonePainting = false;
    EffectList effects;
    // The shown record; its effect is the one chosen in the effect list.
    LightingRecord record;
    std::array<ZoneColours, kProfileCount> zones = filledZones(kWhite);
    // Zone painting: tool and colours, and the chosen entry of the user-mode
    // list.
    UserModeColours painting;
    int userMode = 0;
    std::vector<std::u16string> userModeNames;

    static std::array<ZoneColours, kProfileCount> filledZones(Colour colour);
    // The slider positions the record's values give, clamped to 0..4.
    int brightnessPosition() const;
    int speedPosition() const;
    const ZoneColours& shownZones() const { return zones[static_cast<std::size_t>(profile)]; }
};

enum class Slider { Brightness, Speed };

enum class Change {
    Unchanged, // nothing to write
    Written,   // the keyboard took it
    Refused,   // the keyboard did not; the state was read again
};

class LightingEditor {
public:
    struct Files {
        std::string settingsFile;     // zovu.ini
        std::string userColourPrefix; // ".../Skins/UserDengColor_"
    };

    explicit LightingEditor(Files files);

    const LightingState& state() const { return state_; }

    // readLightingState: the effect list, the three records (and with
    // `withZones` the zone colours, when the keyboard offers effect 8) and
    // the switch. False when the keyboard could not be read: the effect list
    // is then empty and the rest as it was.
    bool readLightingState(bool withZones);

    // Shows profile 0..2 from now on (another value changes nothing) and
    // offers its user modes.
    void setProfile(int profile);

    // selectEffect: entry `listIndex` of the effect list.
    Change selectEffect(int listIndex);
    // A slider reported `position`; a position already held writes nothing.
    Change moveSlider(Slider slider, int position);
    // 1 left, 0 right.
    Change chooseDirection(int direction);
    // The colour buttons: the colour with the random flag off.
    Change chooseColour(Colour colour);
    Change toggleRandom();
    Change choosePreset(int preset);
    Change chooseReportRate(int rate);

    // paintZone: the zone of an on-screen button takes the painting colour
    // (tool 0) or the base colour (tool 1), only while the effect list shows
    // effect 8. Unchanged for a button in no zone.
    Change paintZone(int buttonId);

    // restoreLightingDefaults: effect 1 chosen as by selectEffect, then the
    // default record written; the state then shows the default record.
    Change restoreDefaults();

    // The switch, stored in zovu.ini.
    void setZonePainting(bool on);

    // Zone painting controls; each stores the user mode's tool and colours.
    void choosePaintingColour(Colour colour);
    void choosePaintingTool();
    // The user-mode list: the typed text replaces entry m and is stored as
    // its name.
    void renameUserMode(std::u16string name);
    // Choosing an entry restores its tool and colours.
    void chooseUserMode(int index);

private:
    // What the keyboard is known to hold: the last read and the writes it
    // took since.
    void confirm();
    Change written(int code, bool withZones = false);
    int writeByte(std::size_t offset, int value);
    void storeUserModeColours();
    void loadUserModes();
    std::string userColourFile() const;

    Files files_;
    LightingState state_;
    LightingRecord confirmedRecord_;
    std::array<ZoneColours, kProfileCount> confirmedZones_ = state_.zones;
};

} // namespace tavrik::lighting
