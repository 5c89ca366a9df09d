#include "app/ProfileCaption.h"

#include "platform/Unicode.h"
#include "text/LanguageTexts.h"

#include <filesystem>

namespace tavrik::app {

ProfileCaption profileCaptionOf(int activeProfile, const std::string& workingFile) {
    ProfileCaption result;
    if (activeProfile >= 0) {
        result.caption = platform::toUtf16(std::filesystem::path(workingFile).stem().string());
    }
    if (result.caption.empty()) {
        result.caption = text::languageText("DEFAULT_PROFILE_NAME");
    }
    result.tip = text::languageText("PROFILE_TIP") + result.caption;
    return result;
}

} // namespace tavrik::app
