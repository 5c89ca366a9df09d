#include "ui/SkinImageCache.h"

#include <QString>
#include <unordered_map>

namespace tavrik::ui {
namespace {

// A dialog type's images: a few dozen at most, so nothing is ever evicted.
std::unordered_map<std::string, SkinImage>& keptImages() {
    static std::unordered_map<std::string, SkinImage> images;
    return images;
}

} // namespace

SkinImage skinImage(const std::string& path) {
    auto& images = keptImages();
    if (const auto kept = images.find(path); kept != images.end()) {
        return kept->second;
    }
    SkinImage image = SkinImage::fromFile(path);
    if (image.isNull()) {
        return {};
    }
    images.emplace(path, image);
    return image;
}

void clearSkinImages() {
    keptImages().clear();
}

} // namespace tavrik::ui
