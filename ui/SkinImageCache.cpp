#include "ui/SkinImageCache.h"

#include <QString>
#include <unordered_map>

namespace tavrik::ui {
namespace {

// A dialog type's images: a few dozen at most, so nothing is ever evicted.
std::unordered_map<std::string, QImage>& keptImages() {
    static std::unordered_map<std::string, QImage> images;
    return images;
}

} // namespace

QImage skinImage(const std::string& path) {
    auto& images = keptImages();
    if (const auto kept = images.find(path); kept != images.end()) {
        return kept->second;
    }
    QImage image;
    if (path.empty() || !image.load(QString::fromStdString(path))) {
        return {};
    }
    images.emplace(path, image);
    return image;
}

void clearSkinImages() {
    keptImages().clear();
}

} // namespace tavrik::ui
