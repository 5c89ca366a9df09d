#include "platform/Keystroke.h"

#include "keyboard/Catalogues.h"
#include "keyboard/KeyTable.h"
#include "keyboard/PanelKeyList.h"

#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>

namespace tavrik::platform {
namespace {

// The Linux input codes (linux/input-event-codes.h) of the keys, by the
// key's name in the key table; the desktop reports them plus 8.
// clang-format off
const std::map<std::u16string, std::uint32_t> kInputCodesByName = {
    {u"Esc", 1}, {u"1", 2}, {u"2", 3}, {u"3", 4}, {u"4", 5}, {u"5", 6}, {u"6", 7}, {u"7", 8},
    {u"8", 9}, {u"9", 10}, {u"0", 11}, {u"-", 12}, {u"=", 13}, {u"Backspace", 14}, {u"Tab", 15},
    {u"Q", 16}, {u"W", 17}, {u"E", 18}, {u"R", 19}, {u"T", 20}, {u"Y", 21}, {u"U", 22},
    {u"I", 23}, {u"O", 24}, {u"P", 25}, {u"[", 26}, {u"]", 27}, {u"Enter", 28}, {u"Ctrl", 29},
    {u"A", 30}, {u"S", 31}, {u"D", 32}, {u"F", 33}, {u"G", 34}, {u"H", 35}, {u"J", 36},
    {u"K", 37}, {u"L", 38}, {u";", 39}, {u"'", 40}, {u"`", 41}, {u"Shift", 42}, {u"\\", 43},
    {u"Z", 44}, {u"X", 45}, {u"C", 46}, {u"V", 47}, {u"B", 48}, {u"N", 49}, {u"M", 50},
    {u",", 51}, {u".", 52}, {u"/", 53}, {u"Right Shift", 54}, {u"Num *", 55}, {u"Alt", 56},
    {u"Space", 57}, {u"Caps Lock", 58}, {u"F1", 59}, {u"F2", 60}, {u"F3", 61}, {u"F4", 62},
    {u"F5", 63}, {u"F6", 64}, {u"F7", 65}, {u"F8", 66}, {u"F9", 67}, {u"F10", 68},
    {u"Num Lock", 69}, {u"Scroll Lock", 70}, {u"Num 7", 71}, {u"Num 8", 72}, {u"Num 9", 73},
    {u"Num -", 74}, {u"Num 4", 75}, {u"Num 5", 76}, {u"Num 6", 77}, {u"Num +", 78},
    {u"Num 1", 79}, {u"Num 2", 80}, {u"Num 3", 81}, {u"Num 0", 82}, {u"Num .", 83},
    {u"K45", 86}, {u"F11", 87}, {u"F12", 88}, {u"K56", 89}, {u"CHG (132)", 92},
    {u"ROMA (133)", 93}, {u"N-CHG (131)", 94}, {u"Num Enter", 96}, {u"Right Ctrl", 97},
    {u"Num /", 98}, {u"Print Screen", 99}, {u"Right Alt", 100}, {u"Home", 102},
    {u"\u2191", 103}, {u"Page Up", 104}, {u"\u2190", 105}, {u"\u2192", 106}, {u"End", 107},
    {u"\u2193", 108}, {u"Page Down", 109}, {u"Insert", 110}, {u"Delete", 111},
    {u"Power", 116}, {u"Pause", 119}, {u"K107", 121}, {u"KR", 122}, {u"KL", 123},
    {u"K14", 124}, {u"Win", 125}, {u"Right Win", 126}, {u"App", 127}, {u"Sleep", 142},
    {u"Wake", 143}, {u"F13", 183},
};

// The media keys by their key code, which carries a language text as name.
const std::map<keyboard::KeyCode, std::uint32_t> kMediaInputCodes = {
    {0x120, 113}, {0x12E, 114}, {0x130, 115}, {0x168, 128}, {0x121, 140}, {0x16C, 155},
    {0x166, 156}, {0x16B, 157}, {0x16A, 158}, {0x169, 159}, {0x119, 163}, {0x122, 164},
    {0x110, 165}, {0x124, 166}, {0x16D, 171}, {0x132, 172}, {0x167, 173}, {0x165, 217},
};
// clang-format on

keyboard::KeyCode keyCodeOfInput(std::uint32_t inputCode, bool release = false) {
    const Keystroke keystroke =
        makeKeystroke(0, scanCodeOfXkbKeycode(inputCode + kXkbKeycodeOffset), release, false);
    return keyboard::keyCodeFromMessage(keystroke.virtualKey, keystroke.parameter);
}

TEST(Keystroke, EveryKeyOfTheKeyTableComesFromItsLinuxInputCode) {
    for (const auto& [name, inputCode] : kInputCodesByName) {
        const keyboard::KeyCode code = keyCodeOfInput(inputCode);
        EXPECT_EQ(keyboard::keyName(code), name)
            << "input code " << inputCode << " gave key code " << code;
        EXPECT_EQ(keyCodeOfInput(inputCode, true), code) << inputCode;
    }
}

TEST(Keystroke, EveryPanelKeyAndMediaKeyIsReached) {
    std::set<keyboard::KeyCode> reached;
    for (const auto& [name, inputCode] : kInputCodesByName) {
        reached.insert(keyCodeOfInput(inputCode));
    }
    for (const keyboard::PanelKey& key : keyboard::PanelKeyList) {
        EXPECT_TRUE(reached.contains(key.code)) << std::hex << key.code;
    }
    for (const auto& [code, inputCode] : kMediaInputCodes) {
        EXPECT_EQ(keyCodeOfInput(inputCode), code) << "input code " << inputCode;
    }
    for (const keyboard::MediaEntry& entry : keyboard::MediaCatalogue) {
        EXPECT_TRUE(kMediaInputCodes.contains(entry.keyCode)) << std::hex << entry.keyCode;
    }
}

TEST(Keystroke, ScanCodesCarryTheExtendedFlagWhereTheKeyboardPrefixesE0) {
    struct Case {
        std::uint32_t inputCode;
        std::uint32_t scanCode;
    };
    const Case cases[] = {
        {69, 0x145},  // Num Lock counts as extended, as Windows reports it
        {119, 0x045}, // Pause does not; Ctrl+Pause (Break) arrives as the same key
        {99, 0x137},  // Print Screen, and SysRq with Alt
        {210, 0x137}, // the separate Print key
        {96, 0x11C},  // Num Enter beside Enter (0x1C)
        {98, 0x135},  // Num / beside / (0x35)
        {90, 0x078},  // Katakana
        {91, 0x077},  // Hiragana
        {85, 0x076},  // Zenkaku/Hankaku
        {0, 0},       // no key
        {200, 0},     // a code no keyboard key has
    };
    for (const Case& c : cases) {
        EXPECT_EQ(scanCodeOfXkbKeycode(c.inputCode + kXkbKeycodeOffset), c.scanCode)
            << c.inputCode;
    }
    EXPECT_EQ(scanCodeOfXkbKeycode(5), 0u) << "below the XKB offset";
}

TEST(Keystroke, FlagsTellPressRepeatAndRelease) {
    const Keystroke press = makeKeystroke(0x41, 0x1E, false, false);
    const Keystroke repeat = makeKeystroke(0x41, 0x1E, false, true);
    const Keystroke release = makeKeystroke(0x41, 0x1E, true, false);
    const Keystroke extended = makeKeystroke(0, 0x11D, false, false);
    EXPECT_EQ(press.parameter, 0x001E0001u);
    EXPECT_FALSE(isRelease(press));
    EXPECT_FALSE(isAutoRepeat(press));
    EXPECT_TRUE(isAutoRepeat(repeat));
    EXPECT_TRUE(isRelease(release));
    EXPECT_FALSE(isAutoRepeat(release));
    EXPECT_EQ(release.parameter, 0xC01E0001u);
    EXPECT_EQ(extended.parameter, 0x011D0001u);
    EXPECT_EQ(keyboard::keyCodeFromMessage(extended.virtualKey, extended.parameter), 0x11D);
}

} // namespace
} // namespace tavrik::platform
