#pragma once
// The window shape of a mask image: every pixel whose colour is not exactly
// white (0xFFFFFF) belongs to the window. An uncompressed 24- or 32-bit BMP
// (the skin's masks) is read straight from its bytes; the shape is wanted
// just before the window first shows, and decoding a whole-window bitmap
// through the image plug-ins took most of that moment.

#include <QImage>
#include <QRegion>
#include <string>

namespace tavrik::ui {

// A null image gives an empty region.
QRegion regionFromMask(const QImage& mask);

// The shape of the mask image in the file at `path`; empty when the file
// cannot be read, holds no picture or is a BMP cut short.
QRegion regionFromMaskFile(const std::string& path);

} // namespace tavrik::ui
