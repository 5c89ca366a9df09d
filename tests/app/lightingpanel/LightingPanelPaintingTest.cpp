// The lighting panel as the main window's zone painting, against the virtual
// keyboard: switching the lighting editor on and off, painting zones by
// clicks on the on-screen keys, Restore defaults, and the lighting of the
// profile a switch shows.

#include "app/keyboardpanel/KeyboardPanel.h"
#include "app/profiles/ProfileButtons.h"
#include "lighting/Zones.h"
#include "tests/app/lightingpanel/LightingPanelFixture.h"

#include <QColorDialog>

namespace tavrik::app {
namespace {

using keyboard::AssignmentType;
using lighting::rgb;
using testing::Bytes;
using testing::serveEventsUntil;

constexpr int kKeyA = 1058;     // zone 0
constexpr int kKeyU = 1050;     // zone 2
constexpr int kKeyO = 1052;     // zone 3
constexpr int kRightWin = 1087; // in no zone
constexpr int kG1 = 1000;       // zone 0
constexpr int kG7 = 1141;       // in no zone
constexpr int kRowA = 0x01E;

constexpr ui::ColourOverlay overlayOf(lighting::Colour colour) {
    return {true, colour, KeyboardPanel::kOverlayLevel};
}
constexpr ui::ColourOverlay kNoOverlay{false, 0, KeyboardPanel::kOverlayLevel};

class LightingPanelPaintingTest : public testing::LightingPanelTest {
protected:
    ui::CPngButton& key(int id) const { return *window_->keyboardPanel().button(id); }
    Bytes zones() { return keyboard_.area("zones"); }
    std::string zonePaintingSetting() const { return testing::readBytes(documents() + "zovu.ini"); }

    // A colour chosen with the colour dialog of `button`.
    static void chooseWithDialog(ui::ColourButton& button, const QColor& colour) {
        button.moreAction()->trigger();
        ASSERT_NE(button.colourDialog(), nullptr);
        button.colourDialog()->setCurrentColor(colour);
        button.colourDialog()->accept();
    }

