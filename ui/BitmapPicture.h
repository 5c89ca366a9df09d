#pragma once
// A picture that is clicked like a button and shows one of two bitmaps: its
// plain one, or its selected one while it is selected. Whether it is
// selected is the owner's to say; a click only reports. A missing bitmap
// leaves the picture empty.

#include "ui/SkinImage.h"

#include <QAbstractButton>
#include <QImage>

namespace tavrik::ui {

class BitmapPicture final : public QAbstractButton {
    Q_OBJECT
public:
    explicit BitmapPicture(QWidget* parent = nullptr);

    void setBitmaps(const SkinImage& plain, const SkinImage& selected);
    void setSelected(bool selected);
    bool isSelected() const { return selected_; }
    const QImage& shownBitmap() const {
        return selected_ ? selectedBitmap_.image() : plain_.image();
    }

    QSize sizeHint() const override { return size(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    SkinImage plain_;
    SkinImage selectedBitmap_;
    bool selected_ = false;
};

} // namespace tavrik::ui
