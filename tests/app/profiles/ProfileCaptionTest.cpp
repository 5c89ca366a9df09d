// The current-profile caption of the profile buttons.

#include "app/profiles/ProfileCaption.h"

#include "text/LanguageTexts.h"

#include <gtest/gtest.h>

namespace tavrik::app {
namespace {

TEST(ProfileCaption, NamesTheActiveProfileByNumberOrTheDefaultProfile) {
    text::resetLanguageTexts();
    const struct {
        int activeProfile;
        std::u16string caption;
    } cases[] = {
        {-1, u"<Default Profile>"}, {0, u"Profile 1"},         {1, u"Profile 2"},
        {2, u"Profile 3"},          {3, u"<Default Profile>"},
    };
    for (const auto& c : cases) {
        const ProfileCaption caption = profileCaptionOf(c.activeProfile);
        EXPECT_EQ(caption.caption, c.caption) << c.activeProfile;
        EXPECT_EQ(caption.tip, u"The current contextual  mode: " + c.caption);
    }
    text::setLanguageText("PROFILE_TIP", u"Mode: ");
    text::setLanguageText("DEFAULT_PROFILE_NAME", u"none");
    text::setLanguageText("PROFILE_NUMBER", u"配置 %d");
    EXPECT_EQ(profileCaptionOf(-1).tip, u"Mode: none");
    EXPECT_EQ(profileCaptionOf(1).tip, u"Mode: 配置 2");
    // A text without its number still names a profile.
    text::setLanguageText("PROFILE_NUMBER", u"Profile");
    EXPECT_EQ(profileCaptionOf(0).caption, u"Profile");
    text::resetLanguageTexts();
}

} // namespace
} // namespace tavrik::app
