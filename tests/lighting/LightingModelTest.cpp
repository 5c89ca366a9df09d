#include "keyboard/PanelKeyList.h"
#include "lighting/Colour.h"
#include "lighting/EffectControls.h"
#include "lighting/EffectList.h"
#include "lighting/KeyLighting.h"
#include "lighting/LightingRecord.h"
#include "lighting/Zones.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <set>

namespace tavrik::lighting {
namespace {

TEST(Colour, KeepsRedInTheLowByteAndWritesDecimalText) {
    const Colour colour = rgb(51, 34, 17);
    EXPECT_EQ(colour, 0x112233u);
    EXPECT_EQ(colourText(colour), u"51,34,17");
    EXPECT_EQ(colourText(kRed), u"255,0,0");
    EXPECT_EQ(colourBytes(colour), (std::array<std::uint8_t, 3>{51, 34, 17}));
    const std::uint8_t bytes[] = {1, 2, 3};
    EXPECT_EQ(colourFromBytes(bytes), rgb(1, 2, 3));
}

TEST(Colour, TextParsesOnlyThreeChannelsOfAByte) {
    const struct {
        std::u16string_view text;
        std::optional<Colour> colour;
    } cases[] = {
        {u"51,34,17", rgb(51, 34, 17)},
        {u" 0 , 255,9 ", rgb(0, 255, 9)},
        {u"255,255,255", kWhite},
        {u"256,0,0", std::nullopt},
        {u"1,2", std::nullopt},
        {u"1,2,3,4", std::nullopt},
        {u"1,,3", std::nullopt},
        {u"-1,2,3", std::nullopt},
        {u"a,b,c", std::nullopt},
        {u"0001,2,3", std::nullopt},
        {u"", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parseColourText(c.text), c.colour) << std::string(c.text.begin(), c.text.end());
    }
}

std::array<std::uint8_t, kRecordSize> recordBytes() {
    std::array<std::uint8_t, kRecordSize> bytes{};
    std::copy(kDefaultRecord.begin(), kDefaultRecord.end(), bytes.begin());
    return bytes;
}

TEST(LightingRecord, TheDefaultRecordIsEffectOneAtFullBrightnessInRandomColours) {
    const LightingRecord record = defaultRecord();
    EXPECT_EQ(record.effect, 1);
    EXPECT_EQ(record.brightness, 4);
    EXPECT_EQ(record.speed, 1);
    EXPECT_EQ(record.direction, 0);
    EXPECT_TRUE(record.random);
    EXPECT_EQ(record.colour, kRed);
    EXPECT_EQ(record.secondColour, kWhite);
    EXPECT_EQ(record.thirdColour, kWhite);
    EXPECT_EQ(record.reportRate, 3) << "0xFF counts as the highest rate";
    EXPECT_EQ(record.preset, 0);
}

TEST(LightingRecord, OddStoredValuesReadAsThePanelShowsThem) {
    const struct {
        const char* what;
        std::size_t at;
        std::uint8_t value;
        int LightingRecord::*field;
        int shown;
    } cases[] = {
        {"report rate 7 counts as 3", 15, 7, &LightingRecord::reportRate, 3},
        {"report rate 2 stays", 15, 2, &LightingRecord::reportRate, 2},
        {"preset 4 counts as red", 17, 4, &LightingRecord::preset, 0},
        {"preset 3 stays", 17, 3, &LightingRecord::preset, 3},
        {"brightness is kept as stored", 1, 9, &LightingRecord::brightness, 9},
    };
    for (const auto& c : cases) {
        auto bytes = recordBytes();
        bytes[c.at] = c.value;
        EXPECT_EQ(decodeRecord(bytes).*c.field, c.shown) << c.what;
    }
    auto bytes = recordBytes();
    bytes[18] = 1;
    EXPECT_EQ(decodeRecord(bytes).effect7Flag, 0) << "the flag belongs to effect 7";
    bytes[0] = 7;
    EXPECT_EQ(decodeRecord(bytes).effect7Flag, 1);
    bytes[18] = 2;
    EXPECT_EQ(decodeRecord(bytes).effect7Flag, 0) << "only 0 and 1 are taken";
}

TEST(EffectList, ListsTheNonZeroSlotsInTheKeyboardsOrder) {
    std::array<std::uint8_t, kDeviceInfoSize> info{};
    info[10] = 2; // the active profile is no effect
    info[12] = 1;
    info[13] = 0;
    info[20] = 8;
    const EffectList list = EffectList::fromDeviceInfo(info);
    EXPECT_EQ(list.effects(), (std::vector<int>{1, 8}));
    EXPECT_EQ(list.effectAt(1), 8);
    EXPECT_EQ(list.effectAt(2), -1);
    EXPECT_EQ(list.effectAt(-1), -1);
    EXPECT_EQ(list.indexOf(8), 1);
    EXPECT_EQ(list.indexOf(5), -1);
    info[43] = 8;
    EXPECT_EQ(EffectList::fromDeviceInfo(info).indexOf(8), 1) << "the first entry of an effect";
    EXPECT_TRUE(EffectList::fromDeviceInfo(std::array<std::uint8_t, kDeviceInfoSize>{}).empty());
}

TEST(EffectControls, EachEffectShowsItsGroups) {
    using G = ControlGroup;
    const std::map<int, std::set<G>> expected = {
        {1, {G::Brightness, G::Speed, G::Direction}},
        {2, {G::Brightness, G::Speed, G::Direction}},
        {3, {G::Brightness, G::Speed}},
        {4, {G::Brightness, G::EffectColour}},
        {5, {G::Brightness, G::Speed, G::EffectColour}},
        {6, {G::Brightness, G::Speed, G::EffectColour}},
        {7, {G::Brightness, G::Speed, G::Direction}},
        {8, {G::Brightness, G::ZonePainting}},
        {9, {G::Brightness, G::Speed, G::EffectColour}},
        {10, {G::Brightness, G::Speed, G::EffectColour}},
        {11, {G::Brightness, G::Speed}},
        {12, {G::Brightness, G::Speed, G::Direction}},
        {13, {G::Brightness, G::Speed, G::EffectColour}},
        {14, {G::Brightness, G::Speed, G::EffectColour}},
        {15, {G::Brightness, G::Speed, G::EffectColour}},
        {16, {G::Brightness, G::Reaction}},
        {17, {G::Brightness, G::Presets}},
        {18, {G::Brightness, G::Direction}},
    };
    for (const auto& [effect, groups] : expected) {
        for (const ControlGroup group : kControlGroups) {
            EXPECT_EQ(groupShows(group, effect), groups.contains(group))
                << "effect " << effect << " group " << static_cast<int>(group);
        }
    }
}

TEST(EffectControls, DirectionGroupHasThreePlacesAndThreePicturePairs) {
    const struct {
        int effect;
        std::u16string_view label;
        std::u16string_view right;
        DirectionPictures pictures;
    } cases[] = {
        {1, u"CONTROL_BLFXStatic2", u"CONTROL_BLFXRStaPic2", DirectionPictures::LeftRight},
        {2, u"CONTROL_BLFXStatic2", u"CONTROL_BLFXRStaPic2", DirectionPictures::LeftRight},
        {7, u"CONTROL_BLFXStatic2", u"CONTROL_BLFXRStaPic2", DirectionPictures::LeftRight},
        {12, u"CONTROL_BLFXStatic3", u"CONTROL_BLFXRStaPic3", DirectionPictures::UpDown},
        {18, u"CONTROL_BLFXStatic", u"CONTROL_BLFXRStaPic", DirectionPictures::SpreadGather},
        {4, u"CONTROL_BLFXStatic", u"CONTROL_BLFXRStaPic", DirectionPictures::LeftRight},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(directionSkinKey(DirectionControl::Label, c.effect), c.label) << c.effect;
        EXPECT_EQ(directionSkinKey(DirectionControl::Right, c.effect), c.right) << c.effect;
        EXPECT_EQ(directionPicturesOf(c.effect), c.pictures) << c.effect;
    }
    EXPECT_EQ(directionSkinKey(DirectionControl::Left, 3), u"CONTROL_BLFXLStaPic2");
}

TEST(Zones, EveryKeyButTheRightWindowsKeyLiesInOneZone) {
    std::map<int, int> keysPerZone;
    for (const keyboard::PanelKey& key : keyboard::PanelKeyList) {
        const int zone = zoneOfButton(key.buttonId);
        if (key.code == 0x15C) {
            EXPECT_EQ(zone, -1);
            continue;
        }
        ASSERT_GE(zone, 0) << "key 0x" << std::hex << key.code;
        ASSERT_LT(zone, kZoneCount);
        ++keysPerZone[zone];
    }
    EXPECT_EQ(keysPerZone,
              (std::map<int, int>{{0, 11}, {1, 21}, {2, 16}, {3, 16}, {4, 19}, {5, 21}}));
}

TEST(Zones, KeysByZoneFromLeftToRight) {
    const struct {
        int buttonId;
        int zone;
    } cases[] = {
        {1000, 0},  {1140, 0},  {1141, -1},       {1143, -1}, // G1, G6, G7, G9
        {1022, 0},  {1208, 0},  {1084, 0},                    // Esc, K45, left Win
        {1010, 1},  {1085, 1},                                // F1, left Alt
        {1090, 2},  {1023, 2},                                // Space, F7
        {1052, 3},  {1086, 3},  {kFnButtonId, 3},             // O, right Alt, Fn
        {1089, 4},  {1100, 4},  {1043, 4},                    // right Ctrl, left arrow, Backspace
        {1102, 5},  {1093, 5},  {1118, 5},                    // right arrow, Pause, keypad Enter
        {1016, -1}, {1057, -1}, {0, -1},                      // D1, the hidden button, none
    };
    for (const auto& c : cases) {
        EXPECT_EQ(zoneOfButton(c.buttonId), c.zone) << c.buttonId;
    }
}

TEST(Zones, ButtonsOfAZoneAreTheButtonsInIt) {
    std::size_t total = 0;
    for (int zone = 0; zone < kZoneCount; ++zone) {
        const std::vector<int> buttons = buttonsOfZone(zone);
        total += buttons.size();
        for (const int button : buttons) {
            EXPECT_EQ(zoneOfButton(button), zone) << button;
        }
    }
    EXPECT_EQ(total, 104u + 6u + 1u) << "the keys, G1..G6 and Fn";
    EXPECT_TRUE(buttonsOfZone(6).empty());
}

TEST(KeyLighting, KeysShowTheZoneColoursOrTheOneChosenColour) {
    LightingState state;
    state.profile = 1;
    state.zones[1][6] = rgb(9, 8, 7); // zone 3
    state.zones[0][6] = rgb(1, 1, 1);
    state.record.colour = rgb(0, 128, 255);
    const int letterO = 1052;      // zone 3
    const int letterU = 1050;      // zone 2
    const int rightWindows = 1087; // no zone
    const std::optional<Colour> none;
    const struct {
        int effect;
        bool random;
        int button;
        std::optional<Colour> shown;
    } cases[] = {
        {8, true, letterO, rgb(9, 8, 7)},      // the shown profile's zone
        {8, false, kFnButtonId, rgb(9, 8, 7)}, // Fn lies in zone 3
        {8, false, letterU, kWhite},
        {8, false, rightWindows, none},
        {4, false, rightWindows, rgb(0, 128, 255)}, // every key in the one colour
        {16, false, letterO, rgb(0, 128, 255)},     // the reaction colour
        {4, true, letterO, none},                   // random colours
        {1, false, letterO, none},                  // no colour of its own
        {17, false, letterO, none},                 // four preset colours
    };
    for (const auto& c : cases) {
        state.record.effect = c.effect;
        state.record.random = c.random;
        EXPECT_EQ(keyColourOf(state, c.button), c.shown) << c.effect << " " << c.button;
    }
}

} // namespace
} // namespace tavrik::lighting
