// Switching profiles from the program and on the keyboard, with the editor
// refusal and the save question, and the Flip setting; against the real
// service library and a virtual keyboard.

#include "app/profiles/ProfileSwitching.h"

#include "app/keyboardpanel/KeyboardPanel.h"
#include "app/lightingpanel/LightingPanel.h"
#include "app/profiles/FlipButtons.h"
#include "app/profiles/ProfileButtons.h"
#include "app/profiles/ProfileSettings.h"
#include "app/shared/MainWindowIds.h"
#include "keyboard/AssignmentTable.h"
#include "platform/WindowMessage.h"
#include "sync/Apply.h"
#include "sync/WorkingFile.h"
#include "tests/app/mainwindow/PanelWindowFixture.h"
#include "ui/SkinImageCache.h"

#include <QEnterEvent>
#include <fstream>
#include <iterator>

namespace tavrik::app {
namespace {

using keyboard::AssignmentType;
using testing::serveEventsUntil;

constexpr int kKeyA = 1058;
constexpr int kRowA = 0x01E;

void storeAToB(int layer) {
    testing::store(layer, kRowA, testing::record(AssignmentType::SingleKey, 0x030));
}

AssignmentType workingType(int layer, int row) {
    return testing::stored(layer, row).type;
}

// The type of a record in the working file, as it lies on disk.
AssignmentType workingFileType(int layer, int row) {
    std::ifstream file(sync::workingFilePath(0), std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(file), {}};
    const std::size_t at = keyboard::kAssignmentHeaderSize + layer * keyboard::kLayerSize +
                           row * keyboard::kKeyAssignmentSize;
    if (bytes.size() < at + 2) {
        return AssignmentType::Default;
    }
    return static_cast<AssignmentType>(static_cast<std::uint8_t>(bytes[at]) |
                                       static_cast<std::uint8_t>(bytes[at + 1]) << 8);
}

class ProfileSwitchingTest : public testing::PanelWindowTest {
protected:
    bool pressed(int profile) {
        return window_->profileButtons().profileButton(profile)->isChecked();
    }
    QString caption() { return window_->profileButtons().currentProfileButton()->text(); }
};

TEST_F(ProfileSwitchingTest, ProfileButtonsSwitchTheKeyboardAndShowItsLayer) {
    CTavrikDlg& window = startWithKeyboard();
    storeAToB(1);
    const long commands = keyboard_.answeredCommands();
    window.profileButtons().profileButton(1)->click();
    EXPECT_EQ(keyboard_.activeProfile(), 1);
    EXPECT_TRUE(pressed(1));
    EXPECT_FALSE(pressed(0));
    EXPECT_EQ(caption(), "Profile 2");
    EXPECT_EQ(window.lightingPanel().lightingProfile(), 1);
    EXPECT_TRUE(window.keyboardPanel().button(kKeyA)->isAssigned());
    EXPECT_TRUE(prompter_.questions().empty());
    EXPECT_GT(keyboard_.answeredCommands(), commands);

    // The active profile's button: only the lighting is shown again, and
    // zone painting is left.
    painting_.painting = true;
    window.profileButtons().profileButton(1)->click();
    EXPECT_EQ(painting_.left, 1);
    EXPECT_TRUE(pressed(1));

    // An index beyond the profiles switches to the first.
    EXPECT_TRUE(window.switchProfile(5));
    EXPECT_EQ(keyboard_.activeProfile(), 0);
    EXPECT_EQ(caption(), "Profile 1");
    EXPECT_FALSE(window.keyboardPanel().button(kKeyA)->isAssigned());
    // The switch leaves the buttons and the lighting to their owners.
    EXPECT_TRUE(pressed(1));
    EXPECT_EQ(window.lightingPanel().lightingProfile(), 1);
}

TEST_F(ProfileSwitchingTest, AnOpenEditorRefusesTheSwitchButTheLightingFollowsTheButton) {
    CTavrikDlg& window = startWithKeyboard();
    editor_.keptOpen = true;
    window.profileButtons().profileButton(2)->click();
    ASSERT_EQ(prompter_.messages().size(), 1u);
    EXPECT_EQ(prompter_.messages()[0], text::languageText("PROFILE_SEELCT_PROMPT2"));
    EXPECT_EQ(keyboard_.activeProfile(), 0);
    EXPECT_TRUE(pressed(0));
    EXPECT_FALSE(pressed(2));
    EXPECT_EQ(caption(), "Profile 1");
    EXPECT_EQ(window.lightingPanel().lightingProfile(), 2);
}

TEST_F(ProfileSwitchingTest, TheSaveQuestionAppliesOrRestoresTheWorkingFileBeforeTheSwitch) {
    CTavrikDlg& window = startWithKeyboard();
    const std::vector<std::uint8_t> page = keyboard_.area("page0");
    for (const bool yes : {false, true}) {
        storeAToB(0);
        window.setApplyEnabled(true);
        // The keyboard is still in the old profile while the question is open.
        int profileWhileAsked = -1;
        prompter_.whileAsked([&] { profileWhileAsked = keyboard_.activeProfile(); });
        prompter_.answerQuestionsWith(yes);
        const int target = yes ? 2 : 1;
        window.profileButtons().profileButton(target)->click();
        ASSERT_FALSE(prompter_.questions().empty());
        EXPECT_EQ(prompter_.questions().back().first, text::languageText("PROFILE_SELECT_PROMPT"));
        EXPECT_FALSE(prompter_.questions().back().second);
        EXPECT_EQ(profileWhileAsked, 0);
        EXPECT_EQ(keyboard_.activeProfile(), target);
        EXPECT_TRUE(pressed(target));
        EXPECT_FALSE(window.isApplyEnabled());
        if (yes) {
            // Applied: in the working file and on the keyboard.
            EXPECT_EQ(workingType(0, kRowA), AssignmentType::SingleKey);
            EXPECT_EQ(workingFileType(0, kRowA), AssignmentType::SingleKey);
            EXPECT_NE(keyboard_.area("page0"), page);
        } else {
            // Discarded: the working set is the working file again.
            EXPECT_EQ(workingType(0, kRowA), AssignmentType::Default);
            EXPECT_EQ(workingFileType(0, kRowA), AssignmentType::Default);
            EXPECT_EQ(keyboard_.area("page0"), page);
        }
        window.switchProfile(0);
    }
    EXPECT_EQ(prompter_.questions().size(), 2u);
}

TEST_F(ProfileSwitchingTest, ASwitchStartedWhileTheQuestionIsOpenAsksNothing) {
    CTavrikDlg& window = startWithKeyboard();
    storeAToB(0);
    window.setApplyEnabled(true);
    bool guarded = false;
    prompter_.whileAsked([&] {
        guarded = ProfileSwitching::promptGuard();
        EXPECT_TRUE(window.switchProfile(2));
    });
    prompter_.answerQuestionsWith(false);
    EXPECT_TRUE(window.switchProfile(1));
    EXPECT_TRUE(guarded);
    EXPECT_FALSE(ProfileSwitching::promptGuard());
    EXPECT_EQ(prompter_.questions().size(), 1u);
    EXPECT_EQ(keyboard_.activeProfile(), 1);
}

TEST_F(ProfileSwitchingTest, AProfileKeyOnTheKeyboardIsFollowedAndTheProgramSwitchesBack) {
    CTavrikDlg& window = startWithKeyboard();
    // Profile 3 of the keyboard sets A to B; the program has forgotten it.
    storeAToB(2);
    {
        const sync::DataSetLock lock = sync::lockWorkingSet();
        ASSERT_EQ(sync::buildApplySnapshot(true), 1);
    }
    sync::resetDataSets();
    keyboard_.control("press profile 2");
    ASSERT_TRUE(serveEventsUntil([&] { return pressed(2); }));
    EXPECT_EQ(workingType(2, kRowA), AssignmentType::SingleKey);
    EXPECT_TRUE(window.keyboardPanel().button(kKeyA)->isAssigned());
    EXPECT_EQ(window.keyboardPanel().button(kKeyA)->toolTip(), "A, set to Key(B)");
    EXPECT_EQ(caption(), "Profile 3");
    EXPECT_EQ(window.lightingPanel().lightingProfile(), 2);
    EXPECT_FALSE(window.isApplyEnabled());

    window.profileButtons().profileButton(0)->click();
    EXPECT_EQ(keyboard_.activeProfile(), 0);
    EXPECT_TRUE(pressed(0));
    EXPECT_EQ(caption(), "Profile 1");
    // Another wParam is no switch report.
    keyboard_.control("press profile 1");
    ASSERT_TRUE(serveEventsUntil([&] { return pressed(1); }));
    platform::sendWindowMessage(&window, platform::message::ProfileReload, platform::wparam::Led);
    EXPECT_TRUE(pressed(1));
}

TEST_F(ProfileSwitchingTest, FlipIsStoredAndSwapsTheFKeysForTheDKeys) {
    CTavrikDlg& window = startWithKeyboard();
    FlipButtons& flip = window.flipButtons();
    KeyboardPanel& keys = window.keyboardPanel();
    const QImage normal = ui::skinImage(programFolder() + "Skins/main_normal.jpg");
    const QImage lit = ui::skinImage(programFolder() + "Skins/main_down.jpg");
    const auto showsFlip = [&](bool on) {
        for (const int f : {1010, 1011, 1012, 1013}) {
            EXPECT_EQ(keys.button(f)->isEnabled(), !on) << f;
        }
        for (const int d : KeyboardPanel::kDButtonIds) {
            EXPECT_EQ(keys.button(d)->isEnabled(), on) << d;
        }
        EXPECT_EQ(flip.flipButton(0)->stateImage(ui::ButtonState::Normal).cacheKey(),
                  (on ? lit : normal).cacheKey());
    };
    showsFlip(false);
    EXPECT_TRUE(flip.arrow(ui::ArrowSide::Left)->isHidden());

    const struct {
        int command;
        const char* before;
        const char* stored;
        bool on;
    } toggles[] = {
        {command::Flip1, nullptr, "1", true},
        {command::Flip2, "1", "0", false},
        {command::Flip1, "2", "0", false}, // any number but 0 is on
        {command::Flip2, "x", "1", true},  // no number is off
    };
    for (const auto& t : toggles) {
        if (t.before != nullptr) {
            setProfileSetting(QStringLiteral("Flip"), QString::fromLatin1(t.before));
        }
        platform::sendCommand(&window, t.command);
        EXPECT_EQ(profileSetting(QStringLiteral("Flip"), QString()), t.stored);
        showsFlip(t.on);
    }
    // A switch redraws the keys with the Flip state as stored.
    setProfileSetting(QStringLiteral("Flip"), QStringLiteral("0"));
    window.switchProfile(1);
    showsFlip(false);

    // The pointer on Flip1 brings up the left arrow: down while Flip is off,
    // up once it is on.
    const auto arrowAt = [&](ui::ArrowSide side, const char* key) {
        const platform::LayoutRectangle offset =
            window.layout().readRect(QString::fromLatin1(key).toStdU16String(), u"BUTTONINFO2");
        EXPECT_EQ(flip.arrow(side)->imageOrigin(), QPoint(offset.x, offset.y)) << key;
        EXPECT_FALSE(flip.arrow(side)->isHidden()) << key;
    };
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(flip.flipButton(1), &enter);
    arrowAt(ui::ArrowSide::Left, "DOWN_ARROW_LEFT1");
    EXPECT_TRUE(flip.arrow(ui::ArrowSide::Right)->isHidden());
    platform::sendCommand(&window, command::Flip1);
    arrowAt(ui::ArrowSide::Left, "UP_ARROW_LEFT1");
    QApplication::sendEvent(flip.flipButton(2), &enter);
    arrowAt(ui::ArrowSide::Right, "UP_ARROW_RIGHT1");
}

} // namespace
} // namespace tavrik::app
