#include "app/mainwindow/BusyIndicator.h"

namespace tavrik::app {

BusyIndicator::BusyIndicator(const std::string& skinFolder, QWidget* parent)
    : QLabel(parent), skinFolder_(skinFolder) {
    setScaledContents(true);
    hide();
}

// The frames are read at the first tick, not at start: most runs never Apply.
void BusyIndicator::loadFrames() {
    for (int i = 0; i < kFrameCount; ++i) {
        frames_[static_cast<std::size_t>(i)] =
            QPixmap(QString::fromStdString(skinFolder_ + "jdt" + std::to_string(i + 1) + ".bmp"));
    }
    framesLoaded_ = true;
}

void BusyIndicator::advance() {
    if (!framesLoaded_) {
        loadFrames();
    }
    frame_ = frame_ % kFrameCount + 1;
    setPixmap(frames_[static_cast<std::size_t>(frame_ - 1)]);
    show();
}

} // namespace tavrik::app
