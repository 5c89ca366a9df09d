// The lighting panel of the main window against the virtual keyboard: what
// it shows of the keyboard's lighting, and what each control writes.

#include "app/lightingpanel/LightingPanel.h"

#include "app/profiles/ProfileButtons.h"
#include "platform/Unicode.h"
#include "tests/app/lightingpanel/LightingPanelFixture.h"

#include <QAction>
#include <QColorDialog>
#include <QLineEdit>
#include <filesystem>
#include <map>

namespace tavrik::app {
namespace {

using testing::Bytes;
using testing::LightingPanelTest;
using testing::serveEventsUntil;

TEST_F(LightingPanelTest, TheEffectListNamesTheKeyboardsEffectsAndWritesTheChosenOne) {
    LightingPanel& panel = startPanel(true, "1 8");
    QComboBox& effects = *panel.effectList();
    ASSERT_EQ(effects.count(), 2);
    EXPECT_EQ(effects.itemText(0), "Wave");
    EXPECT_EQ(effects.itemText(1), "Custom zones");
    EXPECT_EQ(effects.currentIndex(), 0);
    chooseEffect(panel, 1);
    EXPECT_EQ(lighting()[0], 8);
    EXPECT_EQ(panel.state().record.effect, 8);
    EXPECT_TRUE(shown(panel, u"CONTROL_umCombo"));
    EXPECT_FALSE(shown(panel, u"CONTROL_SpeedSlider"));
}

TEST_F(LightingPanelTest, SlidersShowTheirPictureAndWriteTheirByte) {
    LightingPanel& panel = startPanel();
    keyboard_.control("press profile 2");
    ASSERT_TRUE(serveEventsUntil([&] { return panel.lightingProfile() == 2; }));
    ui::PictureSlider& brightness = panel.controls().brightness();
    ui::PictureSlider& speed = panel.controls().speed();
    EXPECT_EQ(brightness.shownPicture().cacheKey(), bitmap("4.bmp").cacheKey());
    EXPECT_EQ(speed.shownPicture().cacheKey(), bitmap("9.bmp").cacheKey()) << "speed 1";

    const Bytes before = lighting();
    pressAt(brightness, brightness.width() / 2 + brightness.width() / 8); // position 3
    EXPECT_EQ(brightness.position(), 3);
    EXPECT_EQ(brightness.shownPicture().cacheKey(), bitmap("3.bmp").cacheKey());
    Bytes expected = before;
    expected[85] = 3;
    EXPECT_EQ(lighting(), expected);

    for (const auto& [position, speedByte] : {std::pair{0, 4}, {4, 0}, {2, 2}}) {
        pressAt(speed, position == 0 ? 0 : position == 4 ? speed.width() - 1 : speed.width() / 2);
        EXPECT_EQ(speed.shownPicture().cacheKey(),
                  bitmap(std::to_string(position + 6) + ".bmp").cacheKey());
        EXPECT_EQ(lighting()[86], speedByte) << "position " << position;
    }
}

TEST_F(LightingPanelTest, AReportRateAboveThreePressesTheFourthButton) {
    LightingPanel& panel = startPanel(false);
    changeOnTheKeyboard(0, lighting::offset::ReportRate, 7);
    ASSERT_TRUE(serveEventsUntil([&] { return panel.state().record.reportRate == 3; }));
    changeOnTheKeyboard(0, lighting::offset::ReportRate, 1);
    ASSERT_TRUE(serveEventsUntil([&] { return panel.reportRateButton(1)->isChecked(); }));
    changeOnTheKeyboard(0, lighting::offset::ReportRate, 7);
    ASSERT_TRUE(serveEventsUntil([&] { return panel.reportRateButton(3)->isChecked(); }));
    for (int rate = 0; rate < 3; ++rate) {
        EXPECT_FALSE(panel.reportRateButton(rate)->isChecked()) << rate;
    }
    panel.reportRateButton(0)->click();
    EXPECT_EQ(lighting()[15], 0);
    EXPECT_TRUE(panel.reportRateButton(0)->isChecked());
    EXPECT_FALSE(panel.reportRateButton(3)->isChecked());
}

TEST_F(LightingPanelTest, EachEffectShowsItsGroupsWhileTheEditorIsOn) {
    LightingPanel& panel = startPanel();
    const struct {
        int effect;
        std::vector<std::u16string_view> shown;
        std::vector<std::u16string_view> hidden;
    } cases[] = {
        {4,
         {u"CONTROL_HXysButton", u"CONTROL_HXsjsStaPic", u"CONTROL_LightSlider"},
         {u"CONTROL_SpeedSlider", u"CONTROL_BLFXLStaPic", u"CONTROL_FYYSButton"}},
        {12,
         {u"CONTROL_SpeedSlider", u"CONTROL_BLFXLStaPic", u"CONTROL_BLFXStatic"},
         {u"CONTROL_HXysButton", u"CONTROL_umCombo"}},
        {16,
         {u"CONTROL_FYYSButton", u"CONTROL_FYSJSStaPic", u"CONTROL_FYYSStatic"},
         {u"CONTROL_HXysButton", u"CONTROL_SpeedSlider"}},
        {17, {u"CONTROL_HONGPIC", u"CONTROL_LANPIC"}, {u"CONTROL_HXysButton"}},
        {8,
         {u"CONTROL_USERysButton", u"CONTROL_USERgjStaPic1", u"CONTROL_umCombo"},
         {u"CONTROL_HONGPIC", u"CONTROL_SpeedStatic"}},
        {18, {u"CONTROL_BLFXRStaPic", u"CONTROL_DengStatic"}, {u"CONTROL_SpeedSlider"}},
    };
    for (const auto& c : cases) {
        chooseEffect(panel, c.effect - 1);
        ASSERT_EQ(lighting()[0], c.effect);
        for (const std::u16string_view key : c.shown) {
            EXPECT_TRUE(shown(panel, key)) << "effect " << c.effect << " " << platform::toUtf8(key);
        }
        for (const std::u16string_view key : c.hidden) {
            EXPECT_FALSE(shown(panel, key))
                << "effect " << c.effect << " " << platform::toUtf8(key);
        }
    }
}

TEST_F(LightingPanelTest, TheDirectionGroupMovesAndChangesItsPicturesWithTheEffect) {
    LightingPanel& panel = startPanel();
    const ui::CIniFile layout(skins() + "Main.ini");
    const struct {
        int effect;
        const char* suffix;
        const char* left;
        const char* right;
    } cases[] = {
        {1, "2", "leftup.bmp", "rightdown.bmp"},
        {12, "3", "upup.bmp", "downdown.bmp"},
        {18, "", "kuosan.bmp", "julongdown.bmp"},
    };
    for (const auto& c : cases) {
        chooseEffect(panel, c.effect - 1);
        const auto place =
            layout.readRect(platform::toUtf16(std::string("CONTROL_BLFXRStaPic") + c.suffix));
        EXPECT_EQ(panel.controls().directionRight().pos(), QPoint(place.x, place.y)) << c.effect;
        EXPECT_EQ(panel.controls().directionLeft().shownBitmap().cacheKey(),
                  bitmap(c.left).cacheKey());
        EXPECT_EQ(panel.controls().directionRight().shownBitmap().cacheKey(),
                  bitmap(c.right).cacheKey());
    }
    panel.controls().directionLeft().click();
    EXPECT_EQ(lighting()[3], 1);
    EXPECT_EQ(panel.controls().directionLeft().shownBitmap().cacheKey(),
              bitmap("kuosandown.bmp").cacheKey());
    panel.controls().directionRight().click();
    EXPECT_EQ(lighting()[3], 0);
}

TEST_F(LightingPanelTest, WithTheEditorOffOnlyTheListTheSwitchAndTheReportRateShow) {
    LightingPanel& panel = startPanel(false);
    EXPECT_EQ(panel.controls().lightingSwitch().shownBitmap().cacheKey(),
              bitmap("dengup.bmp").cacheKey());
    EXPECT_TRUE(panel.effectList()->isVisibleTo(window_.get()));
    EXPECT_TRUE(panel.controls().lightingSwitch().isVisibleTo(window_.get()));
    EXPECT_TRUE(panel.reportRateButton(0)->isVisibleTo(window_.get()));
    EXPECT_TRUE(shown(panel, u"CONTROL_UsbStatic"));
    // The switch is named by its label and says in its tip what it does.
    EXPECT_TRUE(shown(panel, kSwitchLabelKey));
    EXPECT_EQ(panel.controls().labels().find(kSwitchLabelKey)->second->text(), "Lighting");
    EXPECT_TRUE(panel.controls().lightingSwitch().toolTip().contains(
        "Shows the settings of the chosen effect and paints zones on the keys."));
    for (const lighting::ControlGroup group : lighting::kControlGroups) {
        for (const std::u16string_view key : lighting::groupSkinKeys(group)) {
            if (key != kSwitchLabelKey) {
                EXPECT_FALSE(shown(panel, key)) << platform::toUtf8(key);
            }
        }
    }
}

TEST_F(LightingPanelTest, ColourButtonsWriteTheChosenColourWithoutRandomColours) {
    LightingPanel& panel = startPanel();
    chooseEffect(panel, 3); // effect 4, a single colour
    ui::ColourButton& colour = panel.controls().colourButton(ColourGroup::Plain);
    colour.moreAction()->trigger();
    ASSERT_NE(colour.colourDialog(), nullptr);
    colour.colourDialog()->setCurrentColor(QColor(51, 34, 17));
    colour.colourDialog()->accept();
    Bytes written = lighting();
    EXPECT_EQ(Bytes(written.begin() + 4, written.begin() + 8), (Bytes{0, 51, 34, 17}));
    EXPECT_EQ(colour.colour(), QColor(51, 34, 17));
    EXPECT_EQ(panel.controls().randomPicture(ColourGroup::Plain).shownBitmap().cacheKey(),
              bitmap("sjsup.bmp").cacheKey());

    panel.controls().randomPicture(ColourGroup::Plain).click();
    EXPECT_EQ(lighting()[4], 1);
    EXPECT_EQ(panel.controls().randomPicture(ColourGroup::Plain).shownBitmap().cacheKey(),
              bitmap("sjsdown.bmp").cacheKey());

    // The automatic entry gives the button's automatic colour, red.
    panel.controls().colourButton(ColourGroup::Reaction).automaticAction()->trigger();
    written = lighting();
    EXPECT_EQ(Bytes(written.begin() + 4, written.begin() + 8), (Bytes{0, 255, 0, 0}));
    EXPECT_EQ(colour.colour(), QColor(255, 0, 0)) << "both buttons show the one colour";
}

TEST_F(LightingPanelTest, PresetColoursMarkTheChosenOne) {
    LightingPanel& panel = startPanel();
    chooseEffect(panel, 16); // effect 17
    const char* names[] = {"hong", "huang", "lv", "lan"};
    for (const int k : {2, 3, 0}) {
        panel.controls().preset(k).click();
        EXPECT_EQ(lighting()[17], k);
        for (int other = 0; other < 4; ++other) {
            const std::string file = std::string(names[other]) + (other == k ? "ok.bmp" : ".bmp");
            EXPECT_EQ(panel.controls().preset(other).shownBitmap().cacheKey(),
                      bitmap(file).cacheKey())
                << k << " " << other;
        }
    }
}

TEST_F(LightingPanelTest, AWriteTheKeyboardRefusesShowsWhatTheKeyboardHolds) {
    LightingPanel& panel = startPanel();
    chooseEffect(panel, 16);
    keyboard_.control("fault status ff 3");
    panel.controls().preset(2).click();
    EXPECT_EQ(lighting()[17], 0);
    EXPECT_EQ(panel.state().record.preset, 0);
    EXPECT_EQ(panel.controls().preset(0).shownBitmap().cacheKey(), bitmap("hongok.bmp").cacheKey());
    EXPECT_EQ(panel.controls().preset(2).shownBitmap().cacheKey(), bitmap("lv.bmp").cacheKey());
}

TEST_F(LightingPanelTest, TheKeyboardsLightingKeyIsFollowed) {
    LightingPanel& panel = startPanel();
    keyboard_.control("press lighting");
    ASSERT_TRUE(serveEventsUntil([&] { return panel.effectList()->currentIndex() == 1; }));
    EXPECT_EQ(panel.state().record.effect, 2);
    EXPECT_TRUE(shown(panel, u"CONTROL_BLFXLStaPic"));
}

TEST_F(LightingPanelTest, PaintingColourAndUserModesAreStoredForTheShownProfile) {
    std::filesystem::create_directories(skins());
    tavrik::testing::writeBytes(skins() + "UserDengColor_0.userd",
                                "[MODENAME]\n0=Day\n1=Night\n[Mode1]\ntool=0\njcolor=0,0,0\n"
                                "color=10,20,30\n");
    LightingPanel& panel = startPanel(true, "8");
    UserModeList& modes = panel.controls().userModes();
    ASSERT_EQ(modes.count(), 2) << "the stored modes are offered again";
    EXPECT_EQ(modes.itemText(1), "Night");
    emit modes.activated(1);
    EXPECT_EQ(panel.controls().paintingColour().colour(), QColor(10, 20, 30));

    panel.controls().paintingColour().moreAction()->trigger();
    QColorDialog* dialog = panel.controls().paintingColour().colourDialog();
    ASSERT_NE(dialog, nullptr);
    dialog->setCurrentColor(QColor(51, 34, 17));
    dialog->accept();
    EXPECT_EQ(panel.controls().paintingColour().colour(), QColor(51, 34, 17));
    modes.editor().setText(QString());
    for (const QString& typed : {QStringLiteral("N"), QStringLiteral("Ne")}) {
        modes.editor().setText(typed);
        emit modes.editor().textEdited(typed);
    }
    EXPECT_EQ(modes.itemText(1), "Ne");
    EXPECT_EQ(modes.count(), 2);
    const platform::IniFile file(skins() + "UserDengColor_0.userd");
    EXPECT_EQ(file.readString(u"Mode1", u"color", u""), u"51,34,17");
    EXPECT_EQ(file.readString(u"MODENAME", u"1", u""), u"Ne");
    EXPECT_EQ(file.readString(u"MODENAME", u"0", u""), u"Day");
}

// A profile button shows that profile's modes: one without a colour file has
// none, and its box shows its hint, not the mode name shown before.
TEST_F(LightingPanelTest, AProfileWithoutUserModesShowsNoModeNameOfAnother) {
    std::filesystem::create_directories(skins());
    tavrik::testing::writeBytes(skins() + "UserDengColor_0.userd", "[MODENAME]\n0=Day\n1=Night\n");
    LightingPanel& panel = startPanel(true, "8");
    UserModeList& modes = panel.controls().userModes();
    emit modes.activated(1);
    ASSERT_EQ(modes.typedText(), "Night");
    window_->profileButtons().profileButton(1)->click();
    ASSERT_EQ(panel.lightingProfile(), 1);
    EXPECT_EQ(modes.count(), 0);
    EXPECT_EQ(modes.typedText(), QString());
    window_->profileButtons().profileButton(0)->click();
    EXPECT_EQ(modes.count(), 2);
    EXPECT_EQ(modes.typedText(), "Day");
}

TEST_F(LightingPanelTest, LabelsAndEffectNamesComeFromMainIniInTheChosenLanguage) {
    // The installed language is English (1), which the tests above read;
    // 0 is Chinese.
    platform::IniFile(skins() + "language.ini").writeString(u"LANGUAGE", u"language", u"0");
    LightingPanel& panel = startPanel();
    const auto& labels = panel.controls().labels();
    EXPECT_EQ(labels.find(u"CONTROL_SpeedStatic")->second->text(), QStringLiteral("速度"));
    EXPECT_EQ(labels.find(u"CONTROL_UsbStatic")->second->text(), QStringLiteral("回报率"));
    EXPECT_EQ(panel.effectList()->itemText(0), QStringLiteral("波浪"));
    EXPECT_EQ(panel.controls().colourButton(ColourGroup::Plain).automaticAction()->text(),
              QStringLiteral("自动"));
}

} // namespace
} // namespace tavrik::app
