#include "app/compositeeditor/CompositeSkinImages.h"

#include "ui/SkinImageCache.h"

namespace tavrik::app {
namespace {

ui::ButtonImages imageSet(const std::string& folder, const std::string& prefix, bool hasDisabled) {
    const auto image = [&](const char* look) {
        return ui::skinImage(folder + prefix + "_" + look + ".jpg");
    };
    const ui::SkinImage normal = image("normal");
    const ui::SkinImage down = image("down");
    return {normal, image("over"), down, hasDisabled ? image("disable") : normal, down};
}

} // namespace

CompositeSkinImages loadCompositeSkinImages(const std::string& skinFolder) {
    return {imageSet(skinFolder, "key", false), imageSet(skinFolder, "macro", true),
            imageSet(skinFolder, "macro2", true), imageSet(skinFolder, "media", false),
            imageSet(skinFolder, "function", false)};
}

} // namespace tavrik::app
