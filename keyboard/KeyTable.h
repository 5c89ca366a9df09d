#pragma once
// Key codes, their names and their HID usages.
//
// A KeyCode is the key's scan code set 1 make code as keystroke messages
// report it, plus 0x100 for keys whose make code carries the 0xE0 prefix;
// 0x200 + slot names one of the eighteen G-key slots; 0 is no key.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tavrik::keyboard {

using KeyCode = std::uint16_t;
// Row of a code: 0..255 in the KeyTable, 0..511 in an assignment layer.
using KeyIndex = std::uint16_t;
// The modifier byte of the HID boot keyboard report.
using ModifierBits = std::uint8_t;

inline constexpr std::size_t kKeyTableRowCount = 256;
inline constexpr std::size_t kPickListLength = 106;
inline constexpr std::uint16_t kNoKeyNumber = 0xFFFF;
// Callers size their name buffers for this many characters with the terminator.
inline constexpr std::size_t kKeyNameCapacity = 260;

inline constexpr std::uint16_t kKeyboardPage = 0x07;
inline constexpr std::uint16_t kGenericDesktopPage = 0x01;
inline constexpr std::uint16_t kConsumerPage = 0x0C;

struct HidUsage {
    std::uint16_t page = 0;
    std::uint16_t usage = 0;
    friend constexpr bool operator==(const HidUsage&, const HidUsage&) = default;
};

struct KeyTableRow {
    // Position in every key pick list (0..105), 0x8001..0x8030 for keys never
    // offered there, 0xFFFF for an empty row.
    std::uint16_t keyNumber = kNoKeyNumber;
    // Fixed name; empty for empty rows and for the media rows.
    std::u16string_view name;
    // The media rows are named by this language text instead.
    std::string_view languageKey;
    // Compact HID usage: 0x00/0xFF none, 0x81..0x83 Generic Desktop,
    // 0xC0..0xDF a ConsumerUsageTable slot, anything else Keyboard page.
    std::uint8_t hidCode = 0;
};

extern const std::array<KeyTableRow, kKeyTableRowCount> KeyTable;
extern const std::array<std::uint16_t, 32> ConsumerUsageTable;
// Virtual-key code to the code of the key it stands for, or 0.
extern const std::array<KeyCode, 256> VirtualKeyMap;
// The eight modifier keys in ModifierBits order: bit i belongs to entry i.
extern const std::array<KeyCode, 8> ModifierKeyCodes;

KeyIndex keyIndexOf(KeyCode code);
// Inverse of keyIndexOf: rows 0..255 give the KeyTable codes, rows from 256
// on (the G-key rows 256..273 among them) give row + 0x100.
KeyCode keyCodeOfIndex(KeyIndex row);

// The name of a code; a code without one (an empty row, a G key) gets the
// language text "UNKNOWN_KEY" with the code in lower-case hex ("Unknown Key:
// 05a"). The eighteen media rows show their language text as the slot holds
// it: the built-in default until the language file is loaded, afterwards
// what the loader put there, also for a key the file lacks.
std::u16string keyName(KeyCode code);
// The same into a caller's buffer, terminated. A name longer than
// capacity - 1 characters is cut so that the terminator still fits; with
// capacity 0 nothing is written. Returns the number of characters written
// without the terminator.
std::size_t keyName(KeyCode code, char16_t* buffer, std::size_t capacity);

// Name of the first row whose KeyNumber is number; empty if there is none.
std::u16string keyNameByNumber(std::uint16_t number);
// Code of the first row whose KeyNumber is number; 0 if there is none.
KeyCode keyCodeByNumber(std::uint16_t number);
// KeyNumber of the code's row; 0xFFFF for codes outside the KeyTable.
std::uint16_t keyNumberOf(KeyCode code);

// Page 0 usage 0 for a key without a usage.
HidUsage hidUsageOf(KeyCode code);
// The first row, lowest index first, that carries the usage; 0 when none
// does. A Keyboard page usage that the compact HidCode reads as another page
// (0x81..0x83, 0xC0..0xDF) or that exceeds 0xFF names no key.
KeyCode keyCodeOfHidUsage(HidUsage usage);

// Code of the lowest set bit; 0 when no bit is set.
KeyCode keyCodeOfModifierBits(ModifierBits bits);
// The bit of a modifier key; 0 for every other code.
ModifierBits modifierBitOf(KeyCode code);

KeyCode keyCodeOfVirtualKey(std::uint32_t virtualKey);
// Code of a keystroke from its virtual-key code and the 32-bit keystroke
// parameter (scan code in bits 16..23, extended flag in bit 24).
KeyCode keyCodeFromMessage(std::uint32_t virtualKey, std::uint32_t keystrokeParameter);

// Keys whose keystroke arrives as a release only; recorders add the press.
bool isReleaseOnlyKey(KeyCode code);

} // namespace tavrik::keyboard
