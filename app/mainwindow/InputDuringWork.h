#pragma once
// While long keyboard work runs (sync/KeyboardWork.h), the main window and
// its dialogs take no clicks, keys or wheel turns but those that cannot
// reach the keyboard: the window can still be moved, its tips show, the
// tray menu opens, message boxes answer, and the title bar's buttons work
// (the window refuses or queues their commands itself). Everything else the
// user tries meanwhile is dropped: nothing of it runs beside the work.

#include <QObject>
#include <functional>

class QWidget;

namespace tavrik::app {

class InputDuringWork final : public QObject {
public:
    // `guarded`: whether a window (a top-level widget) is the main window or
    // one of its dialogs; `allowed`: the widgets of it that still take input.
    InputDuringWork(std::function<bool(const QWidget* window)> guarded,
                    std::function<bool(const QWidget* widget)> allowed);
    ~InputDuringWork() override;
    InputDuringWork(const InputDuringWork&) = delete;
    InputDuringWork& operator=(const InputDuringWork&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<bool(const QWidget*)> guarded_;
    std::function<bool(const QWidget*)> allowed_;
};

} // namespace tavrik::app
