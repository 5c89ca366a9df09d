#pragma once
// An image button without a frame of its own: it shows the piece of a
// full-window state image that lies under it, so the dialog's skin draws it.
// The state picks the image: disabled, else pressed while held down, else
// mouse-over while the pointer is on it, else checked while checked, else
// normal. A button marked as assigned shows its assigned image where it would
// show the normal or checked one, and a colour overlay, while on, tints the
// whole piece.

#include "ui/SkinImage.h"

#include <QAbstractButton>
#include <QColor>
#include <QImage>
#include <QPoint>
#include <cstdint>

namespace tavrik::ui {

struct ButtonImages {
    SkinImage normal;
    SkinImage over;
    SkinImage pressed;
    SkinImage disabled;
    SkinImage checked;

    // The same image for every state.
    static ButtonImages all(const SkinImage& image) { return {image, image, image, image, image}; }
};

enum class ButtonState { Normal, Over, Pressed, Disabled, Checked };

// A colour laid over a button's picture: `level` percent of `colour`
// (0x00BBGGRR) over the picture, while `on`.
struct ColourOverlay {
    bool on = false;
    std::uint32_t colour = 0;
    int level = 50;
    friend bool operator==(const ColourOverlay&, const ColourOverlay&) = default;
};

class CPngButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit CPngButton(QWidget* parent = nullptr);

    // The state images and the top-left corner of the piece the button shows
    // of each (the piece has the button's size).
    void setImages(const ButtonImages& images, QPoint imageOrigin);
    QPoint imageOrigin() const { return imageOrigin_; }

    ButtonState state() const;
    const QImage& stateImage(ButtonState state) const;
    // What the button shows now: the image of its state, or the assigned
    // image for a marked button in the normal or checked state.
    const QImage& shownImage() const;

    // The assigned look: a full-window image like the state images; without
    // one a marked button looks like any other.
    void setAssignedImage(const SkinImage& image);
    void setAssigned(bool assigned);
    bool isAssigned() const { return assigned_; }

    void setColourOverlay(const ColourOverlay& overlay);
    const ColourOverlay& colourOverlay() const { return overlay_; }
    // The colour of a caption drawn on the button: `preferred`, unless an
    // overlay leaves too little contrast for it.
    QColor captionColour(const QColor& preferred) const;

    QSize sizeHint() const override;

signals:
    // The pointer came onto the button, or left it.
    void pointerEntered();
    void pointerLeft();

protected:
    void paintEvent(QPaintEvent* event) override;
    // The shown image's piece and the overlay, without the caption.
    void paintFace(QPainter& painter) const;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    ButtonImages images_;
    SkinImage assignedImage_;
    QPoint imageOrigin_;
    bool pointerOver_ = false;
    bool assigned_ = false;
    ColourOverlay overlay_;
};

} // namespace tavrik::ui
