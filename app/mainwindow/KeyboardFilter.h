#pragma once
// The main window's keyboard filter, installed on the application so that it
// sees every key before a widget does. In the main window Enter and Escape
// never reach a widget, so neither closes the window or presses a button,
// and the arrow keys do not reach the lighting effect list while it has the
// focus, so they cannot change the effect. Keys of other windows (message
// boxes, the About box, the editors, also one laid over the main window)
// pass untouched: their Enter and Escape
// keep their meaning there.

#include <QObject>
#include <QPointer>

class QWidget;

namespace tavrik::app {

class KeyboardFilter final : public QObject {
    Q_OBJECT
public:
    KeyboardFilter(QWidget& mainWindow, QWidget& effectList, QObject* parent = nullptr);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> mainWindow_;
    QPointer<QWidget> effectList_;
};

// Whether the filter drops `key` in the main window; `effectListFocused`
// tells whether the effect list has the focus.
bool mainWindowDropsKey(int key, bool effectListFocused);

} // namespace tavrik::app
