#include "platform/Keystroke.h"

#include <array>
#include <utility>

namespace tavrik::platform {
namespace {

constexpr std::uint32_t E0 = kExtendedScanCode;

// Linux input codes whose scan code is not the code itself. Codes 1..83
// (Esc to Num .) are the make codes of the keys they name, except Num Lock.
constexpr std::pair<std::uint16_t, std::uint16_t> kScanCodesByInputCode[] = {
    {69, E0 | 0x45},  // Num Lock
    {85, 0x76},       // Zenkaku/Hankaku
    {86, 0x56},       // the key beside left Shift on 102-key boards
    {87, 0x57},       // F11
    {88, 0x58},       // F12
    {89, 0x73},       // Ro
    {90, 0x78},       // Katakana
    {91, 0x77},       // Hiragana
    {92, 0x79},       // Henkan
    {93, 0x70},       // Katakana/Hiragana
    {94, 0x7B},       // Muhenkan
    {95, 0x5C},       // keypad Japanese comma
    {96, E0 | 0x1C},  // Num Enter
    {97, E0 | 0x1D},  // right Ctrl
    {98, E0 | 0x35},  // Num /
    {99, E0 | 0x37},  // Print Screen (SysRq with Alt)
    {100, E0 | 0x38}, // right Alt
    {102, E0 | 0x47}, // Home
    {103, E0 | 0x48}, // Up
    {104, E0 | 0x49}, // Page Up
    {105, E0 | 0x4B}, // Left
    {106, E0 | 0x4D}, // Right
    {107, E0 | 0x4F}, // End
    {108, E0 | 0x50}, // Down
    {109, E0 | 0x51}, // Page Down
    {110, E0 | 0x52}, // Insert
    {111, E0 | 0x53}, // Delete
    {113, E0 | 0x20}, // Mute
    {114, E0 | 0x2E}, // Volume Down
    {115, E0 | 0x30}, // Volume Up
    {116, E0 | 0x5E}, // Power
    {117, 0x59},      // keypad =
    {119, 0x45},      // Pause (Break with Ctrl)
    {121, 0x7E},      // keypad comma
    {122, 0x72},      // Hangul
    {123, 0x71},      // Hanja
    {124, 0x7D},      // Yen
    {125, E0 | 0x5B}, // left Meta (Windows key)
    {126, E0 | 0x5C}, // right Meta
    {127, E0 | 0x5D}, // Menu (application key)
    {128, E0 | 0x68}, // browser Stop
    {140, E0 | 0x21}, // Calculator
    {142, E0 | 0x5F}, // Sleep
    {143, E0 | 0x63}, // Wake
    {155, E0 | 0x6C}, // Mail
    {156, E0 | 0x66}, // Bookmarks
    {157, E0 | 0x6B}, // My Computer
    {158, E0 | 0x6A}, // browser Back
    {159, E0 | 0x69}, // browser Forward
    {163, E0 | 0x19}, // Next Track
    {164, E0 | 0x22}, // Play/Pause
    {165, E0 | 0x10}, // Previous Track
    {166, E0 | 0x24}, // Stop
    {171, E0 | 0x6D}, // media player (Consumer Control Configuration)
    {172, E0 | 0x32}, // browser Home
    {173, E0 | 0x67}, // browser Refresh
    {183, 0x64},      // F13
    {184, 0x65},      // F14
    {185, 0x66},      // F15
    {186, 0x67},      // F16
    {187, 0x68},      // F17
    {188, 0x69},      // F18
    {189, 0x6A},      // F19
    {190, 0x6B},      // F20
    {191, 0x6C},      // F21
    {192, 0x6D},      // F22
    {193, 0x6E},      // F23
    {194, 0x76},      // F24
    {210, E0 | 0x37}, // Print
    {217, E0 | 0x65}, // browser Search
    {226, E0 | 0x6D}, // media player
};

constexpr std::uint32_t kLastPlainInputCode = 83;

} // namespace

std::uint32_t scanCodeOfXkbKeycode(std::uint32_t xkbKeycode) {
    if (xkbKeycode <= kXkbKeycodeOffset) {
        return 0;
    }
    const std::uint32_t inputCode = xkbKeycode - kXkbKeycodeOffset;
    for (const auto& [code, scan] : kScanCodesByInputCode) {
        if (code == inputCode) {
            return scan;
        }
    }
    return inputCode <= kLastPlainInputCode ? inputCode : 0;
}

Keystroke makeKeystroke(std::uint32_t virtualKey, std::uint32_t scanCode, bool release,
                        bool autoRepeat) {
    std::uint32_t parameter = 1; // repeat count
    parameter |= (scanCode & 0xFF) << 16;
    if ((scanCode & kExtendedScanCode) != 0) {
        parameter |= kKeystrokeExtendedBit;
    }
    // A release always follows a key that was down.
    if (release || autoRepeat) {
        parameter |= kKeystrokePreviousDownBit;
    }
    if (release) {
        parameter |= kKeystrokeReleaseBit;
    }
    return {virtualKey, parameter};
}

} // namespace tavrik::platform
