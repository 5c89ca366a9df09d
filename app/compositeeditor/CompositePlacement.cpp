#include "app/compositeeditor/CompositePlacement.h"

#include <array>

namespace tavrik::app {

QPoint placeBesideButton(const QRect& button, const QSize& dialog, const QRect& screen) {
    // Edges as a rectangle's outer bounds: right and bottom lie just past it.
    const int right = button.x() + button.width();
    const int bottom = button.y() + button.height();
    const std::array<QPoint, 4> corners = {
        QPoint(right, bottom),
        QPoint(right, button.y() - dialog.height()),
        QPoint(button.x() - dialog.width(), bottom),
        QPoint(button.x() - dialog.width(), button.y() - dialog.height()),
    };
    for (const QPoint& corner : corners) {
        if (screen.contains(QRect(corner, dialog))) {
            return corner;
        }
    }
    return corners.front();
}

} // namespace tavrik::app
