#include "tools/skingen/MainImages.h"

#include "tools/skingen/MainLayout.h"
#include "tools/skingen/SkinStyle.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace tavrik::skingen {
namespace {

constexpr int kCornerRadius = 14;

void drawWindowBody(QPainter& painter, QSize size) {
    painter.fillRect(QRect(QPoint(0, 0), size), style::kBodyBottom);
    QLinearGradient body(0, 0, 0, size.height());
    body.setColorAt(0, style::kBodyTop);
    body.setColorAt(1, style::kBodyBottom);
    painter.setPen(Qt::NoPen);
    painter.setBrush(body);
    painter.drawRoundedRect(QRectF(0, 0, size.width(), size.height()), kCornerRadius,
                            kCornerRadius);
}

void drawTitleBar(QPainter& painter, const QRect& bar) {
    QPainterPath path;
    path.addRoundedRect(QRectF(bar).adjusted(0, 0, 0, kCornerRadius), kCornerRadius, kCornerRadius);
    painter.save();
    painter.setClipRect(bar);
    painter.setPen(Qt::NoPen);
    painter.setBrush(style::kTitleBar);
    painter.drawPath(path);
    painter.restore();
    // An accent line under the title bar, fading out at both ends.
    QLinearGradient line(bar.left(), 0, bar.right(), 0);
    line.setColorAt(0, QColor(0x2b, 0xc4, 0xe8, 0));
    line.setColorAt(0.2, style::kAccentDark);
    line.setColorAt(0.8, style::kAccentDark);
    line.setColorAt(1, QColor(0x2b, 0xc4, 0xe8, 0));
    painter.fillRect(QRect(bar.left(), bar.bottom(), bar.width(), 1), line);
}

void drawKeyboardCase(QPainter& painter, const QRect& box) {
    const QRectF r = QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(QColor(0x0b, 0x0d, 0x0f), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(r.translated(0, 2), 12, 12);
    painter.setPen(QPen(style::kPlateEdge, 1));
    painter.setBrush(style::kPlate);
    painter.drawRoundedRect(r, 12, 12);
}

void drawBackground(QPainter& painter) {
    const QSize size = mainWindowSize();
    const MainDecor decor = mainDecor();
    drawWindowBody(painter, size);
    drawTitleBar(painter, decor.titleBar);
    drawKeyboardCase(painter, decor.keyboardCase);
    for (const QRect& box : decor.lightingBoxes) {
        style::drawPanel(painter, box);
    }
    painter.fillRect(QRect(24, decor.bottomBar.top(), size.width() - 48, 1),
                     QColor(0x2a, 0x2f, 0x35));
}

// The key colour pictures change the keys only; every other control keeps
// its normal face there, except the bank light.
Look lookOfControl(const Control& control, Look look) {
    if (look != Look::ColourBase && look != Look::Marked) {
        return look;
    }
    if (control.kind == Kind::Key || control.face == "bank") {
        return look;
    }
    return Look::Normal;
}

} // namespace

QImage renderMainImage(Look look) {
    QImage image(mainWindowSize(), QImage::Format_RGB32);
    QPainter painter(&image);
    style::prepare(painter);
    drawBackground(painter);
    for (const Control& control : mainControls()) {
        style::drawControlFace(painter, control, lookOfControl(control, look));
    }
    return image;
}

QImage renderWindowMask(QSize size, int cornerRadius) {
    QImage mask(size, QImage::Format_RGB32);
    mask.fill(Qt::white);
    QPainter painter(&mask);
    // No antialiasing: a pixel is in the window or out of it.
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawRoundedRect(QRect(QPoint(0, 0), size), cornerRadius, cornerRadius);
    return mask;
}

QImage renderArrowImage() {
    QImage image(arrowImageSize(), QImage::Format_RGB32);
    image.fill(style::kPlate);
    const QImage normal = renderMainImage(Look::Normal);
    const ControlList controls = mainControls();
    QPainter painter(&image);
    style::prepare(painter);
    for (const ArrowPicture& picture : arrowPictures()) {
        const QRect target = rectOf(controls, picture.control);
        // The cell carries the background beneath the arrow's place, one
        // pixel wider on every side, so the picture blends in at either
        // reading of the offset.
        const QRect source = target.adjusted(-2, -2, 1, 1);
        const QRect cell(picture.offset - QPoint(1, 1), source.size());
        painter.drawImage(cell, normal, source);
        // The arrow is as large as the narrow place allows: a square of the
        // place's height, centred on it.
        const QRectF place(QPointF(picture.offset) - QPointF(0.5, 0.5), QSizeF(target.size()));
        const qreal side = std::min<qreal>(place.height(), place.width() * 1.8);
        const QRectF glyphBox(place.center().x() - side / 2, place.center().y() - side / 2, side,
                              side);
        style::drawGlyph(painter, glyphBox, picture.glyph, style::kAccent);
    }
    return image;
}

} // namespace tavrik::skingen
