#include "tools/skingen/LightingBitmaps.h"

#include "tools/skingen/SkinStyle.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace tavrik::skingen {
namespace {

constexpr int kSliderPositions = 5;

// Every bitmap starts as the panel it sits on, so it blends into the box.
QImage blankBitmap(QSize size) {
    QImage image(size, QImage::Format_RGB888);
    image.fill(style::kPanel);
    return image;
}

// A small cap: dim when `selected` is false, lit in the accent colour when true.
void drawTile(QPainter& painter, const QRectF& box, bool selected) {
    painter.setPen(QPen(selected ? style::kAccent : QColor(0x3c, 0x43, 0x4c), 1));
    QLinearGradient fill(box.topLeft(), box.bottomLeft());
    fill.setColorAt(0, selected ? QColor(0x15, 0x5a, 0x6e) : QColor(0x30, 0x36, 0x3e));
    fill.setColorAt(1, selected ? QColor(0x10, 0x45, 0x55) : QColor(0x26, 0x2b, 0x32));
    painter.setBrush(fill);
    painter.drawRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
}

QImage directionPicture(QSize size, const QString& kind, bool selected) {
    QImage image = blankBitmap(size);
    QPainter painter(&image);
    style::prepare(painter);
    const QRectF box(QPointF(0, 0), QSizeF(size));
    drawTile(painter, box, selected);
    const QColor colour = selected ? Qt::white : style::kLegend;
    if (kind == "spread" || kind == "gather") {
        // A dot in the middle with arrows leaving it (spread) or coming to it (gather).
        const QPointF c = box.center();
        painter.setPen(Qt::NoPen);
        painter.setBrush(selected ? style::kWarm : style::kLegendDim);
        painter.drawEllipse(c, 3.5, 3.5);
        const bool out = kind == "spread";
        const qreal h = box.height() - 4;
        style::drawGlyph(painter, QRectF(c.x() - 22, c.y() - h / 2, 18, h), out ? "left" : "right",
                         colour);
        style::drawGlyph(painter, QRectF(c.x() + 4, c.y() - h / 2, 18, h), out ? "right" : "left",
                         colour);
    } else {
        style::drawGlyph(painter, box.adjusted(4, 2, -4, -2), kind, colour);
    }
    return image;
}

QImage presetColourPicture(QSize size, const QColor& colour, bool marked) {
    QImage image = blankBitmap(size);
    QPainter painter(&image);
    style::prepare(painter);
    const QRectF box = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(3, 3, -3, -3);
    painter.setPen(QPen(marked ? Qt::white : QColor(0x3c, 0x43, 0x4c), marked ? 2.5 : 1));
    QRadialGradient fill(box.center() - QPointF(4, 4), box.width());
    fill.setColorAt(0, colour.lighter(130));
    fill.setColorAt(1, colour.darker(115));
    painter.setBrush(fill);
    painter.drawRoundedRect(box, 7, 7);
    if (marked) {
        painter.setPen(QPen(QColor(0, 0, 0, 110), 4.5, Qt::SolidLine, Qt::RoundCap));
        const QPointF c = box.center();
        const QPolygonF tick({c + QPointF(-7, 0), c + QPointF(-2, 5), c + QPointF(8, -6)});
        painter.drawPolyline(tick);
        painter.setPen(QPen(Qt::white, 2.5, Qt::SolidLine, Qt::RoundCap));
        painter.drawPolyline(tick);
    }
    return image;
}

QImage randomColourPicture(QSize size, bool on) {
    QImage image = blankBitmap(size);
    QPainter painter(&image);
    style::prepare(painter);
    const QRectF box = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(2, 2, -2, -2);
    drawTile(painter, box, on);
    // Four coloured dots, bright when the random colours are on.
    const QColor dots[4] = {
        {0xe8, 0x3f, 0x3f}, {0xf2, 0xc1, 0x2e}, {0x3c, 0xc8, 0x5a}, {0x3a, 0x7b, 0xf0}};
    const QPointF c = box.center();
    const qreal d = box.width() * 0.2;
    const QPointF places[4] = {{-d, -d}, {d, -d}, {-d, d}, {d, d}};
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 4; ++i) {
        QColor colour = dots[i];
        if (!on) {
            colour = QColor::fromHsv(colour.hsvHue(), 60, 110);
        }
        painter.setBrush(colour);
        painter.drawEllipse(c + places[i], d * 0.62, d * 0.62);
    }
    return image;
}

