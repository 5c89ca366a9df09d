#include "app/keyboardpanel/DelayedToolTips.h"

#include <QCursor>
#include <QEvent>
#include <QToolTip>
#include <QWidget>

namespace tavrik::app {

DelayedToolTips::DelayedToolTips(int delayMilliseconds, QObject* parent) : QObject(parent) {
    timer_.setSingleShot(true);
    timer_.setInterval(delayMilliseconds);
    connect(&timer_, &QTimer::timeout, this, &DelayedToolTips::showTip);
}

void DelayedToolTips::watch(QWidget& widget) {
    widget.installEventFilter(this);
}

bool DelayedToolTips::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::ToolTip:
        return true;
    case QEvent::Enter:
        target_ = qobject_cast<QWidget*>(watched);
        timer_.start();
        break;
    case QEvent::Leave:
    case QEvent::MouseButtonPress:
        if (target_ == watched) {
            timer_.stop();
            target_ = nullptr;
            QToolTip::hideText();
        }
        break;
    default:
        break;
    }
    return false;
}

void DelayedToolTips::showTip() {
    if (target_ != nullptr && target_->isVisible() && !target_->toolTip().isEmpty()) {
        QToolTip::showText(QCursor::pos(), target_->toolTip(), target_);
    }
}

} // namespace tavrik::app
