#pragma once
// An image button without a frame of its own: it shows the piece of a
// full-window state image that lies under it, so the dialog's skin draws it.
// The state picks the image: disabled, else pressed while held down, else
// mouse-over while the pointer is on it, else checked while checked, else
// normal.

#include <QAbstractButton>
#include <QImage>
#include <QPoint>

namespace tavrik::ui {

struct ButtonImages {
    QImage normal;
    QImage over;
    QImage pressed;
    QImage disabled;
    QImage checked;

    // The same image for every state.
    static ButtonImages all(const QImage& image) { return {image, image, image, image, image}; }
};

enum class ButtonState { Normal, Over, Pressed, Disabled, Checked };

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

    QSize sizeHint() const override;

signals:
    // The pointer came onto the button, or left it.
    void pointerEntered();
    void pointerLeft();

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    ButtonImages images_;
    QPoint imageOrigin_;
    bool pointerOver_ = false;
};

} // namespace tavrik::ui
