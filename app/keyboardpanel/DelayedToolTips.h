#pragma once
// Tooltips that show after the pointer has rested on a widget for a fixed
// delay, whether or not the widget's window is active. The widget's own
// tooltip requests are dropped; a press or leaving the widget hides the tip.

#include <QObject>
#include <QPointer>
#include <QTimer>

class QWidget;

namespace tavrik::app {

class DelayedToolTips final : public QObject {
    Q_OBJECT
public:
    DelayedToolTips(int delayMilliseconds, QObject* parent);

    void watch(QWidget& widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showTip();

    QTimer timer_;
    QPointer<QWidget> target_;
};

} // namespace tavrik::app
