#include "lighting/Zones.h"

#include "keyboard/PanelKeyList.h"

#include <array>
#include <utility>

namespace tavrik::lighting {
namespace {

using keyboard::KeyCode;

// Keys by zone. The right Windows key is in none: the keyboard's zones
// leave it out.
// clang-format off
constexpr std::array<std::pair<KeyCode, int>, 104> kZoneOfKey = {{
    // 0: Esc, `, Tab, Caps Lock, left Shift, left Ctrl, 1, Q, A, K45, left Win
    {0x001, 0}, {0x029, 0}, {0x00F, 0}, {0x03A, 0}, {0x02A, 0}, {0x01D, 0}, {0x002, 0},
    {0x010, 0}, {0x01E, 0}, {0x056, 0}, {0x15B, 0},
    // 1: F1..F4, 2..5, W E R T, S D F G, Z X C V, left Alt
    {0x03B, 1}, {0x03C, 1}, {0x03D, 1}, {0x03E, 1}, {0x003, 1}, {0x004, 1}, {0x005, 1},
    {0x006, 1}, {0x011, 1}, {0x012, 1}, {0x013, 1}, {0x014, 1}, {0x01F, 1}, {0x020, 1},
    {0x021, 1}, {0x022, 1}, {0x02C, 1}, {0x02D, 1}, {0x02E, 1}, {0x02F, 1}, {0x038, 1},
    // 2: F5..F7, 6..8, Y U I, H J K, B N M, Space
    {0x03F, 2}, {0x040, 2}, {0x041, 2}, {0x007, 2}, {0x008, 2}, {0x009, 2}, {0x015, 2},
    {0x016, 2}, {0x017, 2}, {0x023, 2}, {0x024, 2}, {0x025, 2}, {0x030, 2}, {0x031, 2},
    {0x032, 2}, {0x039, 2},
    // 3: F8..F10, 9, 0, -, O, P, [, L, ;, ', comma, period, /, right Alt
    {0x042, 3}, {0x043, 3}, {0x044, 3}, {0x00A, 3}, {0x00B, 3}, {0x00C, 3}, {0x018, 3},
    {0x019, 3}, {0x01A, 3}, {0x026, 3}, {0x027, 3}, {0x028, 3}, {0x033, 3}, {0x034, 3},
    {0x035, 3}, {0x138, 3},
    // 4: F11, F12, =, Backspace, ], Enter, backslash, right Shift, App,
    // right Ctrl, Print, Scroll, Insert, Home, Delete, End, up, down, left
    {0x057, 4}, {0x058, 4}, {0x00D, 4}, {0x00E, 4}, {0x01B, 4}, {0x01C, 4}, {0x02B, 4},
    {0x036, 4}, {0x15D, 4}, {0x11D, 4}, {0x137, 4}, {0x046, 4}, {0x152, 4}, {0x147, 4},
    {0x153, 4}, {0x14F, 4}, {0x148, 4}, {0x150, 4}, {0x14B, 4},
    // 5: Pause, Page Up, Page Down, right, the numeric keypad
    {0x045, 5}, {0x149, 5}, {0x151, 5}, {0x14D, 5}, {0x145, 5}, {0x135, 5}, {0x037, 5},
    {0x04A, 5}, {0x047, 5}, {0x048, 5}, {0x049, 5}, {0x04E, 5}, {0x04B, 5}, {0x04C, 5},
    {0x04D, 5}, {0x04F, 5}, {0x050, 5}, {0x051, 5}, {0x11C, 5}, {0x052, 5}, {0x053, 5},
}};
// clang-format on

// G1..G6 light with zone 0, Fn with zone 3.
constexpr std::size_t kZonedGKeys = 6;
constexpr int kGKeyZone = 0;
constexpr int kFnZone = 3;

} // namespace

int zoneOfKey(KeyCode code) {
    for (const auto& [key, zone] : kZoneOfKey) {
        if (key == code) {
            return zone;
        }
    }
    return -1;
}

int zoneOfButton(int buttonId) {
    if (buttonId == kFnButtonId) {
        return kFnZone;
    }
    if (const auto g = keyboard::gButtonIndexOf(buttonId)) {
        return *g < kZonedGKeys ? kGKeyZone : -1;
    }
    if (const auto position = keyboard::panelPositionOf(buttonId)) {
        return zoneOfKey(keyboard::PanelKeyList[*position].code);
    }
    return -1;
}

std::vector<int> buttonsOfZone(int zone) {
    std::vector<int> buttons;
    for (const keyboard::PanelKey& key : keyboard::PanelKeyList) {
        if (zoneOfKey(key.code) == zone) {
            buttons.push_back(key.buttonId);
        }
    }
    for (std::size_t g = 0; g < kZonedGKeys && zone == kGKeyZone; ++g) {
        buttons.push_back(keyboard::GButtonIds[g]);
    }
    if (zone == kFnZone) {
        buttons.push_back(kFnButtonId);
    }
    return buttons;
}

} // namespace tavrik::lighting
