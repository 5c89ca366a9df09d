#include "ui/SkinImage.h"

#include "platform/RegularFile.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <cstdint>
#include <optional>
#include <span>

namespace tavrik::ui {
namespace {

// Far above the largest picture of a skin (the main window's, a few
// megabytes as a bitmap).
constexpr std::uint64_t kLargestSkinFile = 64u * 1024 * 1024;

// The file's bytes, when it is a regular file of a plausible size that
// reads whole.
std::optional<QByteArray> readSkinFile(const std::string& path) {
    platform::RegularFile file;
    if (file.open(path) != platform::RegularFile::Open::Opened || file.size() == 0 ||
        file.size() > kLargestSkinFile) {
        return std::nullopt;
    }
    QByteArray bytes(static_cast<qsizetype>(file.size()), Qt::Uninitialized);
    if (!file.readFully(std::span(reinterpret_cast<std::uint8_t*>(bytes.data()),
                                  static_cast<std::size_t>(bytes.size())))) {
        return std::nullopt;
    }
    return bytes;
}

} // namespace

struct SkinImage::Picture {
    QByteArray encoded;
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
    std::optional<QByteArray> bytes = readSkinFile(path);
    if (!bytes) {
        return {};
    }
    QBuffer buffer(&*bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!reader.canRead() || !size.isValid() || size.isEmpty()) {
        return {};
    }
    SkinImage image;
    image.picture_ = std::make_shared<Picture>();
    image.picture_->encoded = std::move(*bytes);
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
        picture_->image.loadFromData(picture_->encoded);
        picture_->encoded.clear();
    }
    return picture_->image;
}

} // namespace tavrik::ui