    // Writes `bytes` into the keyboard as another program would.
    static void writeRecord(int profile, std::size_t offset, const Bytes& bytes) {
        ASSERT_EQ(device::beginWrite(), 1);
        ASSERT_EQ(device::writeParameters(bytes, lighting::recordAddress(profile) +
                                                     static_cast<std::uint32_t>(offset)),
                  1);
        ASSERT_EQ(device::endWrite(), 1);
    }
    static void writeZone(int profile, int zone, lighting::Colour colour) {
        const auto bytes = lighting::colourBytes(colour);
        ASSERT_EQ(device::beginWrite(), 1);
        for (const int slot : {2 * zone, 2 * zone + 1}) {
            ASSERT_EQ(device::writeColours(bytes, slot, profile), 1);
        }
        ASSERT_EQ(device::endWrite(), 1);
    }
};

TEST_F(LightingPanelPaintingTest, AClickOnAKeyPaintsItsZoneOnTheKeysAndTheKeyboard) {
    std::filesystem::create_directories(skins());
    testing::writeBytes(skins() + "UserDengColor_1.userd",
                        "[MODENAME]\n0=Bright\n1=Dark\n[Mode1]\ntool=1\njcolor=1,2,3\n"
                        "color=9,9,9\n");
    LightingPanel& panel = startPanel(true, "1 8");
    keyboard_.control("press profile 1");
    ASSERT_TRUE(serveEventsUntil([&] { return panel.lightingProfile() == 1; }));
    ASSERT_TRUE(panel.isPainting()) << "the keyboard's switch leaves the editor on";
    EXPECT_EQ(key(kKeyO).colourOverlay(), kNoOverlay) << "effect 1 shows on no key";

    chooseEffect(panel, 1);
    ASSERT_EQ(lighting()[42], 8);
    for (const int id : {kKeyA, kKeyO, kG1, lighting::kFnButtonId}) {
        EXPECT_EQ(key(id).colourOverlay(), overlayOf(lighting::kWhite)) << id;
    }
    for (const int id : {kRightWin, kG7}) {
        EXPECT_EQ(key(id).colourOverlay(), kNoOverlay) << id;
    }

    chooseWithDialog(panel.controls().paintingColour(), QColor(51, 34, 17));
    Bytes expected = zones();
    key(kKeyO).click();
    for (std::size_t i = 0; i < 6; ++i) {
        expected[36 + 18 + i] = std::array<std::uint8_t, 3>{51, 34, 17}[i % 3];
    }
    EXPECT_EQ(zones(), expected) << "the two colours of zone 3 at 36 + 18 and 36 + 21";
    EXPECT_TRUE(editor_.requests.empty()) << "a click paints instead of opening the editor";
    // The keys' tips say so; G7, which a click still edits, keeps its own.
    const QString paintingTip = QStringLiteral("The lighting switch is on: a click paints this "
                                               "key's zone. Turn it off to edit the key.");
    for (const int id : {kKeyA, kKeyO, kG1}) {
        EXPECT_EQ(key(id).toolTip(), paintingTip) << id;
    }
    EXPECT_NE(key(kG7).toolTip(), paintingTip);
    for (const int id : lighting::buttonsOfZone(3)) {
        EXPECT_EQ(key(id).colourOverlay(), overlayOf(rgb(51, 34, 17))) << id;
        EXPECT_FALSE(key(id).isAssigned()) << id;
    }
    EXPECT_EQ(key(kKeyU).colourOverlay(), overlayOf(lighting::kWhite));
    key(kRightWin).click();
    EXPECT_EQ(zones(), expected) << "a key in no zone paints nothing";

    // A stored mode with the base-colour tool paints with the base colour
    // and marks the zone's keys.
    emit panel.controls().userModes().activated(1);
    key(kG1).click();
    const Bytes painted = zones();
    EXPECT_EQ(Bytes(painted.begin() + 36, painted.begin() + 42), (Bytes{1, 2, 3, 1, 2, 3}));
    for (const int id : lighting::buttonsOfZone(0)) {
        EXPECT_EQ(key(id).colourOverlay(), overlayOf(rgb(1, 2, 3))) << id;
        EXPECT_TRUE(key(id).isAssigned()) << id;
    }
    EXPECT_FALSE(key(kKeyO).isAssigned());

    // Another effect starts the keys afresh; a colour chosen for it colours
    // every key.
    chooseEffect(panel, 0);
    EXPECT_EQ(key(kKeyO).colourOverlay(), kNoOverlay);
    EXPECT_FALSE(key(kG1).isAssigned());
}

TEST_F(LightingPanelPaintingTest, AChosenColourColoursEveryKeyUntilRandomColoursAreOn) {
    LightingPanel& panel = startPanel(true);
    chooseEffect(panel, 3); // effect 4, one colour
    EXPECT_EQ(key(kKeyA).colourOverlay(), kNoOverlay) << "random colours";
    chooseWithDialog(panel.controls().colourButton(ColourGroup::Plain), QColor(0, 128, 255));
    for (const int id : {kKeyA, kKeyO, kRightWin, kG7}) {
        EXPECT_EQ(key(id).colourOverlay(), overlayOf(rgb(0, 128, 255))) << id;
    }
    panel.controls().randomPicture(ColourGroup::Plain).click();
    EXPECT_EQ(key(kKeyA).colourOverlay(), kNoOverlay);
}

TEST_F(LightingPanelPaintingTest, SwitchingPaintingOnAsksTheSaveQuestionAndOffShowsAssignments) {
    LightingPanel& panel = startPanel(false, "1 8");
    chooseEffect(panel, 1);
    EXPECT_EQ(key(kKeyO).colourOverlay(), kNoOverlay) << "the editor is off";
    CTavrikDlg& window = *window_;
    testing::store(0, kRowA, testing::record(AssignmentType::SingleKey, 0x030));
    window.keyboardPanel().refreshDescriptions(true);
    ASSERT_TRUE(key(kKeyA).isAssigned());
    window.setApplyEnabled(true);

    // An open key editor refuses the switch, and the editor stays off.
    editor_.keptOpen = true;
    panel.controls().lightingSwitch().click();
    ASSERT_EQ(prompter_.messages().size(), 1u);
    EXPECT_EQ(prompter_.messages()[0], text::languageText("PROFILE_SEELCT_PROMPT2"));
    EXPECT_FALSE(panel.isPainting());
    EXPECT_EQ(zonePaintingSetting(), "[KEYCOLOR]\nDengCheck=0\n");
    editor_.keptOpen = false;

    prompter_.answerQuestionsWith(false);
    panel.controls().lightingSwitch().click();
    ASSERT_EQ(prompter_.questions().size(), 1u);
    EXPECT_EQ(prompter_.questions()[0].first, text::languageText("PROFILE_SELECT_PROMPT"));
    EXPECT_TRUE(panel.isPainting());
    EXPECT_EQ(zonePaintingSetting(), "[KEYCOLOR]\nDengCheck=1\n");
    EXPECT_FALSE(window.isApplyEnabled()) << "the changes were thrown away";
    EXPECT_EQ(testing::stored(0, kRowA).type, AssignmentType::Default);
    EXPECT_EQ(panel.controls().lightingSwitch().shownBitmap().cacheKey(),
              bitmap("dengdown.bmp").cacheKey());
    EXPECT_TRUE(shown(panel, u"CONTROL_umCombo"));
    EXPECT_EQ(key(kKeyA).colourOverlay(), overlayOf(lighting::kWhite));
    EXPECT_TRUE(key(kKeyA).toolTip().startsWith("The lighting switch is on"));

    // Off again: no colours, and the keys are marked by their assignments.
    testing::store(0, kRowA, testing::record(AssignmentType::SingleKey, 0x030));
    panel.controls().lightingSwitch().click();
    EXPECT_FALSE(panel.isPainting());
    EXPECT_FALSE(key(kKeyA).toolTip().startsWith("The lighting switch is on"));
    EXPECT_EQ(zonePaintingSetting(), "[KEYCOLOR]\nDengCheck=0\n");
    EXPECT_EQ(key(kKeyA).colourOverlay(), kNoOverlay);
    EXPECT_TRUE(key(kKeyA).isAssigned());
    EXPECT_FALSE(shown(panel, u"CONTROL_umCombo"));
    EXPECT_EQ(prompter_.questions().size(), 1u) << "switching off asks nothing";
    key(kKeyA).click();
    EXPECT_EQ(editor_.requests.size(), 1u) << "a click edits the key again";
}

TEST_F(LightingPanelPaintingTest, RestoreDefaultsRestoresTheLightingOnlyWhilePainting) {
    LightingPanel& panel = startPanel(false, "1 8");
    CTavrikDlg& window = *window_;
    chooseEffect(panel, 1);
    panel.sliderMoved(lightingid::BrightnessSlider, 1);
    prompter_.answerQuestionsWith(true);
    const Bytes before = lighting();
    window.restoreDefaults();
    EXPECT_EQ(lighting(), before) << "the editor is off";

    panel.controls().lightingSwitch().click();
    ASSERT_TRUE(panel.isPainting());
    for (std::size_t offset = 35; offset < 42; ++offset) {
        writeRecord(0, offset, {0x5A});
    }
    window.restoreDefaults();
    const Bytes after = lighting();
    EXPECT_EQ(Bytes(after.begin(), after.begin() + 35),
              Bytes(lighting::kDefaultRecord.begin(), lighting::kDefaultRecord.end()));
    EXPECT_EQ(Bytes(after.begin() + 35, after.begin() + 42), Bytes(7, 0x5A));
    EXPECT_EQ(Bytes(after.begin() + 42, after.end()), Bytes(before.begin() + 42, before.end()))
        << "only the shown profile";
    EXPECT_EQ(panel.effectList()->currentIndex(), 0);
    EXPECT_EQ(panel.controls().brightness().position(), 4);
    EXPECT_EQ(panel.controls().speed().position(), 3) << "the default record's speed 1";
    EXPECT_EQ(key(kKeyO).colourOverlay(), kNoOverlay) << "effect 1 shows on no key";
    EXPECT_FALSE(window.isApplyEnabled()) << "the keys' defaults were applied";
}

TEST_F(LightingPanelPaintingTest, AProfileSwitchShowsThatProfilesLighting) {
    LightingPanel& panel = startPanel(true);
    writeRecord(1, 0, {4, 2});
    writeRecord(2, 0, {8});
    writeZone(2, 3, rgb(9, 8, 7));

    // A profile button: its record, and the editor left.
    window_->profileButtons().profileButton(1)->click();
    EXPECT_EQ(panel.lightingProfile(), 1);
    EXPECT_EQ(panel.effectList()->currentIndex(), 3);
    EXPECT_EQ(panel.controls().brightness().position(), 2);
    EXPECT_FALSE(panel.isPainting()) << "the editor was left";
    EXPECT_FALSE(shown(panel, u"CONTROL_LightSlider"));
    panel.controls().lightingSwitch().click();
    ASSERT_TRUE(panel.isPainting());

    // The keyboard's profile key: its record with its zone colours, on the
    // keys too, the editor still on.
    keyboard_.control("press profile 2");
    ASSERT_TRUE(serveEventsUntil([&] { return panel.lightingProfile() == 2; }));
    EXPECT_EQ(panel.state().record.effect, 8);
    EXPECT_EQ(panel.effectList()->currentIndex(), 7);
    EXPECT_TRUE(shown(panel, u"CONTROL_umCombo"));
    EXPECT_EQ(key(kKeyO).colourOverlay(), overlayOf(rgb(9, 8, 7)));
    EXPECT_EQ(key(kKeyU).colourOverlay(), overlayOf(lighting::kWhite));

    // A profile button reads the records alone; the keyboard's switch reads
    // the zone colours too.
    writeZone(2, 3, rgb(1, 1, 1));
    window_->profileButtons().profileButton(2)->click();
    EXPECT_EQ(panel.state().shownZones()[6], rgb(9, 8, 7));
    keyboard_.control("press profile 0");
    ASSERT_TRUE(serveEventsUntil([&] { return panel.lightingProfile() == 0; }));
    keyboard_.control("press profile 2");
    ASSERT_TRUE(serveEventsUntil([&] { return panel.lightingProfile() == 2; }));
    EXPECT_EQ(panel.state().shownZones()[6], rgb(1, 1, 1));
}

} // namespace
} // namespace tavrik::app
