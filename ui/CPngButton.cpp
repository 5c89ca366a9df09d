#include "ui/CPngButton.h"

#include "ui/OverlayContrast.h"

#include <QPainter>
#include <algorithm>

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
        return images_.over.image();
    case ButtonState::Pressed:
        return images_.pressed.image();
    case ButtonState::Disabled:
        return images_.disabled.image();
    case ButtonState::Checked:
        return images_.checked.image();
    case ButtonState::Normal:
        break;
    }
    return images_.normal.image();
}

const QImage& CPngButton::shownImage() const {
    const ButtonState current = state();
    if (assigned_ && !assignedImage_.isNull() &&
        (current == ButtonState::Normal || current == ButtonState::Checked)) {
        return assignedImage_.image();
    }
    return stateImage(current);
}

void CPngButton::setAssignedImage(const SkinImage& image) {
    assignedImage_ = image;
    update();
}

void CPngButton::setAssigned(bool assigned) {
    if (assigned_ != assigned) {
        assigned_ = assigned;
        update();
    }
}

void CPngButton::setColourOverlay(const ColourOverlay& overlay) {
    if (!(overlay_ == overlay)) {
        overlay_ = overlay;
        update();
    }
}

QSize CPngButton::sizeHint() const {
    return size();
}

void CPngButton::paintFace(QPainter& painter) const {
    const QImage& image = shownImage();
    // A piece reaching past the image shows only the part inside it.
    const QRect piece = QRect(imageOrigin_, size()).intersected(image.rect());
    if (overlay_.on && !piece.isEmpty()) {
        // The face takes the colour, the legend stays readable on it.
        painter.drawImage(piece.topLeft() - imageOrigin_,
                          overlaidPiece(image.copy(piece), overlay_));
        return;
    }
    if (!image.isNull()) {
        painter.drawImage(QPoint(0, 0), image, QRect(imageOrigin_, size()));
    }
    if (overlay_.on) {
        const int alpha = std::clamp(overlay_.level, 0, 100) * 255 / 100;
        painter.fillRect(rect(), QColor(static_cast<int>(overlay_.colour & 0xFF),
                                        static_cast<int>((overlay_.colour >> 8) & 0xFF),
                                        static_cast<int>((overlay_.colour >> 16) & 0xFF), alpha));
    }
}

QColor CPngButton::captionColour(const QColor& preferred) const {
    const QImage& image = shownImage();
    const QRect piece = QRect(imageOrigin_, size()).intersected(image.rect());
    if (!overlay_.on || piece.isEmpty()) {
        return preferred;
    }
    return readableOn(overlaidFaceColour(image.copy(piece), overlay_), preferred);
}

void CPngButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintFace(painter);
    if (!text().isEmpty()) {
        painter.setPen(captionColour(palette().color(QPalette::ButtonText)));
        painter.drawText(rect(), Qt::AlignCenter, text());
    }
}

void CPngButton::enterEvent(QEnterEvent* event) {
    pointerOver_ = true;
    update();
    emit pointerEntered();
    QAbstractButton::enterEvent(event);
}

// A window that hides under the pointer sends no leave: the button would
// show the mouse-over look when it shows again.
void CPngButton::hideEvent(QHideEvent* event) {
    pointerOver_ = false;
    QAbstractButton::hideEvent(event);
}

void CPngButton::leaveEvent(QEvent* event) {
    pointerOver_ = false;
    update();
    emit pointerLeft();
    QAbstractButton::leaveEvent(event);
}

} // namespace tavrik::ui
