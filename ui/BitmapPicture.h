#pragma once
// A picture that is clicked like a button and shows one of two bitmaps: its
// plain one, or its selected one while it is selected. Whether it is
// selected is the owner's to say; a click only reports. A missing bitmap
// leaves the picture empty.

#include <QAbstractButton>
#include <QImage>

namespace tavrik::ui {

class BitmapPicture final : public QAbstractButton {
    Q_OBJECT
public:
    explicit BitmapPicture(QWidget* parent = nullptr);

    void setBitmaps(const QImage& plain, const QImage& selected);
    void setSelected(bool selected);
    bool isSelected() const { return selected_; }
    const QImage& shownBitmap() const { return selected_ ? selectedBitmap_ : plain_; }

    QSize sizeHint() const override { return size(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage plain_;
    QImage selectedBitmap_;
    bool selected_ = false;
};

} // namespace tavrik::ui
