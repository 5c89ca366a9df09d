#include "app/shared/MainSkinImages.h"

#include "app/shared/TrayIconFile.h"
#include "platform/MainWindowPort.h"
#include "ui/SkinImageCache.h"

namespace tavrik::app {
namespace {

bool trayIconsReadable(const std::string& skinFolder) {
    for (const int iconId : {platform::trayicon::NoKeyboard, platform::trayicon::KeyboardPresent,
                             platform::trayicon::Alternate}) {
        if (ui::skinImage(trayIconFile(skinFolder, iconId)).isNull()) {
            return false;
        }
    }
    return true;
}

} // namespace

std::optional<MainSkinImages> loadMainSkinImages(const std::string& skinFolder) {
    std::array<ui::SkinImage, kMainSkinImageFiles.size()> loaded;
    for (std::size_t i = 0; i < kMainSkinImageFiles.size(); ++i) {
        loaded[i] = ui::skinImage(skinFolder + kMainSkinImageFiles[i]);
        if (loaded[i].isNull()) {
            return std::nullopt;
        }
    }
    if (!trayIconsReadable(skinFolder)) {
        return std::nullopt;
    }
    return MainSkinImages{loaded[0], loaded[1], loaded[2], loaded[3],
                          loaded[4], loaded[5], loaded[6]};
}

} // namespace tavrik::app
