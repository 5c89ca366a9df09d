#include "tools/skingen/SkinStyle.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <algorithm>

namespace tavrik::skingen {

QRect rectOf(const ControlList& controls, const QString& key) {
    const auto found = std::find_if(controls.begin(), controls.end(),
                                    [&](const Control& control) { return control.key == key; });
    return found == controls.end() ? QRect() : found->rect;
}

namespace style {
namespace {

struct FaceColours {
    QColor top;
    QColor bottom;
    QColor edge;
    QColor text;
    qreal edgeWidth = 1.0;
    int textShift = 0;
};

FaceColours keyColours(Look look) {
    switch (look) {
    case Look::Normal:
        return {{0x3a, 0x41, 0x4a}, {0x2b, 0x30, 0x38}, {0x4a, 0x52, 0x5d}, kLegend};
    case Look::Over:
        return {{0x4f, 0x59, 0x66}, {0x3e, 0x46, 0x51}, kAccent, Qt::white};
    case Look::Down:
        return {{0x17, 0x1b, 0x20}, {0x20, 0x25, 0x2b}, kAccentDark, kAccent, 1.0, 1};
    case Look::Disabled:
        return {{0x25, 0x29, 0x2e}, {0x25, 0x29, 0x2e}, {0x2f, 0x34, 0x3a}, kLegendDim};
    case Look::ColourBase:
        return {{0xee, 0xf1, 0xf4}, {0xcc, 0xd1, 0xd7}, {0xf6, 0xf7, 0xf9}, {0x2a, 0x2f, 0x37}};
    case Look::Marked:
        return {{0x34, 0x3d, 0x47}, {0x26, 0x2d, 0x35}, kAccent, kAccent, 2.0};
    }
    return {};
}

FaceColours buttonColours(Look look) {
    switch (look) {
    case Look::Normal:
    case Look::ColourBase:
        return {{0x37, 0x3e, 0x47}, {0x2a, 0x30, 0x38}, {0x47, 0x50, 0x5b}, kLegend};
    case Look::Over:
        return {{0x46, 0x50, 0x5c}, {0x38, 0x40, 0x4a}, kAccent, Qt::white};
    case Look::Down:
    case Look::Marked:
        return {{0x12, 0x4c, 0x5d}, {0x17, 0x5f, 0x74}, kAccent, Qt::white, 1.0, 1};
    case Look::Disabled:
        return {{0x22, 0x26, 0x2b}, {0x22, 0x26, 0x2b}, {0x2c, 0x31, 0x36}, kLegendDim};
    }
    return {};
}

void fillFace(QPainter& painter, const QRect& face, const FaceColours& colours, qreal radius) {
    const QRectF outer = QRectF(face).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient fill(outer.topLeft(), outer.bottomLeft());
    fill.setColorAt(0, colours.top);
    fill.setColorAt(1, colours.bottom);
    painter.setBrush(fill);
    painter.setPen(QPen(colours.edge, colours.edgeWidth));
    const qreal inset = colours.edgeWidth > 1 ? 0.5 : 0.0;
    painter.drawRoundedRect(outer.adjusted(inset, inset, -inset, -inset), radius, radius);
    if (colours.textShift == 0 && colours.top != colours.bottom) {
        // A thin light line under the top edge gives the cap its rim.
        QColor rim = colours.top.lighter(125);
        rim.setAlpha(150);
        painter.setPen(QPen(rim, 1));
        painter.drawLine(QPointF(outer.left() + radius, outer.top() + 1.5),
                         QPointF(outer.right() - radius, outer.top() + 1.5));
    }
}

int legendSize(const QString& legend, const QRect& face) {
    if (legend.contains('\n')) {
        return 9;
    }
    if (legend.size() == 1) {
        return face.height() >= 30 ? 14 : 12;
    }
    if (legend.size() <= 3) {
        return 11;
    }
    return face.width() < 44 ? 9 : 10;
}

QPainterPath triangle(const QRectF& box, Qt::ArrowType direction) {
    QPainterPath path;
    const QPointF c = box.center();
    const qreal r = std::min(box.width(), box.height()) / 2;
    switch (direction) {
    case Qt::LeftArrow:
        path.moveTo(c.x() - r, c.y());
        path.lineTo(c.x() + r * 0.7, c.y() - r);
        path.lineTo(c.x() + r * 0.7, c.y() + r);
        break;
    case Qt::RightArrow:
        path.moveTo(c.x() + r, c.y());
        path.lineTo(c.x() - r * 0.7, c.y() - r);
        path.lineTo(c.x() - r * 0.7, c.y() + r);
        break;
    case Qt::UpArrow:
        path.moveTo(c.x(), c.y() - r);
        path.lineTo(c.x() - r, c.y() + r * 0.7);
        path.lineTo(c.x() + r, c.y() + r * 0.7);
        break;
    default:
        path.moveTo(c.x(), c.y() + r);
        path.lineTo(c.x() - r, c.y() - r * 0.7);
        path.lineTo(c.x() + r, c.y() - r * 0.7);
        break;
    }
    path.closeSubpath();
    return path;
}

void drawRestoreGlyph(QPainter& painter, const QRectF& box, const QColor& colour) {
    const qreal r = std::min(box.width(), box.height()) * 0.36;
    const QRectF circle(box.center().x() - r, box.center().y() - r, 2 * r, 2 * r);
    painter.setPen(QPen(colour, 2, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(circle, 100 * 16, 290 * 16);
    const QPointF tip(circle.center().x() - r * 0.17, circle.top());
    QPainterPath head;
    head.moveTo(tip + QPointF(-4, 0));
    head.lineTo(tip + QPointF(3, -4));
    head.lineTo(tip + QPointF(3, 4));
    head.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPath(head);
}

void drawFolderGlyph(QPainter& painter, const QRectF& box, const QColor& colour) {
    const qreal w = std::min(box.width(), box.height() * 1.3) * 0.8;
    const qreal h = w * 0.7;
    const QRectF body(box.center().x() - w / 2, box.center().y() - h / 2 + 1, w, h);
    QPainterPath path;
    path.moveTo(body.left(), body.top());
    path.lineTo(body.left() + w * 0.38, body.top());
    path.lineTo(body.left() + w * 0.48, body.top() + h * 0.18);
    path.lineTo(body.right(), body.top() + h * 0.18);
    path.lineTo(body.right(), body.bottom());
    path.lineTo(body.left(), body.bottom());
    path.closeSubpath();
    painter.setPen(QPen(colour, 1.6));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
}

void drawTrashGlyph(QPainter& painter, const QRectF& box, const QColor& colour) {
    const qreal s = std::min(box.width(), box.height()) * 0.8;
    const QPointF c = box.center();
    painter.setPen(QPen(colour, 1.6, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawLine(QPointF(c.x() - s * 0.45, c.y() - s * 0.32),
                     QPointF(c.x() + s * 0.45, c.y() - s * 0.32));
    painter.drawLine(QPointF(c.x() - s * 0.12, c.y() - s * 0.45),
                     QPointF(c.x() + s * 0.12, c.y() - s * 0.45));
    QPainterPath can;
    can.moveTo(c.x() - s * 0.34, c.y() - s * 0.25);
    can.lineTo(c.x() - s * 0.26, c.y() + s * 0.45);
    can.lineTo(c.x() + s * 0.26, c.y() + s * 0.45);
    can.lineTo(c.x() + s * 0.34, c.y() - s * 0.25);
    painter.drawPath(can);
}

void drawLines(QPainter& painter, const QRectF& box, const QString& glyph, const QColor& colour) {
    const qreal s = std::min(box.width(), box.height()) * 0.32;
    const QPointF c = box.center();
    painter.setPen(QPen(colour, 2, Qt::SolidLine, Qt::RoundCap));
    if (glyph == "menu") {
        for (int row = -1; row <= 1; ++row) {
            painter.drawLine(QPointF(c.x() - s, c.y() + row * s * 0.6),
                             QPointF(c.x() + s, c.y() + row * s * 0.6));
        }
    } else if (glyph == "minimise") {
        painter.drawLine(QPointF(c.x() - s, c.y() + s * 0.5), QPointF(c.x() + s, c.y() + s * 0.5));
    } else if (glyph == "close" || glyph == "cross") {
        painter.drawLine(QPointF(c.x() - s * 0.8, c.y() - s * 0.8),
                         QPointF(c.x() + s * 0.8, c.y() + s * 0.8));
        painter.drawLine(QPointF(c.x() + s * 0.8, c.y() - s * 0.8),
                         QPointF(c.x() - s * 0.8, c.y() + s * 0.8));
    } else if (glyph == "plus") {
        painter.drawLine(QPointF(c.x() - s, c.y()), QPointF(c.x() + s, c.y()));
        painter.drawLine(QPointF(c.x(), c.y() - s), QPointF(c.x(), c.y() + s));
    } else if (glyph == "minus") {
        painter.drawLine(QPointF(c.x() - s, c.y()), QPointF(c.x() + s, c.y()));
    } else if (glyph == "check") {
        painter.drawLine(QPointF(c.x() - s, c.y()), QPointF(c.x() - s * 0.25, c.y() + s * 0.7));
        painter.drawLine(QPointF(c.x() - s * 0.25, c.y() + s * 0.7),
                         QPointF(c.x() + s, c.y() - s * 0.7));
    }
}

} // namespace

QFont legendFont(int pixelSize, bool bold) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

void prepare(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
}

void drawPanel(QPainter& painter, const QRect& box) {
    const QRectF r = QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(kPanelEdge, 1));
    painter.setBrush(kPanel);
    painter.drawRoundedRect(r, 8, 8);
    // A darker line inside the top edge makes the box look sunk.
    painter.setPen(QPen(QColor(0x0c, 0x0e, 0x10), 1));
    painter.drawLine(QPointF(r.left() + 8, r.top() + 1.5), QPointF(r.right() - 8, r.top() + 1.5));
}

void drawKeyFace(QPainter& painter, const QRect& face, const QString& legend, Look look) {
    const FaceColours colours = keyColours(look);
    fillFace(painter, face, colours, 4);
    if (legend.isEmpty()) {
        return;
    }
    const bool single = legend.size() == 1;
    painter.setFont(legendFont(legendSize(legend, face), single));
    painter.setPen(colours.text);
    const QRect textBox = face.adjusted(2, 1, -2, -2).translated(0, colours.textShift);
    if (legend.size() == 1 && legend.at(0).isLetter()) {
        // Letter keys carry their letter in the upper left, as printed caps do.
        painter.drawText(textBox.adjusted(5, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop, legend);
    } else {
        painter.drawText(textBox, Qt::AlignCenter, legend);
    }
}

void drawButtonFace(QPainter& painter, const QRect& face, const QString& word, Look look) {
    const FaceColours colours = buttonColours(look);
    fillFace(painter, face, colours, 6);
    if (!word.isEmpty()) {
        painter.setFont(legendFont(11, true));
        painter.setPen(colours.text);
        painter.drawText(face.translated(0, colours.textShift), Qt::AlignCenter, word);
    }
}

void drawGlyph(QPainter& painter, const QRectF& box, const QString& glyph, const QColor& colour) {
    painter.save();
    if (glyph == "left" || glyph == "right" || glyph == "up" || glyph == "down") {
        const Qt::ArrowType direction = glyph == "left"    ? Qt::LeftArrow
                                        : glyph == "right" ? Qt::RightArrow
                                        : glyph == "up"    ? Qt::UpArrow
                                                           : Qt::DownArrow;
        const qreal s = std::min(box.width(), box.height()) * 0.5;
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawPath(
            triangle(QRectF(box.center().x() - s / 2, box.center().y() - s / 2, s, s), direction));
    } else if (glyph == "flip") {
        const qreal s = std::min(box.width(), box.height()) * 0.36;
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        const QPointF c = box.center();
        painter.drawPath(triangle(QRectF(c.x() - s, c.y() - s - 1, s, s), Qt::UpArrow));
        painter.drawPath(triangle(QRectF(c.x(), c.y() + 1, s, s), Qt::DownArrow));
    } else if (glyph == "keyboard") {
        const qreal w = std::min(box.width() * 0.7, box.height() * 1.1);
        drawKeyboardSign(painter,
                         QRectF(box.center().x() - w / 2, box.center().y() - w * 0.3, w, w * 0.6),
                         colour, QColor(0x14, 0x17, 0x1b));
    } else if (glyph == "restore") {
        drawRestoreGlyph(painter, box, colour);
    } else if (glyph == "folder") {
        drawFolderGlyph(painter, box, colour);
    } else if (glyph == "trash") {
        drawTrashGlyph(painter, box, colour);
    } else if (glyph == "key") {
        const qreal s = std::min(box.width(), box.height()) * 0.62;
        const QRectF cap(box.center().x() - s / 2, box.center().y() - s / 2, s, s);
        painter.setPen(QPen(colour, 1.6));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(cap, 3, 3);
        painter.drawRoundedRect(cap.adjusted(3, 3, -3, -5), 2, 2);
    } else if (glyph == "macro") {
        const qreal r = std::min(box.width(), box.height()) * 0.3;
        painter.setPen(QPen(colour, 1.6));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(box.center(), r, r);
        painter.setPen(Qt::NoPen);
        painter.setBrush(kWarm);
        painter.drawEllipse(box.center(), r * 0.5, r * 0.5);
    } else if (glyph == "menu" || glyph == "minimise" || glyph == "close" || glyph == "cross" ||
               glyph == "plus" || glyph == "minus" || glyph == "check") {
        drawLines(painter, box, glyph, colour);
    } else {
        const QString text = glyph == "help" ? QStringLiteral("?") : glyph;
        painter.setFont(legendFont(text.size() <= 2 ? 14 : 11, true));
        painter.setPen(colour);
        painter.drawText(box, Qt::AlignCenter, text);
    }
    painter.restore();
}

void drawGlyphFace(QPainter& painter, const QRect& face, const QString& glyph, Look look) {
    const FaceColours colours = buttonColours(look);
    fillFace(painter, face, colours, 5);
    const QRectF box = QRectF(face).translated(0, colours.textShift);
    const qsizetype bar = glyph.indexOf('|');
    if (bar < 0) {
        drawGlyph(painter, box, glyph, colours.text);
        return;
    }
    // "glyph|Word": the glyph in a square at the left, the word beside it.
    const QRectF square(box.left() + 4, box.top(), box.height() - 4, box.height());
    drawGlyph(painter, square, glyph.left(bar), colours.text);
    painter.setFont(legendFont(11, true));
    painter.setPen(colours.text);
    painter.drawText(box.adjusted(square.width() + 2, 0, -4, 0), Qt::AlignCenter,
                     glyph.mid(bar + 1));
}

void drawIndicatorFace(QPainter& painter, const QRect& face, const QString& label, Look look,
                       bool lit) {
    const bool disabled = look == Look::Disabled;
    QColor back = kPlate;
    if (look == Look::Over) {
        back = kPlate.lighter(130);
    }
    painter.setPen(QPen(disabled ? kPlate : kPlateEdge, 1));
    painter.setBrush(back);
    painter.drawRoundedRect(QRectF(face).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    const QPointF led(face.left() + 7.5, face.center().y() + 0.5);
    if (lit && !disabled) {
        QRadialGradient glow(led, 6);
        glow.setColorAt(0, kLedOn);
        glow.setColorAt(1, QColor(kLedOn.red(), kLedOn.green(), kLedOn.blue(), 0));
        painter.setPen(Qt::NoPen);
        painter.setBrush(glow);
        painter.drawEllipse(led, 6, 6);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(disabled ? kPlateEdge : lit ? kLedOn : kLedOff);
    painter.drawEllipse(led, 2.6, 2.6);
    painter.setFont(legendFont(9));
    painter.setPen(disabled ? kLegendDim : look == Look::Over ? Qt::white : kLegend);
    painter.drawText(face.adjusted(13, 0, -1, 0), Qt::AlignCenter, label);
}

void drawBankFace(QPainter& painter, const QRect& face, Look look, int bank) {
    const bool disabled = look == Look::Disabled;
    painter.setPen(QPen(disabled ? kPlate : kPlateEdge, 1));
    painter.setBrush(look == Look::Over ? kPlate.lighter(130) : kPlate);
    painter.drawRoundedRect(QRectF(face).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    painter.setFont(legendFont(11, true));
    const QRect halves[2] = {QRect(face.left(), face.top(), face.width() / 2, face.height()),
                             QRect(face.left() + face.width() / 2, face.top(),
                                   face.width() - face.width() / 2, face.height())};
    const QString letters[2] = {QStringLiteral("A"), QStringLiteral("B")};
    for (int side = 0; side < 2; ++side) {
        const bool lit = side == bank && !disabled;
        painter.setPen(lit ? (side == 0 ? kAccent : kWarm) : disabled ? kPlateEdge : kLegendDim);
        painter.drawText(halves[side], Qt::AlignCenter, letters[side]);
    }
}

void drawKeyboardSign(QPainter& painter, const QRectF& box, const QColor& body,
                      const QColor& keys) {
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(body);
    const qreal radius = box.height() * 0.16;
    painter.drawRoundedRect(box, radius, radius);
    const qreal pad = box.height() * 0.16;
    const QRectF inner = box.adjusted(pad, pad, -pad, -pad);
    const int columns = 6;
    const int rows = 3;
    const qreal gap = inner.height() * 0.12;
    const qreal keyW = (inner.width() - gap * (columns - 1)) / columns;
    const qreal keyH = (inner.height() - gap * (rows - 1)) / rows;
    painter.setBrush(keys);
    for (int row = 0; row < rows - 1; ++row) {
        for (int column = 0; column < columns; ++column) {
            painter.drawRect(QRectF(inner.left() + column * (keyW + gap),
                                    inner.top() + row * (keyH + gap), keyW, keyH));
        }
    }
    // The bottom row is one long space bar between two small keys.
    const qreal bottom = inner.top() + (rows - 1) * (keyH + gap);
    painter.drawRect(QRectF(inner.left(), bottom, keyW, keyH));
    painter.drawRect(
        QRectF(inner.left() + keyW + gap, bottom, inner.width() - 2 * (keyW + gap), keyH));
    painter.drawRect(QRectF(inner.right() - keyW, bottom, keyW, keyH));
    painter.restore();
}

void drawWordMark(QPainter& painter, const QRect& face, Look look) {
    const QColor sign = look == Look::Disabled ? kLegendDim
                        : look == Look::Down   ? kAccentDark
                                               : kAccent;
    const QColor text = look == Look::Disabled ? kLegendDim
                        : look == Look::Over   ? kAccent
                        : look == Look::Down   ? kAccentDark
                                               : kLegend;
    const QRectF signBox(face.left() + 2, face.center().y() - 8, 28, 16);
    drawKeyboardSign(painter, signBox, sign, kTitleBar);
    QFont font = legendFont(17, true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 2.5);
    painter.setFont(font);
    painter.setPen(text);
    const QRect textBox = face.adjusted(36, 0, 0, 0);
    painter.drawText(textBox, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("TAVRIK"));
    if (look == Look::Over) {
        const int width = painter.fontMetrics().horizontalAdvance(QStringLiteral("TAVRIK"));
        painter.setPen(QPen(kAccent, 1));
        const int baseline = face.center().y() + 10;
        painter.drawLine(textBox.left(), baseline, textBox.left() + width, baseline);
    }
}

void drawControlFace(QPainter& painter, const Control& control, Look look) {
    const QRect face = facePiece(control.rect);
    switch (control.kind) {
    case Kind::Key:
        drawKeyFace(painter, face, control.face, look);
        break;
    case Kind::TextButton:
        drawButtonFace(painter, face, QString(), look);
        break;
    case Kind::GlyphButton:
        drawGlyphFace(painter, face, control.face, look);
        break;
    case Kind::Indicator:
        if (control.face == "bank") {
            const int bank = look == Look::Disabled                         ? -1
                             : (look == Look::Down || look == Look::Marked) ? 1
                                                                            : 0;
            drawBankFace(painter, face, look, bank);
        } else {
            drawIndicatorFace(painter, face, control.face, look,
                              look == Look::Down || look == Look::Marked);
        }
        break;
    case Kind::Link:
        drawWordMark(painter, face, look);
        break;
    case Kind::Plain:
        break;
    }
}

} // namespace style
} // namespace tavrik::skingen
