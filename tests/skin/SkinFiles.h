#pragma once
// Access to the generated skin in the build's bin folder, and the few
// measures the skin tests take of its layout files and pictures.

#include "platform/IniFile.h"

#include <QImage>
#include <QRect>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

// Readable failure messages for the Qt values the tests compare.
inline void PrintTo(const QRect& rect, std::ostream* out) {
    *out << rect.x() << "," << rect.y() << "," << rect.width() << "," << rect.height();
}
inline void PrintTo(const QSize& size, std::ostream* out) {
    *out << size.width() << " x " << size.height();
}

namespace tavrik::skintest {

std::string skinPath(std::string_view name);

// The layout file's text as it is now.
platform::IniSnapshot layoutFile(std::string_view name);

// The BUTTONINFO rectangle of `key`, read as the program reads it.
QRect buttonRect(const platform::IniSnapshot& file, std::string_view key);
QRect sectionRect(const platform::IniSnapshot& file, std::u16string_view section,
                  std::string_view key);

// A value of the file; `missing` when the key is not there.
std::u16string readValue(const platform::IniSnapshot& file, std::u16string_view section,
                         std::string_view key);
inline constexpr std::u16string_view kMissing = u"\x01missing";

// The picture `name` of the skin folder; a null image when it cannot be read.
QImage skinImage(std::string_view name);

// The picture named by key `key` of section SCREEN.
QImage screenImage(const platform::IniSnapshot& file, std::string_view key);

// Mean absolute difference of the colour channels of two pictures over `piece`, 0..255.
double meanDifference(const QImage& first, const QImage& second, const QRect& piece);

// The piece an image button shows from its state image: its rectangle one
// pixel up and to the left.
inline QRect shownPiece(const QRect& rect) {
    return rect.translated(-1, -1);
}

// Pairs of keys whose rectangles overlap, as "A / B".
std::vector<std::string> overlappingPairs(const platform::IniSnapshot& file,
                                          const std::vector<std::string>& keys);

std::u16string toU16(std::string_view text);
std::string toUtf8(std::u16string_view text);

} // namespace tavrik::skintest
