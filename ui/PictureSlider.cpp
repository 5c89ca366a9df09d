#include "ui/PictureSlider.h"

#include "platform/WindowMessage.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace tavrik::ui {

PictureSlider::PictureSlider(QWidget* parent, QObject* owner, std::uint32_t message, int controlId)
    : QWidget(parent), owner_(owner), message_(message), controlId_(controlId) {
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

void PictureSlider::setPictures(const std::array<SkinImage, kPositions>& pictures) {
    pictures_ = pictures;
    update();
}

void PictureSlider::setPosition(int position) {
    position_ = std::clamp(position, 0, kPositions - 1);
    update();
}

const QImage& PictureSlider::shownPicture() const {
    return pictures_[static_cast<std::size_t>(position_)].image();
}

// The knob's centre runs from half the height from the left edge to half
// the height from the right edge, as the skin draws it.
int PictureSlider::positionAt(int x) const {
    const double inset = height() / 2.0;
    const double track = std::max(1.0, width() - 2 * inset);
    const double step = track / (kPositions - 1);
    return std::clamp(static_cast<int>(std::lround((x - inset) / step)), 0, kPositions - 1);
}

void PictureSlider::choose(int position) {
    position = std::clamp(position, 0, kPositions - 1);
    if (position == position_) {
        return;
    }
    platform::sendWindowMessage(owner_, message_, static_cast<std::uintptr_t>(controlId_),
                                position);
}

void PictureSlider::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!shownPicture().isNull()) {
        painter.drawImage(QPoint(0, 0), shownPicture());
    }
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void PictureSlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        choose(positionAt(event->position().toPoint().x()));
    }
}

void PictureSlider::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) {
        choose(positionAt(event->position().toPoint().x()));
    }
}

void PictureSlider::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Down:
        choose(position_ - 1);
        break;
    case Qt::Key_Right:
    case Qt::Key_Up:
        choose(position_ + 1);
        break;
    case Qt::Key_Home:
        choose(0);
        break;
    case Qt::Key_End:
        choose(kPositions - 1);
        break;
    default:
        QWidget::keyPressEvent(event);
        break;
    }
}

void PictureSlider::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 120;
    if (steps != 0) {
        choose(position_ + steps);
    }
    event->accept();
}

} // namespace tavrik::ui
