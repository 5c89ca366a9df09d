#include "app/profiles/ProfileCaption.h"

#include "sync/ProfileActivation.h"
#include "text/LanguageTexts.h"
#include "text/TextFormat.h"

namespace tavrik::app {

ProfileCaption profileCaptionOf(int activeProfile) {
    ProfileCaption result;
    if (activeProfile >= 0 && activeProfile < sync::kProfileCount) {
        result.caption =
            text::formatWithInteger(text::languageText("PROFILE_NUMBER"), activeProfile + 1);
    } else {
        result.caption = text::languageText("DEFAULT_PROFILE_NAME");
    }
    result.tip = text::languageText("PROFILE_TIP") + result.caption;
    return result;
}

} // namespace tavrik::app