QImage brushPicture(QSize size, bool chosen) {
    QImage image = blankBitmap(size);
    QPainter painter(&image);
    style::prepare(painter);
    const QRectF box = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(1, 1, -1, -1);
    drawTile(painter, box, chosen);
    const QPointF c = box.center();
    painter.save();
    painter.translate(c);
    painter.rotate(45);
    const qreal s = box.width() * 0.34;
    painter.setPen(Qt::NoPen);
    painter.setBrush(chosen ? Qt::white : style::kLegend);
    painter.drawRoundedRect(QRectF(-s * 0.16, -s, s * 0.32, s * 1.1), 1.5, 1.5);
    painter.setBrush(style::kLegendDim);
    painter.drawRect(QRectF(-s * 0.22, s * 0.1, s * 0.44, s * 0.22));
    QPainterPath tip;
    tip.moveTo(-s * 0.26, s * 0.32);
    tip.quadTo(-s * 0.3, s * 0.9, 0, s * 1.05);
    tip.quadTo(s * 0.3, s * 0.9, s * 0.26, s * 0.32);
    tip.closeSubpath();
    painter.setBrush(chosen ? style::kWarm : QColor(0x9a, 0x7a, 0x4a));
    painter.drawPath(tip);
    painter.restore();
    return image;
}

QImage switchPicture(QSize size, bool on) {
    QImage image = blankBitmap(size);
    QPainter painter(&image);
    style::prepare(painter);
    const QRectF track = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(1.5, 1.5, -1.5, -1.5);
    const qreal radius = track.height() / 2;
    painter.setPen(QPen(on ? style::kAccent : QColor(0x3c, 0x43, 0x4c), 1));
    painter.setBrush(on ? QColor(0x14, 0x55, 0x68) : QColor(0x2a, 0x2f, 0x36));
    painter.drawRoundedRect(track, radius, radius);
    // A bulb on the free side of the knob, lit when the switch is on.
    const qreal knobX = on ? track.right() - radius : track.left() + radius;
    const qreal bulbX = on ? track.left() + radius + 4 : track.right() - radius - 4;
    const QPointF bulb(bulbX, track.center().y() - 1.5);
    painter.setPen(Qt::NoPen);
    if (on) {
        QRadialGradient glow(bulb, 10);
        glow.setColorAt(0, QColor(0xff, 0xd2, 0x5a, 200));
        glow.setColorAt(1, QColor(0xff, 0xd2, 0x5a, 0));
        painter.setBrush(glow);
        painter.drawEllipse(bulb, 10, 10);
    }
    painter.setBrush(on ? QColor(0xff, 0xd2, 0x5a) : style::kLegendDim);
    painter.drawEllipse(bulb, 5, 5);
    painter.drawRect(QRectF(bulb.x() - 2.5, bulb.y() + 4, 5, 4));
    painter.setBrush(on ? Qt::white : QColor(0x8a, 0x92, 0x9c));
    painter.drawEllipse(QPointF(knobX, track.center().y()), radius - 3, radius - 3);
    return image;
}

QImage sliderPicture(QSize size, int position, const QColor& fill) {
    QImage image = blankBitmap(size);
    QPainter painter(&image);
    style::prepare(painter);
    const qreal knobRadius = size.height() / 2.0 - 2;
    const qreal left = knobRadius + 1;
    const qreal right = size.width() - knobRadius - 1;
    const qreal y = size.height() / 2.0;
    const qreal step = (right - left) / (kSliderPositions - 1);
    const qreal knobX = left + step * position;
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x2c, 0x32, 0x39));
    painter.drawRoundedRect(QRectF(left, y - 3, right - left, 6), 3, 3);
    painter.setBrush(fill);
    painter.drawRoundedRect(QRectF(left, y - 3, knobX - left, 6), 3, 3);
    for (int tick = 0; tick < kSliderPositions; ++tick) {
        const qreal x = left + step * tick;
        painter.setBrush(tick <= position ? fill.lighter(130) : QColor(0x4a, 0x52, 0x5d));
        painter.drawEllipse(QPointF(x, y), 2.2, 2.2);
    }
    QRadialGradient knob(QPointF(knobX - 2, y - 2), knobRadius * 1.6);
    knob.setColorAt(0, Qt::white);
    knob.setColorAt(1, QColor(0xb8, 0xc0, 0xc8));
    painter.setPen(QPen(fill, 2));
    painter.setBrush(knob);
    painter.drawEllipse(QPointF(knobX, y), knobRadius - 1, knobRadius - 1);
    return image;
}

