#include "tests/skin/SkinFiles.h"
#include "tests/skin/SkinKeys.h"

#include <gtest/gtest.h>

namespace tavrik::skintest {
namespace {

constexpr double kVisibleDifference = 4.0;
// JPEG noise stays well below this where two pictures are drawn alike.
constexpr double kSamePicture = 1.0;

void expectPlacedInside(const platform::IniSnapshot& file, const QImage& background,
                        const std::vector<std::string>& keys) {
    ASSERT_FALSE(background.isNull());
    for (const std::string& key : keys) {
        const QRect rect = buttonRect(file, key);
        EXPECT_NE(rect, QRect(1, 1, 1, 1)) << key << " is missing or malformed";
        EXPECT_TRUE(background.rect().contains(rect.adjusted(-1, -1, 0, 0)))
            << key << " leaves the dialog";
    }
}

void expectStatesDiffer(const platform::IniSnapshot& file, const std::vector<std::string>& buttons,
                        const std::string& normalFile, const std::vector<std::string>& otherFiles) {
    const QImage normal = skinImage(normalFile);
    ASSERT_FALSE(normal.isNull()) << normalFile;
    for (const std::string& other : otherFiles) {
        const QImage image = skinImage(other);
        ASSERT_FALSE(image.isNull()) << other;
        EXPECT_EQ(image.size(), normal.size()) << other;
        for (const std::string& key : buttons) {
            EXPECT_GT(meanDifference(normal, image, shownPiece(buttonRect(file, key))),
                      kVisibleDifference)
                << other << " under " << key;
        }
    }
}

class CompositeSkin : public ::testing::Test {
protected:
    platform::IniSnapshot composite_ = layoutFile("Composite.ini");
    QImage background_ = screenImage(composite_, "Main");
};

TEST_F(CompositeSkin, EveryControlHasAPlaceInsideTheDialog) {
    std::vector<std::string> keys = kCompositeCommonKeys;
    keys.push_back("CONTROL_MASK");
    for (const auto* section : {&kCompositeKeySection, &kCompositeMediaSection,
                                &kCompositeFunctionSection, &kCompositeMacroSection}) {
        keys.insert(keys.end(), section->begin(), section->end());
    }
    expectPlacedInside(composite_, background_, keys);
}

TEST_F(CompositeSkin, EachSectionFitsTheSectionAreaWithoutOverlaps) {
    std::vector<std::string> frame = kCompositeCommonKeys;
    frame.push_back("CONTROL_MASK");
    EXPECT_EQ(overlappingPairs(composite_, frame), std::vector<std::string>());
    const QRect area = buttonRect(composite_, "CONTROL_MASK");
    for (const auto* section : {&kCompositeKeySection, &kCompositeMediaSection,
                                &kCompositeFunctionSection, &kCompositeMacroSection}) {
        EXPECT_EQ(overlappingPairs(composite_, *section), std::vector<std::string>());
        for (const std::string& key : *section) {
            EXPECT_TRUE(area.contains(buttonRect(composite_, key))) << key;
        }
    }
}

TEST_F(CompositeSkin, ImageSetsFitTheDialogAndDifferUnderTheirButtons) {
    const QImage mask = screenImage(composite_, "Mask");
    ASSERT_FALSE(mask.isNull());
    EXPECT_EQ(mask.size(), background_.size());
    EXPECT_EQ(mask.pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_NE(mask.pixel(mask.width() / 2, mask.height() / 2) & 0xFFFFFF, 0xFFFFFFu);
    expectStatesDiffer(composite_, kCompositeKeySetButtons, "key_normal.jpg",
                       {"key_over.jpg", "key_down.jpg"});
    expectStatesDiffer(composite_, kCompositeMacroSetButtons, "macro_normal.jpg",
                       {"macro_over.jpg", "macro_down.jpg", "macro_disable.jpg"});
    expectStatesDiffer(composite_, kCompositeMacroOnlyButtons, "macro2_normal.jpg",
                       {"macro2_over.jpg", "macro2_down.jpg", "macro2_disable.jpg"});
    for (const char* file : {"media_normal.jpg", "media_over.jpg", "media_down.jpg",
                             "function_normal.jpg", "function_over.jpg", "function_down.jpg"}) {
        EXPECT_EQ(skinImage(file).size(), background_.size()) << file;
    }
}

TEST_F(CompositeSkin, SectionAreaStaysStillUnderThePointer) {
    // The section area is an image button too; where no button lies on it,
    // its hover and pressed pictures must match the normal one.
    const QRect area = shownPiece(buttonRect(composite_, "CONTROL_MASK"));
    for (const char* set : {"key", "media", "function"}) {
        const QImage normal = skinImage(std::string(set) + "_normal.jpg");
        for (const char* state : {"_over.jpg", "_down.jpg"}) {
            EXPECT_LT(meanDifference(normal, skinImage(set + std::string(state)), area),
                      kSamePicture)
                << set << state;
        }
    }
}

TEST(ProfileSkin, ButtonsAndListFitTheDialogAndDifferInEveryState) {
    const platform::IniSnapshot profile = layoutFile("Profile.ini");
    const QImage background = screenImage(profile, "Main");
    std::vector<std::string> keys = kProfileButtons;
    keys.push_back("PROGRAM_LIST");
    expectPlacedInside(profile, background, keys);
    EXPECT_EQ(overlappingPairs(profile, keys), std::vector<std::string>());
    EXPECT_EQ(screenImage(profile, "Mask").size(), background.size());
    expectStatesDiffer(profile, kProfileButtons, "Profile_normal.jpg",
                       {"Profile_over.jpg", "Profile_down.jpg"});
}

TEST(AppProfilesSkin, ControlsFitTheDialogWithoutOverlapsAndButtonsDifferInEveryState) {
    const platform::IniSnapshot dialog = layoutFile("AppProfiles.ini");
    const QImage background = screenImage(dialog, "Main");
    const std::vector<std::string> buttons = {"APP_REMOVE", "APP_ADD", "APP_PICK", "CONTROL_CLOSE"};
    std::vector<std::string> keys = buttons;
    for (const char* key :
         {"APP_TITLE", "APP_LIST", "APP_ID_PROMPT", "APP_ID", "APP_PROFILE", "APP_PICK_STATE",
          "APP_DEFAULT_PROMPT", "APP_DEFAULT", "APP_DEFAULT_IN_FORCE"}) {
        keys.push_back(key);
    }
    expectPlacedInside(dialog, background, keys);
    EXPECT_EQ(overlappingPairs(dialog, keys), std::vector<std::string>());
    EXPECT_EQ(screenImage(dialog, "Mask").size(), background.size());
    expectStatesDiffer(dialog, buttons, "AppProfiles_normal.jpg",
                       {"AppProfiles_over.jpg", "AppProfiles_down.jpg"});
}

} // namespace
} // namespace tavrik::skintest
