#include "keyboard/KeyTable.h"

#include "keyboard/Catalogues.h"
#include "text/LanguageTexts.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <vector>

namespace tavrik::keyboard {
namespace {

std::u16string single(char16_t c) {
    return std::u16string(1, c);
}

// Keyboard/Keypad page usages of the HID Usage Tables, by the key's name here.
std::map<std::u16string, std::uint16_t> keyboardUsagesByName() {
    // clang-format off
    std::map<std::u16string, std::uint16_t> usages = {
        {u"0", 0x27}, {u"Enter", 0x28}, {u"Esc", 0x29}, {u"Backspace", 0x2A}, {u"Tab", 0x2B},
        {u"Space", 0x2C}, {u"-", 0x2D}, {u"=", 0x2E}, {u"[", 0x2F}, {u"]", 0x30}, {u"\\", 0x31},
        {u";", 0x33}, {u"'", 0x34}, {u"`", 0x35}, {u",", 0x36}, {u".", 0x37}, {u"/", 0x38},
        {u"Caps Lock", 0x39}, {u"Print Screen", 0x46}, {u"Scroll Lock", 0x47}, {u"Pause", 0x48},
        {u"Break", 0x48}, {u"Insert", 0x49}, {u"Home", 0x4A}, {u"Page Up", 0x4B}, {u"Delete", 0x4C},
        {u"End", 0x4D}, {u"Page Down", 0x4E}, {u"\u2192", 0x4F}, {u"\u2190", 0x50},
        {u"\u2193", 0x51}, {u"\u2191", 0x52}, {u"Num Lock", 0x53}, {u"Num /", 0x54},
        {u"Num *", 0x55}, {u"Num -", 0x56}, {u"Num +", 0x57}, {u"Num Enter", 0x58},
        {u"Num 0", 0x62}, {u"Num .", 0x63}, {u"K45", 0x64}, {u"App", 0x65}, {u"K107", 0x85},
        {u"K56", 0x87}, {u"ROMA (133)", 0x88}, {u"K14", 0x89}, {u"CHG (132)", 0x8A},
        {u"N-CHG (131)", 0x8B}, {u"KR", 0x90}, {u"KL", 0x91}, {u"Ctrl", 0xE0}, {u"Shift", 0xE1},
        {u"Alt", 0xE2}, {u"Win", 0xE3}, {u"Right Ctrl", 0xE4}, {u"Right Shift", 0xE5},
        {u"Right Alt", 0xE6}, {u"Right Win", 0xE7}
    };
    // clang-format on
    for (char16_t i = 0; i < 26; ++i) {
        usages[single(u'A' + i)] = 0x04 + i;
    }
    for (char16_t i = 0; i < 9; ++i) {
        usages[single(u'1' + i)] = 0x1E + i;
        usages[u"Num " + single(u'1' + i)] = 0x59 + i;
    }
    for (int i = 0; i < 12; ++i) {
        const std::string digits = std::to_string(i + 1);
        usages[u"F" + std::u16string(digits.begin(), digits.end())] = 0x3A + i;
    }
    return usages;
}

TEST(KeyTable, KeyboardPageUsagesMatchTheHidUsageTables) {
    const auto expected = keyboardUsagesByName();
    std::size_t checked = 0;
    for (KeyIndex row = 0; row < kKeyTableRowCount; ++row) {
        const KeyCode code = keyCodeOfIndex(row);
        const HidUsage usage = hidUsageOf(code);
        if (usage.page != kKeyboardPage) {
            continue;
        }
        const auto found = expected.find(keyName(code));
        ASSERT_NE(found, expected.end()) << "row " << row;
        EXPECT_EQ(usage.usage, found->second) << "row " << row;
        ++checked;
    }
    EXPECT_EQ(checked, expected.size() + 1); // Right Shift has two rows
}

TEST(KeyTable, PickListsReadInKeyNumberOrder) {
    std::vector<std::u16string> names;
    for (char16_t c = u'A'; c <= u'Z'; ++c) {
        names.push_back(single(c));
    }
    for (char16_t c = u'1'; c <= u'9'; ++c) {
        names.push_back(single(c));
    }
    for (const char16_t* name : {u"0", u"Enter", u"Esc", u"Backspace", u"Tab", u"Space", u"-", u"=",
                                 u"[", u"]", u"\\", u";", u"'", u"`", u",", u".", u"/"}) {
        names.push_back(name);
    }
    for (int i = 1; i <= 12; ++i) {
        const std::string digits = std::to_string(i);
        names.push_back(u"F" + std::u16string(digits.begin(), digits.end()));
    }
    for (const char16_t* name :
         {u"Print Screen", u"Pause",       u"Break",     u"Insert",   u"Delete", u"Home",
          u"End",          u"Page Up",     u"Page Down", u"\u2191",   u"\u2193", u"\u2190",
          u"\u2192",       u"Scroll Lock", u"Caps Lock", u"Num Lock", u"Num /",  u"Num *",
          u"Num -",        u"Num +",       u"Num Enter"}) {
        names.push_back(name);
    }
    for (char16_t c = u'1'; c <= u'9'; ++c) {
        names.push_back(u"Num " + single(c));
    }
    for (const char16_t* name :
         {u"Num 0", u"Num .", u"K45", u"App", u"Ctrl", u"Shift", u"Alt", u"Win", u"Right Ctrl",
          u"Right Shift", u"Right Alt", u"Right Win"}) {
        names.push_back(name);
    }
    ASSERT_EQ(names.size(), kPickListLength);
    for (std::uint16_t number = 0; number < kPickListLength; ++number) {
        EXPECT_EQ(keyNameByNumber(number), names[number]) << number;
        EXPECT_EQ(keyNumberOf(keyCodeByNumber(number)), number);
    }
    EXPECT_EQ(keyNameByNumber(kPickListLength), u"");
    EXPECT_EQ(keyCodeByNumber(kPickListLength), 0);
    EXPECT_EQ(keyCodeByNumber(103), 0x036); // never the second Right Shift row
}

TEST(KeyTable, IndexAndCodeAreInverse) {
    for (KeyIndex row = 0; row < 512; ++row) {
        EXPECT_EQ(keyIndexOf(keyCodeOfIndex(row)), row);
    }
    EXPECT_EQ(keyIndexOf(0x11C), 156);
    EXPECT_EQ(keyCodeOfIndex(156), 0x11C);
    EXPECT_EQ(keyIndexOf(0x205), 261);
    EXPECT_EQ(keyCodeOfIndex(261), 0x205);
    EXPECT_EQ(keyIndexOf(0x19E), 0x1E); // 0x180..0x1FF alias the low rows
}

TEST(KeyTable, VirtualKeysOfLettersDigitsAndFunctionKeysNameTheirKeys) {
    for (char16_t i = 0; i < 26; ++i) {
        EXPECT_EQ(keyName(keyCodeOfVirtualKey(0x41 + i)), single(u'A' + i));
    }
    for (char16_t i = 0; i < 10; ++i) {
        EXPECT_EQ(keyName(keyCodeOfVirtualKey(0x30 + i)), single(u'0' + i));
        EXPECT_EQ(keyName(keyCodeOfVirtualKey(0x60 + i)), u"Num " + single(u'0' + i));
    }
    for (int i = 0; i < 13; ++i) {
        const std::string digits = std::to_string(i + 1);
        EXPECT_EQ(keyName(keyCodeOfVirtualKey(0x70 + i)),
                  u"F" + std::u16string(digits.begin(), digits.end()));
    }
    EXPECT_EQ(keyCodeOfVirtualKey(0x141), 0x01E); // only the low byte counts
    EXPECT_EQ(keyCodeOfVirtualKey(0x01), 0);      // mouse button
    EXPECT_EQ(keyCodeOfVirtualKey(0x88), 0);
}

TEST(KeyTable, HidUsagesOfTheOtherPagesAndBack) {
    const struct {
        KeyCode code;
        HidUsage usage;
    } cases[] = {
        {0x130, {0x0C, 0x00E9}}, {0x174, {0x0C, 0}}, {0x15E, {0x01, 0x81}},
        {0x054, {0, 0}},         {0x205, {0, 0}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(hidUsageOf(c.code), c.usage) << c.code;
    }
    const struct {
        HidUsage usage;
        KeyCode code;
    } reverse[] = {
        {{0x07, 0x48}, 0x045}, {{0x07, 0xE5}, 0x036}, {{0x0C, 0x00CD}, 0x122},
        {{0x01, 0x80}, 0},     {{0x01, 0x83}, 0x163}, {{0x07, 0x1FF}, 0},
        {{0x07, 0x81}, 0},     {{0x07, 0xC2}, 0},     {{0x09, 0x04}, 0},
    };
    for (const auto& c : reverse) {
        EXPECT_EQ(keyCodeOfHidUsage(c.usage), c.code) << c.usage.page << ":" << c.usage.usage;
    }
}

TEST(KeyTable, MediaKeysAgreeWithTheMediaCatalogue) {
    text::resetLanguageTexts();
    std::set<std::u16string> names;
    for (std::size_t i = 0; i < kMediaCount; ++i) {
        const MediaEntry& entry = MediaCatalogue[i];
        EXPECT_EQ(hidUsageOf(entry.keyCode), (HidUsage{kConsumerPage, entry.usage})) << i;
        EXPECT_EQ(keyCodeOfHidUsage({kConsumerPage, entry.usage}), entry.keyCode) << i;
        EXPECT_EQ(mediaIndexOfUsage(entry.usage), i);
        text::setLanguageText(entry.languageKey, u"media " + single(u'a' + char16_t(i)));
        names.insert(keyName(entry.keyCode));
    }
    EXPECT_EQ(names.size(), kMediaCount); // each row shows its own language text
    EXPECT_EQ(mediaKeyCode(6), 0x130);
    EXPECT_EQ(keyName(mediaKeyCode(6)), u"media g");
    EXPECT_EQ(mediaUsage(6), 0x00E9);
    EXPECT_EQ(mediaUsage(18), 0);
    EXPECT_EQ(mediaKeyCode(0xFFFFFFFF), 0);
    EXPECT_FALSE(mediaIndexOfUsage(0x1234));
    text::resetLanguageTexts();
    EXPECT_EQ(keyName(0x130), u"Hello world");
}

TEST(KeyTable, FunctionTextsComeFromTheLanguageTexts) {
    text::resetLanguageTexts();
    for (std::size_t i = 0; i < kFunctionCount; ++i) {
        EXPECT_EQ(functionText(i), FunctionCatalogue[i].builtInText);
    }
    text::setLanguageText("FUNC_KEY_DESC10", u"Verkleinern");
    EXPECT_EQ(functionText(9), u"Verkleinern");
    EXPECT_EQ(functionText(11), u"");
    text::resetLanguageTexts();
}

TEST(KeyTable, NamesOfUnknownCodesAndShortBuffers) {
    text::resetLanguageTexts();
    EXPECT_EQ(keyName(0x05A), u"Unknown Key: 05a");
    EXPECT_EQ(keyName(0x1234), u"Unknown Key: 1234");
    EXPECT_EQ(keyName(0x148), u"\u2191");
    // A language file's text must not make the formatting read arguments.
    text::setLanguageText("UNKNOWN_KEY", u"%s %% %-5X| %d %99999999x");
    EXPECT_EQ(keyName(0x05A), u"%s % 5A   | %d %99999999x");
    text::setLanguageText("UNKNOWN_KEY", u"#%#06x.%.4o");
    EXPECT_EQ(keyName(0x05A), u"#0x005a.%.4o");
    text::setLanguageText("UNKNOWN_KEY", u"%099999999x");
    EXPECT_EQ(keyName(0x05A), std::u16string(62, u'0') + u"5a");
    text::resetLanguageTexts();

    char16_t buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), u'?');
    EXPECT_EQ(keyName(0x03A, buffer, 5), 4u);
    EXPECT_EQ(std::u16string(buffer), u"Caps");
    EXPECT_EQ(buffer[5], u'?');
    EXPECT_EQ(keyName(0x001, buffer, 4), 3u);
    EXPECT_EQ(std::u16string(buffer), u"Esc");
    EXPECT_EQ(keyName(0x001, buffer, 0), 0u);
    EXPECT_EQ(std::u16string(buffer), u"Esc");
    EXPECT_EQ(keyName(0x001, buffer, 1), 0u);
    EXPECT_EQ(buffer[0], u'\0');
}

TEST(KeyTable, KeystrokeMessages) {
    const auto parameter = [](std::uint32_t scan, bool extended) {
        return (scan << 16) | (extended ? 1u << 24 : 0u) | 1u;
    };
    EXPECT_EQ(keyCodeFromMessage(0x90, parameter(0x45, true)), 0x145);  // Num Lock
    EXPECT_EQ(keyCodeFromMessage(0x13, parameter(0x45, false)), 0x045); // Pause
    EXPECT_EQ(keyCodeFromMessage(0x03, parameter(0x46, true)), 0x045);  // Ctrl+Break
    EXPECT_EQ(keyCodeFromMessage(0x41, parameter(0, false)), 0x01E);
    EXPECT_EQ(keyCodeFromMessage(0xFF, parameter(0, true)), 0x100);
    EXPECT_EQ(keyCodeFromMessage(0x2C, parameter(0x54, false)), 0x137); // Sys Req
    EXPECT_EQ(keyCodeFromMessage(0xA1, parameter(0x36, true)), 0x036);
    EXPECT_EQ(keyCodeFromMessage(0x03, parameter(0, false)), 0x045); // Break by virtual key
}

TEST(KeyTable, ModifierBitsFollowTheHidModifierUsages) {
    for (int bit = 0; bit < 8; ++bit) {
        const KeyCode code = keyCodeOfModifierBits(static_cast<ModifierBits>(1 << bit));
        EXPECT_EQ(hidUsageOf(code), (HidUsage{kKeyboardPage, std::uint16_t(0xE0 + bit)}));
        EXPECT_EQ(modifierBitOf(code), 1 << bit);
    }
    EXPECT_EQ(keyCodeOfModifierBits(0x22), 0x02A);
    EXPECT_EQ(keyCodeOfModifierBits(0), 0);
    EXPECT_EQ(modifierBitOf(0x01E), 0);
    EXPECT_EQ(modifierBitOf(0x136), 0);
}

TEST(KeyTable, ReleaseOnlyKeys) {
    std::vector<KeyCode> found;
    for (KeyCode code = 0; code < 0x300; ++code) {
        if (isReleaseOnlyKey(code)) {
            found.push_back(code);
        }
    }
    EXPECT_EQ(found, (std::vector<KeyCode>{0x054, 0x071, 0x072, 0x137}));
}

} // namespace
} // namespace tavrik::keyboard
