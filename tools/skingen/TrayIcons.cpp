#include "tools/skingen/TrayIcons.h"

#include "tools/skingen/SkinStyle.h"

#include <QPainter>

namespace tavrik::skingen {

QImage renderTrayIcon(TrayState state, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    style::prepare(painter);
    const qreal s = size;
    const QRectF body(s * 0.04, s * 0.22, s * 0.92, s * 0.56);
    // A dark outline keeps the sign readable on light and dark panels alike.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x0e, 0x10, 0x13));
    painter.drawRoundedRect(body.adjusted(-s * 0.03, -s * 0.03, s * 0.03, s * 0.03), s * 0.12,
                            s * 0.12);
    switch (state) {
    case TrayState::NoKeyboard: {
        style::drawKeyboardSign(painter, body, QColor(0x6b, 0x72, 0x7b), QColor(0x2a, 0x2e, 0x33));
        // A red bar across the sign: no keyboard is connected.
        painter.setPen(QPen(QColor(0x0e, 0x10, 0x13), s * 0.16, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(s * 0.16, s * 0.86), QPointF(s * 0.84, s * 0.14));
        painter.setPen(QPen(QColor(0xe5, 0x39, 0x35), s * 0.09, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(s * 0.16, s * 0.86), QPointF(s * 0.84, s * 0.14));
        break;
    }
    case TrayState::KeyboardPresent:
        style::drawKeyboardSign(painter, body, style::kAccent, QColor(0x0e, 0x2a, 0x33));
        break;
    case TrayState::Alternate: {
        style::drawKeyboardSign(painter, body, style::kWarm, QColor(0x3a, 0x24, 0x06));
        // A bright dot in the corner marks the alternate state.
        const QPointF dot(s * 0.82, s * 0.2);
        painter.setPen(QPen(QColor(0x0e, 0x10, 0x13), s * 0.04));
        painter.setBrush(Qt::white);
        painter.drawEllipse(dot, s * 0.13, s * 0.13);
        break;
    }
    }
    return image;
}

} // namespace tavrik::skingen
