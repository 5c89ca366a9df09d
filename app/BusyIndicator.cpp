#include "app/BusyIndicator.h"

namespace tavrik::app {

BusyIndicator::BusyIndicator(const std::string& skinFolder, QWidget* parent) : QLabel(parent) {
    for (int i = 0; i < kFrameCount; ++i) {
        frames_[static_cast<std::size_t>(i)] =
            QPixmap(QString::fromStdString(skinFolder + "jdt" + std::to_string(i + 1) + ".bmp"));
    }
    setScaledContents(true);
    hide();
}

void BusyIndicator::advance() {
    frame_ = frame_ % kFrameCount + 1;
    setPixmap(frames_[static_cast<std::size_t>(frame_ - 1)]);
    show();
}

} // namespace tavrik::app
