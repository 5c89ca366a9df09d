#include "app/compositeeditor/CompositePlacement.h"

#include <algorithm>
#include <array>

namespace tavrik::app {
namespace {

// The four corners beside the button, in the order they are tried.
std::array<QPoint, 4> cornersBeside(const QRect& button, const QSize& dialog) {
    // Edges as a rectangle's outer bounds: right and bottom lie just past it.
    const int right = button.x() + button.width();
    const int bottom = button.y() + button.height();
    return {
        QPoint(right, bottom),
        QPoint(right, button.y() - dialog.height()),
        QPoint(button.x() - dialog.width(), bottom),
        QPoint(button.x() - dialog.width(), button.y() - dialog.height()),
    };
}

bool lieWithin(const QRect& rectangle, const QRegion& area) {
    return (QRegion(rectangle) - area).isEmpty();
}

// `from` moved the least along one axis to bring the dialog inside `bounds`.
int slideInto(int from, int length, int boundsStart, int boundsLength) {
    return std::clamp(from, boundsStart,
                      std::max(boundsStart, boundsStart + boundsLength - length));
}

} // namespace

QPoint placeBesideButton(const QRect& button, const QSize& dialog, const QRect& screen) {
    const std::array<QPoint, 4> corners = cornersBeside(button, dialog);
    for (const QPoint& corner : corners) {
        if (screen.contains(QRect(corner, dialog))) {
            return corner;
        }
    }
    return corners.front();
}

QPoint placeBesideButtonWithin(const QRect& button, const QSize& dialog, const QRegion& area) {
    const std::array<QPoint, 4> corners = cornersBeside(button, dialog);
    for (const QPoint& corner : corners) {
        if (lieWithin(QRect(corner, dialog), area)) {
            return corner;
        }
    }
    const QRect bounds = area.boundingRect();
    const QPoint first = corners.front();
    const int slidY = slideInto(first.y(), dialog.height(), bounds.y(), bounds.height());
    const int slidX = slideInto(first.x(), dialog.width(), bounds.x(), bounds.width());
    const int left = button.x() - dialog.width();
    const int above = button.y() - dialog.height();
    // Right of the button and left of it, as low as fits; then below and
    // above it, as far right as fits.
    const std::array<QPoint, 4> sides = {
        QPoint(first.x(), slidY),
        QPoint(left, slidY),
        QPoint(slidX, first.y()),
        QPoint(slidX, above),
    };
    for (const QPoint& side : sides) {
        const QRect place(side, dialog);
        if (lieWithin(place, area) && !place.intersects(button)) {
            return side;
        }
    }
    return QPoint(slidX, slidY);
}

bool windowsPlaceThemselves(std::string_view platformName) {
    return !platformName.starts_with("wayland");
}

} // namespace tavrik::app