QImage busyFrame(QSize size, int frame, int frames) {
    QImage image = blankBitmap(size);
    QPainter painter(&image);
    style::prepare(painter);
    const QRectF track = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(0.5, 1.5, -0.5, -1.5);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x2a, 0x2f, 0x36));
    painter.drawRoundedRect(track, track.height() / 2, track.height() / 2);
    // A bright segment with a fading tail runs along the track, one tenth
    // further in every frame.
    const qreal segment = track.width() * 0.3;
    const qreal head = track.left() + (track.width() + segment) * (frame + 0.5) / frames;
    QLinearGradient tail(head - segment, 0, head, 0);
    tail.setColorAt(0, QColor(0x2b, 0xc4, 0xe8, 0));
    tail.setColorAt(1, style::kAccent);
    painter.save();
    painter.setClipRect(track);
    painter.setBrush(tail);
    painter.drawRoundedRect(QRectF(head - segment, track.top(), segment, track.height()),
                            track.height() / 2, track.height() / 2);
    painter.restore();
    return image;
}

} // namespace

std::vector<NamedImage> lightingBitmaps(const ControlList& controls) {
    const auto size = [&](const char* key) { return rectOf(controls, key).size(); };
    std::vector<NamedImage> images;
    images.push_back({"dengup.bmp", switchPicture(size("CONTROL_DengStaPic"), false)});
    images.push_back({"dengdown.bmp", switchPicture(size("CONTROL_DengStaPic"), true)});

    const QSize left = size("CONTROL_BLFXLStaPic");
    const QSize right = size("CONTROL_BLFXRStaPic");
    const struct {
        const char* up;
        const char* down;
        const char* kind;
        QSize size;
    } directions[] = {
        {"leftup.bmp", "leftdown.bmp", "left", left},
        {"rightup.bmp", "rightdown.bmp", "right", right},
        {"upup.bmp", "updown.bmp", "up", left},
        {"downup.bmp", "downdown.bmp", "down", right},
        {"kuosan.bmp", "kuosandown.bmp", "spread", left},
        {"julong.bmp", "julongdown.bmp", "gather", right},
    };
    for (const auto& direction : directions) {
        images.push_back({direction.up, directionPicture(direction.size, direction.kind, false)});
        images.push_back({direction.down, directionPicture(direction.size, direction.kind, true)});
    }

    const struct {
        const char* name;
        const char* key;
        QColor colour;
    } presets[] = {
        {"hong", "CONTROL_HONGPIC", {0xe8, 0x2e, 0x2e}},
        {"huang", "CONTROL_HUANGPIC", {0xf5, 0xc5, 0x18}},
        {"lv", "CONTROL_LVPIC", {0x2e, 0xc4, 0x4f}},
        {"lan", "CONTROL_LANPIC", {0x2f, 0x6d, 0xf0}},
    };
    for (const auto& preset : presets) {
        const QString name = QString::fromLatin1(preset.name);
        images.push_back(
            {name + ".bmp", presetColourPicture(size(preset.key), preset.colour, false)});
        images.push_back(
            {name + "ok.bmp", presetColourPicture(size(preset.key), preset.colour, true)});
    }

    images.push_back({"sjsup.bmp", randomColourPicture(size("CONTROL_HXsjsStaPic"), false)});
    images.push_back({"sjsdown.bmp", randomColourPicture(size("CONTROL_HXsjsStaPic"), true)});
    images.push_back({"user1up.bmp", brushPicture(size("CONTROL_USERgjStaPic1"), false)});
    images.push_back({"user1down.bmp", brushPicture(size("CONTROL_USERgjStaPic1"), true)});

    // Brightness at positions 0..4 is 0.bmp..4.bmp, speed at 0..4 is 6.bmp..10.bmp.
    for (int position = 0; position < kSliderPositions; ++position) {
        images.push_back({QStringLiteral("%1.bmp").arg(position),
                          sliderPicture(size("CONTROL_LightSlider"), position, style::kAccent)});
        images.push_back({QStringLiteral("%1.bmp").arg(position + 6),
                          sliderPicture(size("CONTROL_SpeedSlider"), position, style::kWarm)});
    }
    constexpr int kBusyFrames = 10;
    for (int frame = 0; frame < kBusyFrames; ++frame) {
        images.push_back({QStringLiteral("jdt%1.bmp").arg(frame + 1),
                          busyFrame(size("CONTROL_JDTStatic"), frame, kBusyFrames)});
    }
    return images;
}

} // namespace tavrik::skingen
