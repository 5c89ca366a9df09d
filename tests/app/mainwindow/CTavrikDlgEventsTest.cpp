// The main window against the real service library and a virtual keyboard:
// the keyboard's events, the keys its filter keeps from the window, and its
// timers.

#include "app/about/AboutBox.h"
#include "app/keyboardpanel/KeyboardPanel.h"
#include "app/lightingpanel/LightingPanel.h"
#include "app/mainwindow/BusyIndicator.h"
#include "app/mainwindow/WindowTimers.h"
#include "app/profiles/ProfileButtons.h"
#include "app/shared/MainWindowIds.h"
#include "device/Channels.h"
#include "tests/app/mainwindow/MainWindowFixture.h"
#include "tests/app/mainwindow/MainWindowTestParts.h"
#include "ui/CPngButton.h"
#include "ui/SkinImageCache.h"

#include <QComboBox>
#include <QWheelEvent>

namespace tavrik::app {
namespace {

using testing::FinishCounter;
using testing::MainWindowTest;
using testing::pressKey;
using testing::serveEventsFor;
using testing::serveEventsUntil;

bool sameImage(const QImage& left, const QImage& right) {
    return left.cacheKey() == right.cacheKey();
}

TEST_F(MainWindowTest, EnterAndEscapeCloseNothingAndArrowsLeaveTheEffectList) {
    CTavrikDlg& window = start();
    ASSERT_TRUE(serveEventsUntil([&] { return window.isVisible(); }));
    const FinishCounter finished(window);
    for (const int key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
        pressKey(window, key);
        pressKey(*window.button(command::Cancel), key);
        pressKey(*window.button(command::Close), key);
    }
    serveEventsFor(100);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(finished.count(), 0);

    // The list holds the keyboard's eighteen effects once it was read.
    QComboBox& effects = *window.lightingPanel().effectList();
    ASSERT_TRUE(serveEventsUntil([&] { return effects.count() == 18; }));
    effects.setCurrentIndex(1);
    effects.setFocus();
    ASSERT_TRUE(serveEventsUntil([&] { return effects.hasFocus(); }));
    for (const int key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_Left, Qt::Key_Right}) {
        pressKey(effects, key);
    }
    EXPECT_EQ(effects.currentIndex(), 1);
    // Keys of the window's other widgets pass, and so do the keys of other
    // windows: Escape still closes the About box.
    pressKey(effects, Qt::Key_End);
    EXPECT_EQ(effects.currentIndex(), 17);
    platform::sendCommand(&window, command::About);
    ASSERT_NE(window.aboutBox(), nullptr);
    ASSERT_TRUE(window.aboutBox()->isVisible());
    pressKey(*window.aboutBox(), Qt::Key_Escape);
    EXPECT_FALSE(window.aboutBox()->isVisible());
}

// Every effect chosen is written at once, so only a deliberate choice may
// change the list: after one, typing in the window and the wheel over the
// list leave the effect and the keyboard's lighting as they are.
TEST_F(MainWindowTest, AStrayKeyOrWheelNeverChangesTheLightingEffect) {
    CTavrikDlg& window = start();
    ASSERT_TRUE(serveEventsUntil([&] { return window.isVisible(); }));
    QComboBox& effects = *window.lightingPanel().effectList();
    ASSERT_TRUE(serveEventsUntil([&] { return effects.count() == 18; }));
    EXPECT_EQ(effects.focusPolicy(), Qt::ClickFocus);

    effects.setFocus(); // as a click gives it
    ASSERT_TRUE(serveEventsUntil([&] { return effects.hasFocus(); }));
    pressKey(effects, effects.currentIndex() == 0 ? Qt::Key_End : Qt::Key_Home);
    ASSERT_TRUE(serveEventsUntil([&] { return !effects.hasFocus(); })) << "given back";
    serveEventsFor(50);
    const int chosen = effects.currentIndex();
    const std::vector<std::uint8_t> lighting = keyboard_.area("lighting");

    for (const int key : {Qt::Key_S, Qt::Key_B, Qt::Key_Down, Qt::Key_End}) {
        QWidget* focused = QApplication::focusWidget();
        pressKey(focused != nullptr ? *focused : static_cast<QWidget&>(window), key);
    }
    QWheelEvent wheel(QPointF(5, 5), effects.mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&effects, &wheel);
    serveEventsFor(50);
    EXPECT_EQ(effects.currentIndex(), chosen);
    EXPECT_EQ(keyboard_.area("lighting"), lighting);
}

TEST_F(MainWindowTest, BankKeyRelabelsTheGKeysAndLightsTheBankLight) {
    CTavrikDlg& window = start({QStringLiteral("/Start")});
    ASSERT_TRUE(waitForTrayIcon(platform::trayicon::KeyboardPresent));
    const ui::CPngButton& bankLight = *window.button(command::Bank);
    const QImage down = ui::skinImage(programFolder() + "Skins/main_down.jpg");
    const QImage normal = ui::skinImage(programFolder() + "Skins/main_normal.jpg");
    const struct {
        const char* labels[9];
        bool highlighted;
    } banks[] = {
        {{"B1", "B2", "B3", "B4", "B5", "B6", "", "", ""}, true},
        {{"A1", "A2", "A3", "A4", "A5", "A6", "", "", ""}, false},
    };
    for (const auto& bank : banks) {
        const QString first = QString::fromLatin1(bank.labels[0]);
        keyboard_.control("press bank");
        ASSERT_TRUE(
            serveEventsUntil([&] { return window.keyboardPanel().gButton(0)->text() == first; }));
        for (std::size_t i = 0; i < 9; ++i) {
            EXPECT_EQ(window.keyboardPanel().gButton(i)->text(), bank.labels[i]) << i;
        }
        EXPECT_EQ(device::currentBank(), bank.highlighted ? 1 : 0);
        EXPECT_TRUE(sameImage(bankLight.stateImage(ui::ButtonState::Normal),
                              bank.highlighted ? down : normal));
        EXPECT_TRUE(sameImage(
            bankLight.stateImage(ui::ButtonState::Over),
            bank.highlighted ? down
                             : ui::skinImage(programFolder() + "Skins/main_over.jpg").image()));
    }
}

TEST_F(MainWindowTest, ProfileKeyOfTheKeyboardMovesThePressedProfileButton) {
    CTavrikDlg& window = start({QStringLiteral("/Start")});
    ASSERT_TRUE(waitForTrayIcon(platform::trayicon::KeyboardPresent));
    ProfileButtons& profiles = window.profileButtons();
    for (const int profile : {2, 1, 0}) {
        keyboard_.control("press profile " + std::to_string(profile));
        ASSERT_TRUE(serveEventsUntil([&] { return profiles.profileButton(profile)->isChecked(); }));
        for (int other = 0; other < 3; ++other) {
            EXPECT_EQ(profiles.profileButton(other)->isChecked(), other == profile);
        }
        EXPECT_EQ(window.lightingPanel().lightingProfile(), profile);
        EXPECT_EQ(device::cachedActiveProfile(), profile);
        EXPECT_FALSE(window.isApplyEnabled());
        EXPECT_EQ(profiles.currentProfileButton()->text(),
                  QStringLiteral("Profile %1").arg(profile + 1));
    }
    // And the other way: a click on a profile button switches the keyboard.
    profiles.profileButton(2)->click();
    EXPECT_EQ(keyboard_.activeProfile(), 2);
    EXPECT_FALSE(profiles.profileButton(0)->isChecked());
    EXPECT_TRUE(profiles.profileButton(2)->isChecked());
}

QImage frameImage(const std::string& file) {
    return QImage(QString::fromStdString(file)).convertToFormat(QImage::Format_RGB32);
}

TEST_F(MainWindowTest, TimersFollowTheirIdsAndTheBusyIndicatorCyclesTenFrames) {
    CTavrikDlg& window = start({QStringLiteral("/Start")});
    ASSERT_TRUE(waitForTrayIcon(platform::trayicon::KeyboardPresent));
    // The profile timer hands one reload from the keyboard to the window and
    // stops.
    const long commandsBefore = keyboard_.answeredCommands();
    platform::mainWindow().setTimer(platform::timer::ProfileReload, 0);
    ASSERT_TRUE(serveEventsUntil(
        [&] { return !window.timers().isRunning(platform::timer::ProfileReload); }));
    EXPECT_GT(keyboard_.answeredCommands(), commandsBefore);

    BusyIndicator& busy = window.busyIndicator();
    EXPECT_TRUE(busy.isHidden());
    // The reload may have moved the hidden indicator on already: the
    // timer's tick is the one that shows it.
    platform::mainWindow().setTimer(platform::timer::BusyAnimation, 0);
    ASSERT_TRUE(serveEventsUntil([&] { return !busy.isHidden(); }));
    platform::mainWindow().killTimer(platform::timer::BusyAnimation);
    EXPECT_FALSE(busy.isHidden());
    const int first = busy.frame();
    for (int step = 1; step <= 10; ++step) {
        busy.advance();
        const int expected = (first + step - 1) % BusyIndicator::kFrameCount + 1;
        ASSERT_EQ(busy.frame(), expected);
        EXPECT_EQ(busy.pixmap().toImage().convertToFormat(QImage::Format_RGB32),
                  frameImage(programFolder() + "Skins/jdt" + std::to_string(expected) + ".bmp"))
            << expected;
    }
    platform::mainWindow().setBusyIndicatorVisible(false);
    EXPECT_TRUE(busy.isHidden());
}

} // namespace
} // namespace tavrik::app
