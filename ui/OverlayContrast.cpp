#include "ui/OverlayContrast.h"

#include <algorithm>
#include <cmath>

namespace tavrik::ui {
namespace {

// Grey levels between which a pixel goes from face to legend: the skin's
// faces and edges lie below the first, its legends above the second, and
// their smoothed edges between.
constexpr int kFaceGrey = 110;
constexpr int kLegendGrey = 180;

double channel(int value) {
    const double v = value / 255.0;
    return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& colour) {
    return 0.2126 * channel(colour.red()) + 0.7152 * channel(colour.green()) +
           0.0722 * channel(colour.blue());
}

// How much of a legend a pixel is, 0 to 1.
double legendShare(QRgb pixel) {
    return std::clamp((qGray(pixel) - kFaceGrey) / double(kLegendGrey - kFaceGrey), 0.0, 1.0);
}

QColor tintColour(const ColourOverlay& overlay) {
    return QColor(static_cast<int>(overlay.colour & 0xFF),
                  static_cast<int>((overlay.colour >> 8) & 0xFF),
                  static_cast<int>((overlay.colour >> 16) & 0xFF));
}

double tintShare(const ColourOverlay& overlay) {
    return std::clamp(overlay.level, 0, 100) / 100.0;
}

int mixed(int from, int to, double share) {
    return static_cast<int>(std::lround(from + (to - from) * share));
}

QColor mixedColour(const QColor& from, const QColor& to, double share) {
    return QColor(mixed(from.red(), to.red(), share), mixed(from.green(), to.green(), share),
                  mixed(from.blue(), to.blue(), share));
}

} // namespace

double contrastRatio(const QColor& first, const QColor& second) {
    const double a = luminance(first);
    const double b = luminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QColor readableOn(const QColor& background, const QColor& preferred) {
    if (contrastRatio(background, preferred) >= 3.0) {
        return preferred;
    }
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return contrastRatio(background, black) >= contrastRatio(background, white) ? black : white;
}

QColor overlaidFaceColour(const QImage& piece, const ColourOverlay& overlay) {
    const QImage pixels = piece.convertToFormat(QImage::Format_RGB32);
    double red = 0;
    double green = 0;
    double blue = 0;
    double count = 0;
    for (int y = 0; y < pixels.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        for (int x = 0; x < pixels.width(); ++x) {
            const double face = 1.0 - legendShare(line[x]);
            red += qRed(line[x]) * face;
            green += qGreen(line[x]) * face;
            blue += qBlue(line[x]) * face;
            count += face;
        }
    }
    const auto average = [count](double sum) { return static_cast<int>(std::lround(sum / count)); };
    const QColor mean =
        count > 0 ? QColor(average(red), average(green), average(blue)) : QColor(Qt::black);
    return overlay.on ? mixedColour(mean, tintColour(overlay), tintShare(overlay)) : mean;
}

QImage overlaidPiece(const QImage& piece, const ColourOverlay& overlay) {
    QImage result = piece.convertToFormat(QImage::Format_ARGB32);
    if (!overlay.on) {
        return result;
    }
    const QColor tint = tintColour(overlay);
    const double share = tintShare(overlay);
    const QColor legend = readableOn(overlaidFaceColour(piece, overlay), QColor(Qt::white));
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            const QRgb pixel = line[x];
            const QColor tinted = mixedColour(QColor(pixel), tint, share);
            const QColor shown = mixedColour(tinted, legend, legendShare(pixel));
            line[x] = qRgba(shown.red(), shown.green(), shown.blue(), qAlpha(pixel));
        }
    }
    return result;
}

} // namespace tavrik::ui
