// A key painted with a zone colour keeps a legend that can be read: the
// tint goes on the face, the legend is drawn in black or white, and a
// caption keeps its colour only where it stands out.

#include "ui/OverlayContrast.h"

#include "tests/support/GuiTestApplication.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace tavrik::ui {
namespace {

// A key as the skin draws it: a dark face with a light legend in the middle.
QImage keyPicture() {
    QImage key(40, 40, QImage::Format_RGB32);
    key.fill(QColor(0x3a, 0x41, 0x4a));
    QPainter painter(&key);
    painter.fillRect(QRect(15, 15, 10, 10), QColor(0xdf, 0xe5, 0xec));
    return key;
}

TEST(OverlayContrast, LegendsStayReadableOnEveryZoneColour) {
    const QImage key = keyPicture();
    // 0x00BBGGRR, as the lighting records hold colours.
    for (const std::uint32_t colour :
         {0xFFFFFFu, 0x0000FFu, 0x00FF00u, 0xFF0000u, 0x00FFFFu, 0x808080u, 0x000000u}) {
        const QImage shown = overlaidPiece(key, ColourOverlay{true, colour, 50});
        const QColor face = shown.pixelColor(3, 3);
        const QColor legend = shown.pixelColor(20, 20);
        EXPECT_GE(contrastRatio(face, legend), 3.0) << std::hex << colour;
        // The face shows the zone's colour.
        EXPECT_EQ(face, overlaidFaceColour(key, ColourOverlay{true, colour, 50}));
    }
    // Without an overlay the picture is unchanged.
    EXPECT_EQ(overlaidPiece(key, ColourOverlay{}), key.convertToFormat(QImage::Format_ARGB32));
}

TEST(OverlayContrast, ACaptionKeepsItsColourWhereItStandsOut) {
    const QColor cyan(0x2b, 0xc4, 0xe8);
    const struct {
        QColor background;
        QColor shown;
    } cases[] = {
        {QColor(0x3a, 0x41, 0x4a), cyan},      // the dark key
        {QColor(0x9c, 0xa1, 0xa5), Qt::black}, // a light grey zone
        {QColor(0x9c, 0x20, 0x25), cyan},      // a red zone
        {QColor(0x10, 0x30, 0x60), cyan},      // a dark blue zone
        {QColor(0x2b, 0xc4, 0xe8), Qt::black}, // its own colour
    };
    for (const auto& entry : cases) {
        EXPECT_EQ(readableOn(entry.background, cyan), entry.shown)
            << entry.background.name().toStdString();
    }
}

} // namespace
} // namespace tavrik::ui
