#include "ui/SkinImage.h"

#include <QImageReader>
#include <QString>

namespace tavrik::ui {

struct SkinImage::Picture {
    QString path;
    QSize size;
    bool decoded = false;
    QImage image;
};

SkinImage::SkinImage(QImage image) {
    if (image.isNull()) {
        return;
    }
    picture_ = std::make_shared<Picture>();
    picture_->size = image.size();
    picture_->decoded = true;
    picture_->image = std::move(image);
}

SkinImage SkinImage::fromFile(const std::string& path) {
    if (path.empty()) {
        return {};
    }
    const QString name = QString::fromStdString(path);
    QImageReader reader(name);
    const QSize size = reader.size();
    if (!reader.canRead() || !size.isValid() || size.isEmpty()) {
        return {};
    }
    SkinImage image;
    image.picture_ = std::make_shared<Picture>();
    image.picture_->path = name;
    image.picture_->size = size;
    return image;
}

QSize SkinImage::size() const {
    return picture_ != nullptr ? picture_->size : QSize();
}

const QImage& SkinImage::image() const {
    static const QImage none;
    if (picture_ == nullptr) {
        return none;
    }
    if (!picture_->decoded) {
        picture_->decoded = true;
        picture_->image.load(picture_->path);
    }
    return picture_->image;
}

} // namespace tavrik::ui
