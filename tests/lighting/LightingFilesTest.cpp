#include "lighting/SkinTexts.h"
#include "lighting/UserColourFile.h"
#include "lighting/ZonePaintingSetting.h"
#include "platform/IniOverlay.h"
#include "tests/platform/IniTestFiles.h"
#include "tests/support/TemporaryFolder.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace tavrik::lighting {
namespace {

using tavrik::testing::readBytes;
using tavrik::testing::writeBytes;

class LightingFiles : public ::testing::Test {
protected:
    void TearDown() override { platform::resetIniOverlay(); }
    std::string settings() const { return folder_.file("Documents/Tavrik_09A/zovu.ini"); }
    std::string skins() const { return folder_.file("bin/Skins/"); }
    tavrik::testing::TemporaryFolder folder_;
};

TEST_F(LightingFiles, OnlyADengCheckOfOneIsOn) {
    EXPECT_FALSE(readZonePainting(settings())) << "no file";
    EXPECT_FALSE(readZonePainting("")) << "no documents folder";
    std::filesystem::create_directories(folder_.file("Documents/Tavrik_09A"));
    const struct {
        std::string_view text;
        bool on;
    } cases[] = {
        {"[KEYCOLOR]\nDengCheck=1\n", true},  {"[keycolor]\ndengcheck = 1 \n", true},
        {"[KEYCOLOR]\nDengCheck=01\n", true}, {"[KEYCOLOR]\nDengCheck=2\n", false},
        {"[KEYCOLOR]\nDengCheck=0\n", false}, {"[KEYCOLOR]\nDengCheck=on\n", false},
        {"[KEYCOLOR]\nDengCheck=\n", false},  {"[OTHER]\nDengCheck=1\n", false},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(writeBytes(settings(), c.text));
        EXPECT_EQ(readZonePainting(settings()), c.on) << c.text;
    }
}

TEST_F(LightingFiles, TheSwitchIsWrittenIntoANewUserFolder) {
    ASSERT_TRUE(writeZonePainting(settings(), true));
    EXPECT_EQ(readBytes(settings()), "[KEYCOLOR]\nDengCheck=1\n");
    EXPECT_TRUE(readZonePainting(settings()));
    ASSERT_TRUE(writeZonePainting(settings(), false));
    EXPECT_EQ(readBytes(settings()), "[KEYCOLOR]\nDengCheck=0\n");
    EXPECT_FALSE(writeZonePainting("", true));
}

TEST_F(LightingFiles, UserModesAreWrittenInTheirOrderAndOfferedAgain) {
    std::filesystem::create_directories(skins());
    const std::string file = userColourFilePath(skins() + "UserDengColor_", 1);
    EXPECT_EQ(file, skins() + "UserDengColor_1.userd");
    EXPECT_EQ(userColourFilePath("", 1), "");

    const UserModeColours colours{PaintingTool::PaintingColour, kBlack, rgb(51, 34, 17)};
    ASSERT_TRUE(writeUserModeColours(file, 0, colours));
    ASSERT_TRUE(writeUserModeName(file, 0, u"Evening"));
    EXPECT_EQ(readBytes(file),
              "[Mode0]\ntool=0\njcolor=0,0,0\ncolor=51,34,17\n[MODENAME]\n0=Evening\n");
    EXPECT_EQ(readUserModeColours(file, 0), colours);
    EXPECT_EQ(readUserModeNames(file), std::vector<std::u16string>{u"Evening"});
    EXPECT_FALSE(readUserModeColours(file, 1).has_value());
}

TEST_F(LightingFiles, UserModesOfAnOlderFileReadTheSame) {
    std::filesystem::create_directories(skins());
    const std::string file = skins() + "UserDengColor_0.userd";
    // UTF-16 with a byte order mark, CR LF, names out of order and a gap.
    const std::u16string text = u"\uFEFF[MODENAME]\r\n1=Night\r\n0=Day\r\n3=Lost\r\n"
                                u"[Mode1]\r\ntool=1\r\njcolor=1,2,3\r\ncolor=200,100,50\r\n"
                                u"[Mode0]\r\ntool=0\r\njcolor=0,0,0\r\ncolor=bad\r\n";
    ASSERT_TRUE(writeBytes(file, tavrik::testing::utf16Bytes(text)));
    EXPECT_EQ(readUserModeNames(file), (std::vector<std::u16string>{u"Day", u"Night"}));
    EXPECT_EQ(readUserModeColours(file, 1),
              (UserModeColours{PaintingTool::BaseColour, rgb(1, 2, 3), rgb(200, 100, 50)}));
    EXPECT_FALSE(readUserModeColours(file, 0).has_value()) << "a colour that is no colour";
}

TEST_F(LightingFiles, UserColourFilesOfAReadOnlyProgramFolderGoToTheOverlay) {
    std::filesystem::create_directories(skins());
    platform::setIniOverlay(
        {folder_.file("bin"), folder_.file("overlay"), [](const std::string&) { return false; }});
    const std::string file = userColourFilePath(skins() + "UserDengColor_", 2);
    ASSERT_TRUE(writeUserModeName(file, 0, u"Mine"));
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(readBytes(folder_.file("overlay/Skins/UserDengColor_2.userd")),
              "[MODENAME]\n0=Mine\n");
    EXPECT_EQ(readUserModeNames(file), std::vector<std::u16string>{u"Mine"});
}

TEST_F(LightingFiles, EffectNamesAndLabelsFollowTheLanguageValue) {
    std::filesystem::create_directories(skins());
    ASSERT_TRUE(writeBytes(skins() + "Main.ini", "[Mode]\n1=Bolang\n[Mode1]\n1=Wave\n8=Zones\n"
                                                 "[Control_Name1]\nSpeed=Speed\nAuto=Auto\n"));
    const platform::IniSnapshot skin = platform::IniFile(skins() + "Main.ini").snapshot();
    EXPECT_EQ(effectName(skin, 0, 1), u"Bolang");
    EXPECT_EQ(effectName(skin, 1, 1), u"Wave");
    EXPECT_EQ(effectName(skin, 1, 8), u"Zones");
    EXPECT_EQ(effectName(skin, 0, 8), u"1") << "a missing name reads as the default";
    EXPECT_EQ(effectName(skin, 2, 1), u"Bolang") << "every other value is Chinese";
    EXPECT_EQ(labelSection(0), u"Control_Name");
    EXPECT_EQ(labelSection(1), u"Control_Name1");
    EXPECT_FALSE(labelSection(2).has_value());
    EXPECT_EQ(ownPanelText(skin, 1, kAutomaticColourKey), u"Auto");
    EXPECT_EQ(ownPanelText(skin, 1, kMoreColoursKey), u"More colours...");
    EXPECT_EQ(ownPanelText(skin, 0, kUserModeHintKey), u"Name this mode");
    const platform::IniSnapshot missing = platform::IniFile(skins() + "None.ini").snapshot();
    EXPECT_EQ(effectName(missing, 1, 5), u"1");
}

} // namespace
} // namespace tavrik::lighting
