#include "app/mainwindow/InputDuringWork.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace tavrik::app {
namespace {

bool isUserInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::ShortcutOverride:
        return true;
    default:
        return false;
    }
}

} // namespace

InputDuringWork::InputDuringWork(std::function<bool(const QWidget* window)> guarded,
                                 std::function<bool(const QWidget* widget)> allowed)
    : guarded_(std::move(guarded)), allowed_(std::move(allowed)) {
    qApp->installEventFilter(this);
}

InputDuringWork::~InputDuringWork() {
    qApp->removeEventFilter(this);
}

bool InputDuringWork::eventFilter(QObject* watched, QEvent* event) {
    if (!isUserInput(event->type()) || !watched->isWidgetType()) {
        return false;
    }
    const auto* widget = static_cast<const QWidget*>(watched);
    return guarded_(widget->window()) && !allowed_(widget);
}

} // namespace tavrik::app
