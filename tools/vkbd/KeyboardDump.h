#pragma once
// The virtual keyboard's memory in readable form: device information, each
// key map page decoded record by record (marking what differs from the
// default layout), the macro area with its macros, the lighting records, the
// zone colours and the LED report.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tavrik::vkbd {

// The raw areas as the control socket gives them ("dump raw <area>").
struct KeyboardAreas {
    std::vector<std::uint8_t> info;
    std::array<std::vector<std::uint8_t>, 3> pages;
    std::vector<std::uint8_t> layout;
    std::vector<std::uint8_t> macro;
    std::vector<std::uint8_t> lighting;
    std::vector<std::uint8_t> zones;
    std::vector<std::uint8_t> led;
};

// Names of the areas in the order the fields above list them.
inline constexpr std::array<const char*, 9> kAreaNames = {
    "info", "page0", "page1", "page2", "layout", "macro", "lighting", "zones", "led"};

// What a key map record means: "off", "key A", "modifier Left Shift",
// "media usage 0x00CD (Play/Pause)", "macro 2", "stop macro", "function 9",
// "G key A3", or "no key (05 00 00)" for records that name none.
std::string describeKeyRecord(std::uint8_t kind, std::uint8_t b1, std::uint8_t b2);

// The whole dump. Areas shorter than expected are reported, never read past.
std::string describeKeyboard(const KeyboardAreas& areas);

} // namespace tavrik::vkbd
