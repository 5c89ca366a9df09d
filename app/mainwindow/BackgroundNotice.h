#pragma once
// Where no notification area shows the program's icon, closing the main
// window minimises it and the program keeps running in the background. The
// window says so once, the first time it shows there: a strip laid over the
// window that a click puts away. The settings store remembers that it was
// said, so it is said once for the user, not once a start.

#include <QLabel>

namespace tavrik::app {

class BackgroundNotice final : public QLabel {
    Q_OBJECT
public:
    // Hidden, at `place` in `window`.
    BackgroundNotice(QWidget& window, const QRect& place);

    // Shows the strip (MAIN_BACKGROUND_NOTE) unless it was said before;
    // whether it shows now.
    bool sayOnce();
    static bool wasSaid();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

} // namespace tavrik::app
