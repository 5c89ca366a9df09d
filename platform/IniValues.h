#pragma once
// The two value formats the program reads from its INI files besides plain
// text: decimal integers and layout rectangles.

#include "platform/IniFile.h"

#include <string_view>

namespace tavrik::platform {

// Blanks, an optional sign and decimal digits, read up to the first other
// character; text that does not start that way is 0. A number too large
// for int is clamped to the int range.
int parseIniInteger(std::u16string_view text);

int readIniInteger(const IniFile& file, std::u16string_view section, std::u16string_view key,
                   std::u16string_view defaultValue);
int readIniInteger(const IniSnapshot& file, std::u16string_view section, std::u16string_view key,
                   std::u16string_view defaultValue);

// A control's place in client coordinates: "x,y,w,h" in section
// "BUTTONINFO" of a layout file.
struct LayoutRectangle {
    int x = 1;
    int y = 1;
    int width = 1;
    int height = 1;

    friend bool operator==(const LayoutRectangle&, const LayoutRectangle&) = default;
};

// What a missing key reads as: the rectangle (1, 1, 1, 1).
inline constexpr std::u16string_view kDefaultLayoutRectangle = u"1,1,1,1,x";
inline constexpr std::u16string_view kLayoutSection = u"BUTTONINFO";

// Four decimal numbers separated by commas, each number optionally preceded
// by blanks; whatever follows the fourth is ignored. A value that does not
// give all four numbers reads as the default rectangle, so a control is never
// placed from half a value.
LayoutRectangle parseLayoutRectangle(std::u16string_view text);

LayoutRectangle readLayoutRectangle(const IniFile& file, std::u16string_view section,
                                    std::u16string_view key);
LayoutRectangle readLayoutRectangle(const IniSnapshot& file, std::u16string_view section,
                                    std::u16string_view key);

} // namespace tavrik::platform
