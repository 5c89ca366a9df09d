#pragma once
// The busy indicator of the main window: ten frames ("jdt1.bmp" ..
// "jdt10.bmp" beside the main layout file) shown in turn while Apply runs,
// one per tick of the busy timer, the first again after the tenth. It is
// hidden until the first tick and after Apply. A frame that cannot be read
// shows as an empty picture.

#include <QLabel>
#include <QPixmap>
#include <array>
#include <string>

namespace tavrik::app {

class BusyIndicator final : public QLabel {
    Q_OBJECT
public:
    static constexpr int kFrameCount = 10;

    BusyIndicator(const std::string& skinFolder, QWidget* parent);

    // Shows the next frame.
    void advance();
    // 1..10: the frame shown; 0 before the first tick.
    int frame() const { return frame_; }

private:
    void loadFrames();

    std::string skinFolder_;
    std::array<QPixmap, kFrameCount> frames_;
    bool framesLoaded_ = false;
    int frame_ = 0;
};

} // namespace tavrik::app
