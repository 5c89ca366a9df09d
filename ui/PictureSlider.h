#pragma once
// A slider drawn as one whole picture per position: the skin paints the
// track and the knob at each of its positions 0..4. A press, a drag, the
// arrow keys or the wheel pick a position; each new position is reported to
// the owner window as the slider message (control id, position). The owner
// decides what the slider shows: setPosition changes the picture and
// reports nothing.

#include "ui/SkinImage.h"

#include <QImage>
#include <QWidget>
#include <array>
#include <cstdint>

namespace tavrik::ui {

class PictureSlider final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kPositions = 5;

    // Reports go to `owner` as message `message` with wParam `controlId`
    // and lParam the position.
    PictureSlider(QWidget* parent, QObject* owner, std::uint32_t message, int controlId);

    void setPictures(const std::array<SkinImage, kPositions>& pictures);
    int position() const { return position_; }
    // Shows the picture of `position` (clamped to 0..4).
    void setPosition(int position);
    const QImage& shownPicture() const;

    // The position a press at x would choose.
    int positionAt(int x) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // Reports `position` when it differs from the last one reported or shown.
    void choose(int position);

    QObject* owner_;
    std::uint32_t message_;
    int controlId_;
    std::array<SkinImage, kPositions> pictures_;
    int position_ = 0;
};

} // namespace tavrik::ui
