#include "text/LanguageFile.h"

#include "platform/AtomicFile.h"
#include "platform/IniFile.h"
#include "tests/support/TemporaryFolder.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <span>

namespace tavrik::text {
namespace {

bool writeFile(const std::string& path, std::string_view bytes) {
    return platform::writeFileAtomically(
        path, {std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                             bytes.size())});
}

class LanguageFileTest : public ::testing::Test {
protected:
    void SetUp() override { resetLanguageTexts(); }
    void TearDown() override { resetLanguageTexts(); }

    std::string file() const { return folder_.file("language.ini"); }
    testing::TemporaryFolder folder_;
};

TEST_F(LanguageFileTest, OnlyTheValueOneSelectsEnglish) {
    struct Case {
        std::string_view languageLine;
        std::u16string_view section;
    };
    const Case cases[] = {
        {"language=1", u"ENGINSH"},    {"LANGUAGE = 1 ", u"ENGINSH"}, {"language=01", u"ENGINSH"},
        {"language=1abc", u"ENGINSH"}, {"language=2", u"CHINESE"},    {"language=", u"CHINESE"},
        {"language=abc", u"CHINESE"},  {"language=0", u"CHINESE"},    {"language=-1", u"CHINESE"},
        {"language=11", u"CHINESE"},   {"other=1", u"CHINESE"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(writeFile(file(), "[language]\n" + std::string(c.languageLine) + "\n"));
        EXPECT_EQ(languageSection(file()), c.section) << c.languageLine;
    }
    EXPECT_EQ(languageSection(folder_.file("missing.ini")), u"CHINESE");
}

TEST_F(LanguageFileTest, LoadsTheMainGroupFromTheChosenSectionAndABlankForMissingKeys) {
    const std::string longText(300, 'L');
    ASSERT_TRUE(writeFile(file(), "[LANGUAGE]\nlanguage=1\n"
                                  "[CHINESE]\nMAIN_CAPTION=\xE9\x94\xAE\xE7\x9B\x98\n"
                                  "[ENGINSH]\n"
                                  "MAIN_CAPTION=Keyboard Settings\n"
                                  "macro_err_same=\"Same name!   \"\n"
                                  "FUNC_KEY_DESC1=Open file\n"
                                  "MEDIA_PALYER_1=Media player\n"
                                  "PROFILE_TIP=" +
                                      longText +
                                      "\n"
                                      "MENU_1=Import profile\n"
                                      "PROFILE_1=Game\n"));
    loadLanguageTexts(file());
    EXPECT_EQ(languageText("MAIN_CAPTION"), u"Keyboard Settings");
    EXPECT_EQ(languageText("MACRO_ERR_SAME"), u"Same name!   ");
    EXPECT_EQ(languageText("FUNC_KEY_DESC1"), u"Open file");
    EXPECT_EQ(languageText("MEDIA_PALYER_1"), u"Media player");
    EXPECT_EQ(languageText("PROFILE_TIP"), std::u16string(259, u'L'));
    EXPECT_EQ(languageText("UNKNOWN_KEY"), u" ");
    EXPECT_EQ(languageText("FUNC_KEY_DESC11"), u" ");
    // Groups read when shown are left for their windows.
    EXPECT_EQ(languageText("MENU_1"), u"Import");
    EXPECT_EQ(languageText("PROFILE_1"), u"hello");
}

TEST_F(LanguageFileTest, MissingFileLeavesEveryLoadedSlotASingleBlank) {
    loadLanguageTexts(folder_.file("missing.ini"));
    for (const TextSlotInfo& slot : textSlots()) {
        const std::u16string expected =
            slot.group == TextGroup::Main ? u" " : std::u16string(slot.builtInDefault);
        EXPECT_EQ(languageText(slot.key), expected) << slot.key;
    }
}

TEST_F(LanguageFileTest, ProfileCaptionsBringTheButtonTipsAlong) {
    ASSERT_TRUE(writeFile(file(), "[LANGUAGE]\nlanguage=1\n[ENGINSH]\nPROFILE_1=Game\n"
                                  "PROFILE_APPLY=Apply\nMAIN_MENU_PROMPT=Open the menu\n"));
    loadProfileCaptions(file());
    EXPECT_EQ(languageText("PROFILE_1"), u"Game");
    EXPECT_EQ(languageText("PROFILE_APPLY"), u"Apply");
    EXPECT_EQ(languageText("PROFILE_CANCLE"), u" ");
    EXPECT_EQ(languageText("MAIN_MENU_PROMPT"), u"Open the menu");
    EXPECT_EQ(languageText("MAIN_MINIMIZE_PROMPT"), u" ");
    EXPECT_EQ(languageText("MAIN_CLOSE_PROMPT"), u" ");
    EXPECT_EQ(languageText("MAIN_CAPTION"), u"Gaming Keyboard Settings");
}

TEST_F(LanguageFileTest, GroupsReadWhenShownFollowEditsOfTheFile) {
    // A UTF-16 file, as the language files of the desktop usually are.
    const std::u16string text = u"\uFEFF[LANGUAGE]\r\nlanguage=2\r\n[CHINESE]\r\n"
                                u"MENU_1=\u5BFC\u5165\r\n[ENGINSH]\r\nMENU_1=Import\r\n";
    std::string bytes;
    for (const char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    ASSERT_TRUE(writeFile(file(), bytes));
    loadTextGroup(file(), TextGroup::Menu);
    EXPECT_EQ(languageText("MENU_1"), u"\u5BFC\u5165");
    EXPECT_EQ(languageText("MENU_2"), u" ");
    EXPECT_EQ(languageText("MAIN_CAPTION"), u"Gaming Keyboard Settings");

    platform::IniFile edited(file());
    ASSERT_TRUE(edited.writeString(u"LANGUAGE", u"language", u"1"));
    ASSERT_TRUE(edited.writeString(u"ENGINSH", u"MENU_2", u"Export"));
    loadTextGroup(file(), TextGroup::Menu);
    EXPECT_EQ(languageText("MENU_1"), u"Import");
    EXPECT_EQ(languageText("MENU_2"), u"Export");

    ASSERT_TRUE(edited.writeString(u"ENGINSH", u"GUANYU_BANQUAN", u"All rights reserved"));
    loadTextGroup(file(), TextGroup::About);
    EXPECT_EQ(languageText("GUANYU_BANQUAN"), u"All rights reserved");
    EXPECT_EQ(languageText("GUANYU_JIESHAO"), u" ");
}

TEST(LanguageFilePath, SitsInTheSkinsFolderOfTheProgram) {
    EXPECT_EQ(languageFilePath("/opt/tavrik/"), "/opt/tavrik/Skins/language.ini");
    EXPECT_EQ(languageFilePath("/opt/tavrik"), "/opt/tavrik/Skins/language.ini");
}

} // namespace
} // namespace tavrik::text
