#include "app/mainwindow/KeyboardFilter.h"

#include <QDialog>
#include <QKeyEvent>
#include <QWidget>

namespace tavrik::app {
namespace {

// The window, or the dialog laid over it, whose keys these are.
const QWidget* dialogOf(const QWidget* widget) {
    while (widget != nullptr && !widget->isWindow() &&
           qobject_cast<const QDialog*>(widget) == nullptr) {
        widget = widget->parentWidget();
    }
    return widget;
}

} // namespace

bool mainWindowDropsKey(int key, bool effectListFocused) {
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        return true;
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
        return effectListFocused;
    default:
        return false;
    }
}

KeyboardFilter::KeyboardFilter(QWidget& mainWindow, QWidget& effectList, QObject* parent)
    : QObject(parent), mainWindow_(&mainWindow), effectList_(&effectList) {}

bool KeyboardFilter::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease) {
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (mainWindow_ == nullptr || dialogOf(widget) != mainWindow_) {
        return false;
    }
    const bool listFocused = effectList_ != nullptr && effectList_->hasFocus();
    return mainWindowDropsKey(static_cast<QKeyEvent*>(event)->key(), listFocused);
}

} // namespace tavrik::app
