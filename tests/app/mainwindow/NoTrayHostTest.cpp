// The main window on a desktop with no notification area (GNOME's own): it
// never goes out of reach. Hiding minimises a shown window, "/Start" starts
// minimised, a tray that goes away later brings a hidden window back
// minimised, and the window says once that the program keeps running.

#include "app/mainwindow/BackgroundNotice.h"
#include "app/shared/MainWindowIds.h"
#include "app/tray/CTrayIcon.h"
#include "platform/SettingsStore.h"
#include "platform/WindowMessage.h"
#include "tests/app/mainwindow/MainWindowFixture.h"

#include <QCloseEvent>
#include <functional>

namespace tavrik::app {
namespace {

using testing::MainWindowTest;
using testing::serveEventsUntil;

class NoTrayHostTest : public MainWindowTest {
protected:
    CTavrikDlg& startShown() {
        CTavrikDlg& window = start();
        EXPECT_TRUE(waitForTrayIcon(platform::trayicon::KeyboardPresent));
        EXPECT_TRUE(serveEventsUntil([&] { return window.isVisible(); }));
        return window;
    }
};

TEST_F(NoTrayHostTest, EveryWayOfHidingAShownWindowMinimisesItWhereNoTrayCouldBringItBack) {
    const struct {
        const char* way;
        std::function<void(CTavrikDlg&)> hide;
    } ways[] = {
        {"Cancel", [](CTavrikDlg& w) { platform::sendCommand(&w, command::Cancel); }},
        {"OK", [](CTavrikDlg& w) { platform::sendCommand(&w, command::Ok); }},
        {"the window's Close", [](CTavrikDlg& w) { w.close(); }},
        {"the keyboard going away", [](CTavrikDlg& w) { w.hideWindow(); }},
    };
    CTavrikDlg& window = startShown();
    for (const bool trayHost : {true, false}) {
        trayHostAvailable_ = trayHost;
        for (const auto& way : ways) {
            SCOPED_TRACE(std::string(way.way) + (trayHost ? " with a tray" : " without a tray"));
            window.showMainWindow();
            ASSERT_TRUE(window.isVisible());
            ASSERT_FALSE(window.isMinimized());
            way.hide(window);
            EXPECT_EQ(window.isVisible(), !trayHost);
            EXPECT_EQ(window.isMinimized(), !trayHost);
            EXPECT_EQ(window.windowType(), Qt::Window) << "in the task switcher";
        }
    }
    // Exit ends the program rather than minimising it.
    EXPECT_TRUE(window.exitProgram());
    EXPECT_FALSE(window.isVisible());
}

TEST_F(NoTrayHostTest, StartedHiddenItWaitsMinimisedInTheTaskSwitcher) {
    trayHostAvailable_ = false;
    CTavrikDlg& window = start({QStringLiteral("/Start")});
    ASSERT_TRUE(waitForTrayIcon(platform::trayicon::KeyboardPresent));
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.isMinimized());
    EXPECT_EQ(window.windowType(), Qt::Window);
    EXPECT_TRUE(device::startFlags().startHidden.load());
}

TEST_F(NoTrayHostTest, ATrayThatGoesAwayBringsBackAHiddenWindowMinimised) {
    CTavrikDlg& window = startShown();
    platform::sendCommand(&window, command::Cancel);
    ASSERT_FALSE(window.isVisible());
    // Another StatusNotifierItem host still there: nothing to do.
    emit window.trayIcon().hostLost();
    EXPECT_FALSE(window.isVisible());
    trayHostAvailable_ = false;
    emit window.trayIcon().hostLost();
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.isMinimized());
}

TEST_F(NoTrayHostTest, AWindowNeverShownStaysHiddenWhenTheTrayGoes) {
    ::setenv("VEZAROR_VIRTUAL_PLUGGED", "0", 1);
    CTavrikDlg& window = start();
    // Set once the device-change worker found no keyboard.
    ASSERT_TRUE(serveEventsUntil([] { return device::startFlags().startHidden.load(); }));
    trayHostAvailable_ = false;
    emit window.trayIcon().hostLost();
    EXPECT_FALSE(window.isVisible()) << "without a keyboard the window is never shown";
}

TEST_F(NoTrayHostTest, TheWindowSaysOnceThatTheProgramKeepsRunningWhereThereIsNoTray) {
    CTavrikDlg& window = startShown();
    EXPECT_FALSE(window.backgroundNotice().isVisible()) << "with a tray there is nothing to say";
    EXPECT_FALSE(BackgroundNotice::wasSaid());

    trayHostAvailable_ = false;
    window.hideWindow();
    window.showMainWindow();
    BackgroundNotice& notice = window.backgroundNotice();
    ASSERT_TRUE(notice.isVisible());
    EXPECT_EQ(notice.text().toStdU16String(), text::languageText("MAIN_BACKGROUND_NOTE"));
    EXPECT_TRUE(notice.text().contains(QStringLiteral("keeps running in the background")));
    EXPECT_TRUE(window.geometry().contains(notice.geometry().translated(window.pos())));
    // Minimised, it goes with the window; shown again, it is not said again,
    // neither in this run nor in the next (the settings store has it).
    window.hideWindow();
    EXPECT_FALSE(notice.isVisible());
    window.showMainWindow();
    EXPECT_FALSE(notice.isVisible());
    EXPECT_EQ(platform::readSetting(u"PROFILES", u"BackgroundNoticeSaid", u""), u"1");
    EXPECT_FALSE(notice.sayOnce());
}

TEST_F(NoTrayHostTest, AClickPutsTheNoticeAway) {
    trayHostAvailable_ = false;
    CTavrikDlg& window = startShown();
    BackgroundNotice& notice = window.backgroundNotice();
    ASSERT_TRUE(notice.isVisible());
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), notice.mapToGlobal(QPointF(5, 5)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&notice, &press);
    EXPECT_FALSE(notice.isVisible());
    EXPECT_TRUE(window.isVisible()) << "the click was the notice's alone";
}

} // namespace
} // namespace tavrik::app
