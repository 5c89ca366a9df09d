#include "ui/CPngButton.h"

#include <QPainter>

namespace tavrik::ui {

CPngButton::CPngButton(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::NoFocus);
}

void CPngButton::setImages(const ButtonImages& images, QPoint imageOrigin) {
    images_ = images;
    imageOrigin_ = imageOrigin;
    update();
}

ButtonState CPngButton::state() const {
    if (!isEnabled()) {
        return ButtonState::Disabled;
    }
    if (isDown()) {
        return ButtonState::Pressed;
    }
    if (pointerOver_) {
        return ButtonState::Over;
    }
    if (isCheckable() && isChecked()) {
        return ButtonState::Checked;
    }
    return ButtonState::Normal;
}

const QImage& CPngButton::stateImage(ButtonState state) const {
    switch (state) {
    case ButtonState::Over:
        return images_.over;
    case ButtonState::Pressed:
        return images_.pressed;
    case ButtonState::Disabled:
        return images_.disabled;
    case ButtonState::Checked:
        return images_.checked;
    case ButtonState::Normal:
        break;
    }
    return images_.normal;
}

QSize CPngButton::sizeHint() const {
    return size();
}

void CPngButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QImage& image = stateImage(state());
    if (!image.isNull()) {
        // A piece reaching past the image shows only the part inside it.
        painter.drawImage(QPoint(0, 0), image, QRect(imageOrigin_, size()));
    }
    if (!text().isEmpty()) {
        painter.setPen(palette().color(QPalette::ButtonText));
        painter.drawText(rect(), Qt::AlignCenter, text());
    }
}

void CPngButton::enterEvent(QEnterEvent* event) {
    pointerOver_ = true;
    update();
    emit pointerEntered();
    QAbstractButton::enterEvent(event);
}

void CPngButton::leaveEvent(QEvent* event) {
    pointerOver_ = false;
    update();
    emit pointerLeft();
    QAbstractButton::leaveEvent(event);
}

} // namespace tavrik::ui
