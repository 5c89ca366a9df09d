#include "app/ProfileCaption.h"

#include "platform/Unicode.h"
#include "ui/LanguageTexts.h"

#include <filesystem>

namespace tavrik::app {

ProfileCaption profileCaptionOf(int activeProfile, const std::string& workingFile) {
    ProfileCaption result;
    if (activeProfile >= 0) {
        result.caption = platform::toUtf16(std::filesystem::path(workingFile).stem().string());
    }
    if (result.caption.empty()) {
        result.caption = ui::languageText("DEFAULT_PROFILE_NAME");
    }
    result.tip = ui::languageText("PROFILE_TIP") + result.caption;
    return result;
}

} // namespace tavrik::app
