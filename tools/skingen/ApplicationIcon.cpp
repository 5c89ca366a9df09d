#include "tools/skingen/ApplicationIcon.h"

#include "tools/skingen/SkinStyle.h"

#include <QDir>
#include <QFileInfo>
#include <QLinearGradient>
#include <QPainter>

namespace tavrik::skingen {
namespace {

constexpr int kSmallestSizeWithRim = 32;

void drawTile(QPainter& painter, qreal s, bool withRim) {
    const QRectF tile(s * 0.03, s * 0.03, s * 0.94, s * 0.94);
    QLinearGradient fill(tile.topLeft(), tile.bottomLeft());
    fill.setColorAt(0, style::kBodyTop);
    fill.setColorAt(1, style::kBodyBottom);
    painter.setBrush(fill);
    painter.setPen(withRim ? QPen(style::kAccentDark, s * 0.03) : QPen(Qt::NoPen));
    painter.drawRoundedRect(tile, s * 0.2, s * 0.2);
}

// The G key: a warm cap in the keyboard's top left corner.
void drawLitKey(QPainter& painter, const QRectF& keyboard) {
    const qreal side = keyboard.height() * 0.42;
    const QRectF cap(keyboard.left() - side * 0.25, keyboard.top() - side * 0.35, side, side);
    painter.setPen(QPen(style::kBodyBottom, side * 0.14));
    painter.setBrush(style::kWarm);
    painter.drawRoundedRect(cap, side * 0.22, side * 0.22);
}

} // namespace

QImage renderApplicationIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    style::prepare(painter);
    const qreal s = size;
    drawTile(painter, s, size >= kSmallestSizeWithRim);
    const QRectF keyboard(s * 0.16, s * 0.34, s * 0.68, s * 0.42);
    style::drawKeyboardSign(painter, keyboard, style::kAccent, QColor(0x0e, 0x2a, 0x33));
    drawLitKey(painter, keyboard);
    return image;
}

QStringList writeApplicationIcons(const QString& folder, QString& error) {
    QStringList written;
    for (const int size : kApplicationIconSizes) {
        const QString name = QStringLiteral("hicolor/%1x%1/apps/%2.png")
                                 .arg(size)
                                 .arg(QString::fromLatin1(kApplicationIconName));
        const QString path = folder + QLatin1Char('/') + name;
        if (!QDir().mkpath(QFileInfo(path).path()) || !renderApplicationIcon(size).save(path)) {
            error = QStringLiteral("cannot write ") + path;
            return {};
        }
        written.append(name);
    }
    return written;
}

} // namespace tavrik::skingen
