#include "ui/BitmapPicture.h"

#include <QPainter>

namespace tavrik::ui {

BitmapPicture::BitmapPicture(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
}

void BitmapPicture::setBitmaps(const SkinImage& plain, const SkinImage& selected) {
    plain_ = plain;
    selectedBitmap_ = selected;
    update();
}

void BitmapPicture::setSelected(bool selected) {
    selected_ = selected;
    update();
}

void BitmapPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!shownBitmap().isNull()) {
        painter.drawImage(QPoint(0, 0), shownBitmap());
    }
}

} // namespace tavrik::ui
