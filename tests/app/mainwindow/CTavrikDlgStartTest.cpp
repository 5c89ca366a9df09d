// The main window against the real service library and a virtual keyboard:
// its start-up, showing and hiding, and a keyboard that goes away.

#include "app/keyboardpanel/KeyboardPanel.h"
#include "app/profiles/ProfileButtons.h"
#include "app/shared/MainWindowIds.h"
#include "app/tray/CTrayIcon.h"
#include "platform/NamedEvents.h"
#include "platform/WindowMessage.h"
#include "sync/KeyboardWork.h"
#include "tests/app/mainwindow/MainWindowFixture.h"
#include "tests/app/mainwindow/MainWindowTestParts.h"
#include "ui/CPngButton.h"
#include "ui/LanguageMenu.h"

#include <QAbstractButton>
#include <QMouseEvent>

namespace tavrik::app {
namespace {

using testing::FinishCounter;
using testing::MainWindowTest;
using testing::MessageRecorder;
using testing::namedEventExists;
using testing::PrompterInUse;
using testing::send;
using testing::serveEventsFor;
using testing::serveEventsUntil;

TEST_F(MainWindowTest, StartedHiddenItLivesInTheTrayWithTheKeyboardsState) {
    CTavrikDlg& window = start({QStringLiteral("/Start")});
    ASSERT_TRUE(waitForTrayIcon(platform::trayicon::KeyboardPresent));
    serveEventsFor(300);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.windowType(), Qt::Tool);
    EXPECT_EQ(window.windowTitle(), "Tavrik gaming keyboard settings");
    EXPECT_TRUE(window.trayIcon().isActive());
    EXPECT_EQ(window.trayIcon().tip(), u"Tavrik keyboard settings");
    EXPECT_TRUE(window.instanceServer().isListening());
    EXPECT_TRUE(namedEventExists(platform::namedEventName(1)));
    EXPECT_TRUE(namedEventExists(platform::namedEventName(platform::kNamedEventCount)));
    EXPECT_FALSE(window.isApplyEnabled());
    EXPECT_FALSE(window.button(command::Apply)->isEnabled());
    // The keyboard's active profile (the virtual keyboard starts in the
    // first) shows pressed and names the current-profile button.
    ProfileButtons& profiles = window.profileButtons();
    EXPECT_TRUE(profiles.profileButton(0)->isChecked());
    EXPECT_FALSE(profiles.profileButton(1)->isChecked());
    EXPECT_EQ(profiles.currentProfileButton()->text(), "Profile 1");
    EXPECT_EQ(profiles.currentProfileButton()->toolTip(), "Current profile: Profile 1");
    // Captions and tips from the language file.
    EXPECT_EQ(profiles.profileButton(2)->text(), "Profile 3");
    EXPECT_EQ(window.button(command::Ok)->text(), "OK");
    EXPECT_EQ(window.button(command::Apply)->text(), "Apply");
    EXPECT_EQ(window.button(command::Close)->toolTip(), "Close");
    EXPECT_EQ(window.linkAddress(), programFolder() + "Help/index.html");
    // Bank A at every start.
    EXPECT_EQ(window.keyboardPanel().gButton(0)->text(), "A1");
    EXPECT_EQ(window.keyboardPanel().gButton(5)->text(), "A6");
    EXPECT_EQ(window.keyboardPanel().gButton(6)->text(), "");
}

// A keyboard that answers at once can have its reload sent before the
// posted start-up message is handled: the start is finished first, once.
TEST_F(MainWindowTest, AReloadThatOvertakesTheStartFinishesTheStartFirstAndOnlyOnce) {
    CTavrikDlg& window = initialiseWindow({QStringLiteral("/Start")});
    // The icon is all a start in the tray shows: it is there before the
    // start-up message is handled.
    EXPECT_TRUE(window.trayIcon().isActive());
    EXPECT_FALSE(window.isInitialised());
    send(window, platform::message::ProfileReload, platform::wparam::Prof);
    EXPECT_TRUE(window.isInitialised());
    EXPECT_TRUE(window.trayIcon().isActive());
    EXPECT_TRUE(window.profileButtons().profileButton(0)->isChecked());
    EXPECT_EQ(window.profileButtons().currentProfileButton()->text(), "Profile 1");
    // The posted start-up message, handled now, must not put the icon back.
    ASSERT_TRUE(waitForTrayIcon(platform::trayicon::KeyboardPresent));
    send(window, platform::message::Init, platform::wparam::Init);
    EXPECT_EQ(window.trayIconId(), platform::trayicon::KeyboardPresent);
}

// A left press on a key of the window; whether the key took it.
bool pressTaken(QAbstractButton& key) {
    const QPointF at = QRectF(key.rect()).center();
    QMouseEvent press(QEvent::MouseButtonPress, at, key.mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&key, &press);
    const bool taken = key.isDown();
    key.setDown(false);
    return taken;
}

// The window that the start opens shows as the keyboard's read begins, as
// an application window; until the read has ended it takes no clicks on its
// keys, and then the tray shows the keyboard and the keys answer.
TEST_F(MainWindowTest, FirstDetectedKeyboardOpensTheWindowAsItsReadBeginsAndAnswersAfterIt) {
    // Each exchange 0.4 s (within the answer's time-out): the read is far
    // from its end when the window shows.
    ::setenv("VEZAROR_VIRTUAL_LATENCY_MS", "400", 1);
    CTavrikDlg& window = initialiseWindow();
    ASSERT_TRUE(serveEventsUntil([&] { return window.isVisible(); }));
    EXPECT_EQ(window.windowType(), Qt::Window);
    EXPECT_NE(window.trayIconId(), platform::trayicon::KeyboardPresent);
    QAbstractButton& key = *window.keyboardPanel().gButton(0);
    EXPECT_FALSE(pressTaken(key));

    keyboard_.control("latency 0");
    ASSERT_TRUE(waitForTrayIcon(platform::trayicon::KeyboardPresent));
    EXPECT_TRUE(window.isInitialised());
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(device::startFlags().startHidden.load());
    ASSERT_TRUE(serveEventsUntil([] { return !sync::isKeyboardWorkRunning(); }));
    EXPECT_TRUE(pressTaken(key));
}

TEST_F(MainWindowTest, WithoutKeyboardTheOpenItemOnlySaysSo) {
    ::setenv("VEZAROR_VIRTUAL_PLUGGED", "0", 1);
    CTavrikDlg& window = start();
    serveEventsFor(300);
    MessageRecorder recorder;
    const PrompterInUse inUse(recorder);
    EXPECT_EQ(window.trayIconId(), platform::trayicon::NoKeyboard);

    window.trayIcon().menu()->actions().at(0)->trigger();
    ASSERT_EQ(recorder.messages().size(), 1u);
    EXPECT_EQ(recorder.messages()[0].text,
              u"No keyboard was found, so the key settings cannot be shown.");
    EXPECT_EQ(recorder.messages()[0].title, u"");
    serveEventsFor(100);
    EXPECT_FALSE(window.isVisible());
    // A keyboard plugged in later does not open the window by itself.
    keyboard_.control("plug");
    ASSERT_TRUE(waitForTrayIcon(platform::trayicon::KeyboardPresent));
    serveEventsFor(300);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(MainWindowTest, CloseAndCancelHideTheWindowAndTheProgramGoesOn) {
    CTavrikDlg& window = start();
    ASSERT_TRUE(serveEventsUntil([&] { return window.isVisible(); }));
    // The tray icon, made after the window's first paint, shows the keyboard
    // that the start found.
    ASSERT_TRUE(serveEventsUntil([&] { return window.isInitialised(); }));
    EXPECT_TRUE(waitForTrayIcon(platform::trayicon::KeyboardPresent));
    const FinishCounter finished(window);
    EXPECT_FALSE(window.close());
    EXPECT_FALSE(window.isVisible());

    send(window, platform::message::Open, platform::wparam::Open);
    EXPECT_TRUE(window.isVisible());
    platform::sendCommand(&window, command::Cancel);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(finished.count(), 0);
    EXPECT_TRUE(window.instanceServer().isListening());
    EXPECT_TRUE(window.trayIcon().isActive());
}

TEST_F(MainWindowTest, TwoOpenMessagesLeaveOneWindowInFront) {
    CTavrikDlg& window = start({QStringLiteral("/Start")});
    ASSERT_TRUE(waitForTrayIcon(platform::trayicon::KeyboardPresent));
    ASSERT_FALSE(window.isVisible());
    send(window, platform::message::Open, platform::wparam::Open);
    send(window, platform::message::Open, platform::wparam::Open);
    serveEventsFor(100);
    int visibleWindows = 0;
    for (const QWidget* widget : QApplication::topLevelWidgets()) {
        visibleWindows += widget->isVisible() ? 1 : 0;
    }
    EXPECT_EQ(visibleWindows, 1);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(QApplication::activeWindow(), &window);
    // Another wParam is no OPEN.
    window.hide();
    send(window, platform::message::Open, platform::wparam::Init);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(MainWindowTest, RemovedKeyboardHidesTheWindowAndClosesItsDialogsAndReturnsQuietly) {
    CTavrikDlg& window = start();
    ASSERT_TRUE(serveEventsUntil([&] { return window.isVisible(); }));
    QDialog editor(&window);
    window.addChildDialog(&editor);
    editor.show();

    keyboard_.control("unplug");
    ASSERT_TRUE(waitForTrayIcon(platform::trayicon::NoKeyboard));
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(editor.isVisible());
    EXPECT_EQ(device::cachedActiveProfile(), -1);

    keyboard_.control("plug");
    ASSERT_TRUE(waitForTrayIcon(platform::trayicon::KeyboardPresent));
    serveEventsFor(300);
    EXPECT_FALSE(window.isVisible());
}

} // namespace
} // namespace tavrik::app
