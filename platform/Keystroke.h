#pragma once
// A key event as the keyboard model reads it: a virtual-key code and the
// 32-bit keystroke parameter of a keystroke message (repeat count in bits
// 0..15, scan code in bits 16..23, extended flag in bit 24, previous key
// state in bit 30, release in bit 31). The desktop reports keys by their
// XKB keycode, the Linux input code plus 8; this file turns that into the
// keyboard's scan code set 1 make code with the extended (0xE0) flag.

#include <cstdint>

namespace tavrik::platform {

struct Keystroke {
    std::uint32_t virtualKey = 0;
    std::uint32_t parameter = 0;

    friend bool operator==(const Keystroke&, const Keystroke&) = default;
};

inline constexpr std::uint32_t kExtendedScanCode = 0x100;
inline constexpr std::uint32_t kKeystrokeExtendedBit = 1u << 24;
inline constexpr std::uint32_t kKeystrokePreviousDownBit = 1u << 30;
inline constexpr std::uint32_t kKeystrokeReleaseBit = 1u << 31;

// XKB keycodes are the Linux input codes shifted by this.
inline constexpr std::uint32_t kXkbKeycodeOffset = 8;

// The scan code of a key given by its XKB keycode: the make code, plus
// kExtendedScanCode for keys whose make code carries the 0xE0 prefix; 0 for
// a keycode no keyboard key has. Num Lock is reported extended and Pause
// plain, as the keyboard's own tables count them.
std::uint32_t scanCodeOfXkbKeycode(std::uint32_t xkbKeycode);

// The keystroke of one event. `scanCode` as scanCodeOfXkbKeycode gives it;
// `autoRepeat` marks a press of a key that is already down.
Keystroke makeKeystroke(std::uint32_t virtualKey, std::uint32_t scanCode, bool release,
                        bool autoRepeat);

inline bool isRelease(const Keystroke& keystroke) {
    return (keystroke.parameter & kKeystrokeReleaseBit) != 0;
}
inline bool isAutoRepeat(const Keystroke& keystroke) {
    return !isRelease(keystroke) && (keystroke.parameter & kKeystrokePreviousDownBit) != 0;
}

} // namespace tavrik::platform
