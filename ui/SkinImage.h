#pragma once
// A skin picture that is decoded when it is first drawn. A window that
// starts hidden in the tray then holds the files and sizes of its pictures,
// not megabytes of decoded pixels. Copies share one decoded picture. Used on
// the user-interface thread.

#include <QImage>
#include <QSize>
#include <memory>
#include <string>

namespace tavrik::ui {

class SkinImage {
public:
    SkinImage() = default;
    // A picture already in memory.
    SkinImage(QImage image); // NOLINT(google-explicit-constructor): stands where a QImage did

    // The picture in the file at `path`, or a null one when the file cannot
    // be read or holds no picture of a known format. The file is read now
    // and decoded when first drawn. Only a regular file is opened, as the
    // user's files are: a FIFO in its place would block the start for good,
    // so it, a folder or a device counts as a missing picture, and so does
    // a file too large to be a skin picture.
    static SkinImage fromFile(const std::string& path);

    bool isNull() const { return picture_ == nullptr; }
    QSize size() const;
    // The pixels; the file is decoded at the first call. A file that turns
    // out to be damaged gives a null image: its buttons stay blank.
    const QImage& image() const;
    operator const QImage&() const { return image(); } // NOLINT(google-explicit-constructor)
    qint64 cacheKey() const { return image().cacheKey(); }

private:
    struct Picture;
    std::shared_ptr<Picture> picture_;
};

} // namespace tavrik::ui
