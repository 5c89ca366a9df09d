#include "keyboard/KeyTable.h"

#include "keyboard/UnknownKeyText.h"
#include "text/LanguageTexts.h"

#include <algorithm>

namespace tavrik::keyboard {
namespace {

struct KeyEntry {
    KeyCode code;
    std::uint16_t keyNumber;
    std::u16string_view name;
    std::string_view languageKey;
    std::uint8_t hidCode;
};

constexpr KeyEntry named(KeyCode code, std::uint16_t number, std::u16string_view name,
                         std::uint8_t hid) {
    return {code, number, name, {}, hid};
}

// The media rows take their names from the language texts.
constexpr KeyEntry media(KeyCode code, std::uint16_t number, std::string_view languageKey,
                         std::uint8_t hid) {
    return {code, number, {}, languageKey, hid};
}

constexpr KeyEntry kKeyEntries[] = {
    // Keys offered in the pick lists, KeyNumber 0..105.
    named(0x001, 37, u"Esc", 0x29),
    named(0x002, 26, u"1", 0x1E),
    named(0x003, 27, u"2", 0x1F),
    named(0x004, 28, u"3", 0x20),
    named(0x005, 29, u"4", 0x21),
    named(0x006, 30, u"5", 0x22),
    named(0x007, 31, u"6", 0x23),
    named(0x008, 32, u"7", 0x24),
    named(0x009, 33, u"8", 0x25),
    named(0x00A, 34, u"9", 0x26),
    named(0x00B, 35, u"0", 0x27),
    named(0x00C, 41, u"-", 0x2D),
    named(0x00D, 42, u"=", 0x2E),
    named(0x00E, 38, u"Backspace", 0x2A),
    named(0x00F, 39, u"Tab", 0x2B),
    named(0x010, 16, u"Q", 0x14),
    named(0x011, 22, u"W", 0x1A),
    named(0x012, 4, u"E", 0x08),
    named(0x013, 17, u"R", 0x15),
    named(0x014, 19, u"T", 0x17),
    named(0x015, 24, u"Y", 0x1C),
    named(0x016, 20, u"U", 0x18),
    named(0x017, 8, u"I", 0x0C),
    named(0x018, 14, u"O", 0x12),
    named(0x019, 15, u"P", 0x13),
    named(0x01A, 43, u"[", 0x2F),
    named(0x01B, 44, u"]", 0x30),
    named(0x01C, 36, u"Enter", 0x28),
    named(0x01D, 98, u"Ctrl", 0xE0),
    named(0x01E, 0, u"A", 0x04),
    named(0x01F, 18, u"S", 0x16),
    named(0x020, 3, u"D", 0x07),
    named(0x021, 5, u"F", 0x09),
    named(0x022, 6, u"G", 0x0A),
    named(0x023, 7, u"H", 0x0B),
    named(0x024, 9, u"J", 0x0D),
    named(0x025, 10, u"K", 0x0E),
    named(0x026, 11, u"L", 0x0F),
    named(0x027, 46, u";", 0x33),
    named(0x028, 47, u"'", 0x34),
    named(0x029, 48, u"`", 0x35),
    named(0x02A, 99, u"Shift", 0xE1),
    named(0x02B, 45, u"\\", 0x31),
    named(0x02C, 25, u"Z", 0x1D),
    named(0x02D, 23, u"X", 0x1B),
    named(0x02E, 2, u"C", 0x06),
    named(0x02F, 21, u"V", 0x19),
    named(0x030, 1, u"B", 0x05),
    named(0x031, 13, u"N", 0x11),
    named(0x032, 12, u"M", 0x10),
    named(0x033, 49, u",", 0x36),
    named(0x034, 50, u".", 0x37),
    named(0x035, 51, u"/", 0x38),
    named(0x036, 103, u"Right Shift", 0xE5),
    named(0x037, 81, u"Num *", 0x55),
    named(0x038, 100, u"Alt", 0xE2),
    named(0x039, 40, u"Space", 0x2C),
    named(0x03A, 78, u"Caps Lock", 0x39),
    named(0x03B, 52, u"F1", 0x3A),
    named(0x03C, 53, u"F2", 0x3B),
    named(0x03D, 54, u"F3", 0x3C),
    named(0x03E, 55, u"F4", 0x3D),
    named(0x03F, 56, u"F5", 0x3E),
    named(0x040, 57, u"F6", 0x3F),
    named(0x041, 58, u"F7", 0x40),
    named(0x042, 59, u"F8", 0x41),
    named(0x043, 60, u"F9", 0x42),
    named(0x044, 61, u"F10", 0x43),
    named(0x045, 65, u"Pause", 0x48),
    named(0x046, 77, u"Scroll Lock", 0x47),
    named(0x047, 91, u"Num 7", 0x5F),
    named(0x048, 92, u"Num 8", 0x60),
    named(0x049, 93, u"Num 9", 0x61),
    named(0x04A, 82, u"Num -", 0x56),
    named(0x04B, 88, u"Num 4", 0x5C),
    named(0x04C, 89, u"Num 5", 0x5D),
    named(0x04D, 90, u"Num 6", 0x5E),
    named(0x04E, 83, u"Num +", 0x57),
    named(0x04F, 85, u"Num 1", 0x59),
    named(0x050, 86, u"Num 2", 0x5A),
    named(0x051, 87, u"Num 3", 0x5B),
    named(0x052, 94, u"Num 0", 0x62),
    named(0x053, 95, u"Num .", 0x63),
    named(0x056, 96, u"K45", 0x64),
    named(0x057, 62, u"F11", 0x44),
    named(0x058, 63, u"F12", 0x45),
    named(0x11C, 84, u"Num Enter", 0x58),
    named(0x11D, 102, u"Right Ctrl", 0xE4),
    named(0x135, 80, u"Num /", 0x54),
    named(0x136, 103, u"Right Shift", 0xE5),
    named(0x137, 64, u"Print Screen", 0x46),
    named(0x138, 104, u"Right Alt", 0xE6),
    named(0x145, 79, u"Num Lock", 0x53),
    named(0x146, 66, u"Break", 0x48),
    named(0x147, 69, u"Home", 0x4A),
    named(0x148, 73, u"\u2191", 0x52),
    named(0x149, 71, u"Page Up", 0x4B),
    named(0x14B, 75, u"\u2190", 0x50),
    named(0x14D, 76, u"\u2192", 0x4F),
    named(0x14F, 70, u"End", 0x4D),
    named(0x150, 74, u"\u2193", 0x51),
    named(0x151, 72, u"Page Down", 0x4E),
    named(0x152, 67, u"Insert", 0x49),
    named(0x153, 68, u"Delete", 0x4C),
    named(0x15B, 101, u"Win", 0xE3),
    named(0x15C, 105, u"Right Win", 0xE7),
    named(0x15D, 97, u"App", 0x65),
    // Keys with a row but no place in the pick lists: pointer and application
    // keys, system and media keys, keys of some national layouts.
    named(0x054, 0x8015, u"Sys Req", 0x00),
    named(0x064, 0x8030, u"F13", 0x00),
    named(0x070, 0x801B, u"ROMA (133)", 0x88),
    named(0x071, 0x801C, u"KL", 0x91),
    named(0x072, 0x801D, u"KR", 0x90),
    named(0x073, 0x8017, u"K56", 0x87),
    named(0x079, 0x801A, u"CHG (132)", 0x8A),
    named(0x07B, 0x8019, u"N-CHG (131)", 0x8B),
    named(0x07D, 0x8016, u"K14", 0x89),
    named(0x07E, 0x8018, u"K107", 0x85),
    media(0x110, 0x8024, "MEDIA_PREV_TRACK_4", 0xD0),
    media(0x119, 0x8025, "MEDIA_Next_TRACK_5", 0xD1),
    media(0x120, 0x8028, "MEDIA_MUTE_8", 0xCD),
    media(0x121, 0x801F, "MEDIA_CALC_17", 0xC4),
    media(0x122, 0x8022, "MEDIA_PALY_PAUSE_2", 0xCE),
    media(0x124, 0x8023, "MEDIA_STOP_PALY_3", 0xCF),
    media(0x12E, 0x8027, "MEDIA_V_LOW_6", 0xC1),
    media(0x130, 0x8026, "MEDIA_V_ADD_7", 0xC0),
    media(0x132, 0x8029, "MEDIA_WWW_HOME_9", 0xC7),
    named(0x15E, 0x8001, u"Power", 0x81),
    named(0x15F, 0x8002, u"Sleep", 0x82),
    named(0x163, 0x8003, u"Wake", 0x83),
    media(0x165, 0x802F, "MEDIA_WWW_SEARCH_15", 0xC6),
    media(0x166, 0x802E, "MEDIA_WWW_FAVORITE_14", 0xCC),
    media(0x167, 0x802A, "MEDIA_WWW_REFRESH_10", 0xCB),
    media(0x168, 0x802B, "MEDIA_WWW_STOP_11", 0xCA),
    media(0x169, 0x802D, "MEDIA_WWW_FORWARD_13", 0xC9),
    media(0x16A, 0x802C, "MEDIA_WWW_BACK_12", 0xC8),
    media(0x16B, 0x801E, "MEDIA_MY_PC_16", 0xC5),
    media(0x16C, 0x8020, "MEDIA_MAIL_18", 0xC3),
    media(0x16D, 0x8021, "MEDIA_PALYER_1", 0xC2),
    named(0x16E, 0x8008, u"Pan Left", 0x00),
    named(0x16F, 0x8009, u"Pan Right", 0x00),
    named(0x170, 0x8007, u"Double Click", 0x00),
    named(0x171, 0x8004, u"Left Button", 0x00),
    named(0x172, 0x8005, u"Right Button", 0x00),
    named(0x173, 0x8006, u"Middle Button", 0x00),
    named(0x174, 0x800A, u"Zoom-", 0xD2),
    named(0x175, 0x800B, u"Zoom+", 0xD3),
    named(0x176, 0x800C, u"Copy", 0x00),
    named(0x177, 0x800D, u"Cut", 0x00),
    named(0x178, 0x800E, u"Paste", 0x00),
    named(0x179, 0x800F, u"Minimize", 0x00),
    named(0x17A, 0x8010, u"Maximize", 0x00),
    named(0x17B, 0x8011, u"Word", 0xD4),
    named(0x17C, 0x8012, u"Excel", 0xD5),
    named(0x17D, 0x8013, u"PowerPoint", 0x00),
    named(0x17E, 0x8014, u"Calendar", 0x00),
};

constexpr KeyIndex indexOf(KeyCode code) {
    if (code < 0x100) {
        return code;
    }
    if (code < 0x200) {
        return static_cast<KeyIndex>((code - 0x80) % 256);
    }
    return static_cast<KeyIndex>(code - 0x100);
}

constexpr std::array<KeyTableRow, kKeyTableRowCount> buildKeyTable() {
    std::array<KeyTableRow, kKeyTableRowCount> rows{};
    for (const KeyEntry& entry : kKeyEntries) {
        rows[indexOf(entry.code)] = {entry.keyNumber, entry.name, entry.languageKey, entry.hidCode};
    }
    return rows;
}

constexpr std::array<KeyCode, 256> buildVirtualKeyMap() {
    // clang-format off
    constexpr std::pair<std::uint8_t, KeyCode> kPairs[] = {
        {0x03, 0x146}, {0x08, 0x00E}, {0x09, 0x00F}, {0x0D, 0x01C}, {0x10, 0x02A}, {0x11, 0x01D},
        {0x12, 0x038}, {0x13, 0x045}, {0x14, 0x03A}, {0x1B, 0x001}, {0x20, 0x039}, {0x21, 0x149},
        {0x22, 0x151}, {0x23, 0x14F}, {0x24, 0x147}, {0x25, 0x14B}, {0x26, 0x148}, {0x27, 0x14D},
        {0x28, 0x150}, {0x2C, 0x137}, {0x2D, 0x152}, {0x2E, 0x153},
        // Digits 0..9
        {0x30, 0x00B}, {0x31, 0x002}, {0x32, 0x003}, {0x33, 0x004}, {0x34, 0x005}, {0x35, 0x006},
        {0x36, 0x007}, {0x37, 0x008}, {0x38, 0x009}, {0x39, 0x00A},
        // Letters A..Z
        {0x41, 0x01E}, {0x42, 0x030}, {0x43, 0x02E}, {0x44, 0x020}, {0x45, 0x012}, {0x46, 0x021},
        {0x47, 0x022}, {0x48, 0x023}, {0x49, 0x017}, {0x4A, 0x024}, {0x4B, 0x025}, {0x4C, 0x026},
        {0x4D, 0x032}, {0x4E, 0x031}, {0x4F, 0x018}, {0x50, 0x019}, {0x51, 0x010}, {0x52, 0x013},
        {0x53, 0x01F}, {0x54, 0x014}, {0x55, 0x016}, {0x56, 0x02F}, {0x57, 0x011}, {0x58, 0x02D},
        {0x59, 0x015}, {0x5A, 0x02C}, {0x5B, 0x15B}, {0x5C, 0x15C}, {0x5D, 0x15D}, {0x5F, 0x15F},
        // Numeric pad 0..9 and its operators
        {0x60, 0x052}, {0x61, 0x04F}, {0x62, 0x050}, {0x63, 0x051}, {0x64, 0x04B}, {0x65, 0x04C},
        {0x66, 0x04D}, {0x67, 0x047}, {0x68, 0x048}, {0x69, 0x049}, {0x6A, 0x037}, {0x6B, 0x04E},
        {0x6D, 0x04A}, {0x6E, 0x053}, {0x6F, 0x135},
        // F1..F13, the locks and the modifiers
        {0x70, 0x03B}, {0x71, 0x03C}, {0x72, 0x03D}, {0x73, 0x03E}, {0x74, 0x03F}, {0x75, 0x040},
        {0x76, 0x041}, {0x77, 0x042}, {0x78, 0x043}, {0x79, 0x044}, {0x7A, 0x057}, {0x7B, 0x058},
        {0x7C, 0x064}, {0x90, 0x145}, {0x91, 0x046}, {0xA0, 0x02A}, {0xA1, 0x036}, {0xA2, 0x01D},
        {0xA3, 0x11D}, {0xA4, 0x038}, {0xA5, 0x138},
        // Browser and media keys
        {0xA6, 0x16A}, {0xA7, 0x169}, {0xA8, 0x167}, {0xA9, 0x168}, {0xAA, 0x165}, {0xAB, 0x166},
        {0xAC, 0x132}, {0xAD, 0x120}, {0xAE, 0x12E}, {0xAF, 0x130}, {0xB0, 0x119}, {0xB1, 0x110},
        {0xB2, 0x124}, {0xB3, 0x122}, {0xB4, 0x16C}, {0xB5, 0x16D}, {0xB6, 0x16B}, {0xB7, 0x121},
        // Punctuation and national keys
        {0xBA, 0x027}, {0xBB, 0x00D}, {0xBC, 0x033}, {0xBD, 0x00C}, {0xBE, 0x034}, {0xBF, 0x035},
        {0xC0, 0x029}, {0xC1, 0x073}, {0xC2, 0x07E}, {0xDB, 0x01A}, {0xDC, 0x02B}, {0xDD, 0x01B},
        {0xDE, 0x028}, {0xE2, 0x056}, {0xE9, 0x071}, {0xEB, 0x07B}
    };
    // clang-format on
    std::array<KeyCode, 256> map{};
    for (const auto& [virtualKey, code] : kPairs) {
        map[virtualKey] = code;
    }
    return map;
}

const KeyTableRow* rowOf(KeyCode code) {
    const KeyIndex row = keyIndexOf(code);
    return row < KeyTable.size() ? &KeyTable[row] : nullptr;
}

std::u16string rowName(const KeyTableRow& row) {
    if (!row.languageKey.empty()) {
        return text::languageText(row.languageKey);
    }
    return std::u16string(row.name);
}

// First row whose KeyNumber is number, or the end of the table.
std::size_t firstRowWithNumber(std::uint16_t number) {
    const auto found =
        std::find_if(KeyTable.begin(), KeyTable.end(),
                     [number](const KeyTableRow& row) { return row.keyNumber == number; });
    return static_cast<std::size_t>(found - KeyTable.begin());
}

// The compact HidCode a usage is stored as; 0 when no row could carry it.
std::uint8_t hidCodeOfUsage(HidUsage usage) {
    switch (usage.page) {
    case kKeyboardPage:
        // Values the table reads as another page are no keyboard usage.
        if (usage.usage > 0xFF || (usage.usage >= 0x81 && usage.usage <= 0x83) ||
            (usage.usage >= 0xC0 && usage.usage <= 0xDF)) {
            return 0;
        }
        return static_cast<std::uint8_t>(usage.usage);
    case kGenericDesktopPage:
        return usage.usage >= 0x81 && usage.usage <= 0x83 ? static_cast<std::uint8_t>(usage.usage)
                                                          : 0;
    case kConsumerPage:
        for (std::size_t slot = 0; slot < ConsumerUsageTable.size(); ++slot) {
            if (ConsumerUsageTable[slot] == usage.usage) {
                return static_cast<std::uint8_t>(0xC0 + slot);
            }
        }
        return 0;
    default:
        return 0;
    }
}

} // namespace

constexpr std::array<KeyTableRow, kKeyTableRowCount> KeyTable = buildKeyTable();

constexpr std::array<std::uint16_t, 32> ConsumerUsageTable = {
    0x00E9, 0x00EA, 0x0183, 0x018A, 0x0192, 0x0194, 0x0221, 0x0223, 0x0224,
    0x0225, 0x0226, 0x0227, 0x022A, 0x00E2, 0x00CD, 0x00B7, 0x00B6, 0x00B5,
};

constexpr std::array<KeyCode, 256> VirtualKeyMap = buildVirtualKeyMap();

constexpr std::array<KeyCode, 8> ModifierKeyCodes = {0x01D, 0x02A, 0x038, 0x15B,
                                                     0x11D, 0x036, 0x138, 0x15C};

KeyIndex keyIndexOf(KeyCode code) {
    return indexOf(code);
}

KeyCode keyCodeOfIndex(KeyIndex row) {
    if (row < 128) {
        return row;
    }
    if (row < 256) {
        return static_cast<KeyCode>(row + 128);
    }
    return static_cast<KeyCode>(row + 0x100);
}

std::u16string keyName(KeyCode code) {
    const KeyTableRow* row = rowOf(code);
    std::u16string name = row != nullptr ? rowName(*row) : std::u16string();
    if (name.empty()) {
        name = unknownKeyText(text::languageText("UNKNOWN_KEY"), code);
    }
    return name;
}

std::size_t keyName(KeyCode code, char16_t* buffer, std::size_t capacity) {
    if (buffer == nullptr || capacity == 0) {
        return 0;
    }
    const std::u16string name = keyName(code);
    const std::size_t length = std::min(name.size(), capacity - 1);
    std::copy_n(name.begin(), length, buffer);
    buffer[length] = u'\0';
    return length;
}

std::u16string keyNameByNumber(std::uint16_t number) {
    const std::size_t row = firstRowWithNumber(number);
    return row < KeyTable.size() ? rowName(KeyTable[row]) : std::u16string();
}

KeyCode keyCodeByNumber(std::uint16_t number) {
    const std::size_t row = firstRowWithNumber(number);
    return row < KeyTable.size() ? keyCodeOfIndex(static_cast<KeyIndex>(row)) : 0;
}

std::uint16_t keyNumberOf(KeyCode code) {
    const KeyTableRow* row = rowOf(code);
    return row != nullptr ? row->keyNumber : kNoKeyNumber;
}

HidUsage hidUsageOf(KeyCode code) {
    const KeyTableRow* row = rowOf(code);
    const std::uint8_t hid = row != nullptr ? row->hidCode : 0;
    if (hid == 0x00 || hid == 0xFF) {
        return {};
    }
    if (hid >= 0x81 && hid <= 0x83) {
        return {kGenericDesktopPage, hid};
    }
    if (hid >= 0xC0 && hid <= 0xDF) {
        return {kConsumerPage, ConsumerUsageTable[hid - 0xC0]};
    }
    return {kKeyboardPage, hid};
}

KeyCode keyCodeOfHidUsage(HidUsage usage) {
    // The first match wins: Pause before Break, 0x036 before 0x136.
    const std::uint8_t target = hidCodeOfUsage(usage);
    for (std::size_t row = 0; row < KeyTable.size(); ++row) {
        if (KeyTable[row].hidCode == target) {
            return keyCodeOfIndex(static_cast<KeyIndex>(row));
        }
    }
    return 0;
}

KeyCode keyCodeOfModifierBits(ModifierBits bits) {
    for (std::size_t bit = 0; bit < ModifierKeyCodes.size(); ++bit) {
        if ((bits & (1u << bit)) != 0) {
            return ModifierKeyCodes[bit];
        }
    }
    return 0;
}

ModifierBits modifierBitOf(KeyCode code) {
    for (std::size_t bit = 0; bit < ModifierKeyCodes.size(); ++bit) {
        if (ModifierKeyCodes[bit] == code) {
            return static_cast<ModifierBits>(1u << bit);
        }
    }
    return 0;
}

KeyCode keyCodeOfVirtualKey(std::uint32_t virtualKey) {
    return VirtualKeyMap[virtualKey & 0xFF];
}

KeyCode keyCodeFromMessage(std::uint32_t virtualKey, std::uint32_t keystrokeParameter) {
    const auto scan = static_cast<KeyCode>((keystrokeParameter >> 16) & 0x1FF);
    KeyCode code = scan;
    if ((scan & 0xFF) == 0 && (virtualKey & 0xFF) != 0xFF) {
        code = keyCodeOfVirtualKey(virtualKey);
    }
    switch (code) {
    case 0x146: // Break is recorded as Pause
        return 0x045;
    case 0x054: // Sys Req is recorded as Print Screen
        return 0x137;
    case 0x136: // the second Right Shift row
        return 0x036;
    default:
        return code;
    }
}

bool isReleaseOnlyKey(KeyCode code) {
    return code == 0x054 || code == 0x071 || code == 0x072 || code == 0x137;
}

} // namespace tavrik::keyboard
