// Long keyboard work off the window's thread, on a keyboard that answers
// slowly: the window animates its busy indicator and keeps answering while
// Apply writes, what would run beside the work is refused or waits for its
// end, and nothing is written twice or mixed.

#include "app/keyboardpanel/KeyboardPanel.h"
#include "app/mainwindow/BusyIndicator.h"
#include "app/mainwindow/CTavrikDlg.h"
#include "app/profiles/ProfileButtons.h"
#include "app/shared/MainWindowIds.h"
#include "app/tray/CTrayIcon.h"
#include "device/DeviceChangeWorker.h"
#include "keyboard/PanelKeyList.h"
#include "sync/KeyboardWork.h"
#include "tests/app/mainwindow/MainWindowTestParts.h"
#include "tests/app/mainwindow/PanelWindowFixture.h"
#include "tests/support/FullProfile.h"
#include "ui/CPngButton.h"

#include <QElapsedTimer>
#include <QTimer>
#include <set>

namespace tavrik::app {
namespace {

using testing::serveEventsFor;
using testing::serveEventsUntil;

class KeyboardWorkTest : public testing::PanelWindowTest {
public:
    // Started hidden with the keyboard read; a few macros and an edit wait
    // for Apply, on a keyboard that answers after `latency` ms.
    CTavrikDlg& startWithAnEdit(int latency) {
        CTavrikDlg& window = startWithKeyboard();
        EXPECT_TRUE(serveEventsUntil([] {
            return device::reportedDeviceCount() == 1 && device::deviceChangeWorkersIdle() &&
                   !sync::isKeyboardWorkRunning();
        }));
        {
            const sync::DataSetLock lock = sync::lockWorkingSet();
            const sync::WorkingSet full = testing::fullWorkingSet(2);
            sync::workingSet().macros.assign(full.macros.begin(), full.macros.begin() + 6);
        }
        testing::store(0, 0x1E, testing::record(keyboard::AssignmentType::Function, 4));
        window.setApplyEnabled(true);
        keyboard_.control("latency " + std::to_string(latency));
        return window;
    }

public:
    // Runs `during` on each tick of a timer of the window's thread while
    // the command runs; the ticks' count.
    int runWhile(CTavrikDlg& window, int commandId, const std::function<void()>& during) {
        int ticks = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            if (sync::isKeyboardWorkRunning()) {
                ++ticks;
                during();
            }
        });
        ticker.start(20);
        platform::sendCommand(&window, commandId);
        ticker.stop();
        return ticks;
    }
};

TEST_F(KeyboardWorkTest, TheIndicatorRunsAndTheWindowAnswersWhileApplyWrites) {
    CTavrikDlg& window = startWithAnEdit(60);
    std::set<int> frames;
    const int ticks =
        runWhile(window, command::Apply, [&] { frames.insert(window.busyIndicator().frame()); });
    EXPECT_GT(ticks, 3) << "the window's own timer fired while Apply wrote";
    EXPECT_GE(frames.size(), 2u) << "the busy indicator moved";
    EXPECT_FALSE(window.isApplyEnabled());
    EXPECT_FALSE(window.busyIndicator().isVisible());
    const std::vector<std::uint8_t> functionFour = {5, 5, 4};
    EXPECT_EQ(testing::recordOfKeyA(keyboard_.area("page0")), functionFour);
}

// What would change the keyboard beside the work is refused: another Apply,
// a profile switch, an import, a key's editor, Restore defaults; the work
// writes once, whole.
TEST_F(KeyboardWorkTest, WhatWouldRunBesideTheWorkIsRefused) {
    CTavrikDlg& window = startWithAnEdit(40);
    bool tried = false;
    runWhile(window, command::Apply, [&] {
        if (tried) {
            return;
        }
        tried = true;
        platform::sendCommand(&window, command::Apply);
        window.profileButtons().profileButton(2)->click();
        platform::sendCommand(&window, command::Import);
        platform::sendCommand(&window, command::BackupKeyboard);
        window.keyboardPanel().clickKey(keyboard::GButtonIds.front());
        platform::sendCommand(&window, command::MacroEditor);
    });
    ASSERT_TRUE(tried);
    keyboard_.control("latency 0");
    serveEventsFor(100);
    EXPECT_EQ(keyboard_.activeProfile(), 0) << "no switch";
    EXPECT_TRUE(prompter_.requests().empty()) << "no file dialog";
    EXPECT_TRUE(editor_.requests.empty()) << "no editor";
    EXPECT_FALSE(window.isApplyEnabled());
    const std::vector<std::uint8_t> functionFour = {5, 5, 4};
    EXPECT_EQ(testing::recordOfKeyA(keyboard_.area("page0")), functionFour);
}

// The user's exit and a Kill wait for the work to end, then end the program
// in order: the keyboard has the whole write, and nothing is asked.
void exitDuringApply(KeyboardWorkTest& test, CTavrikDlg& window, bool kill,
                     const testing::RecordingPrompter& prompter,
                     testing::VirtualKeyboardSession& keyboard) {
    const testing::FinishCounter finished(window);
    bool asked = false;
    test.runWhile(window, command::Apply, [&] {
        if (asked) {
            return;
        }
        asked = true;
        if (kill) {
            platform::sendWindowMessage(&window, platform::message::Kill, platform::wparam::Kill);
        } else {
            platform::sendCommand(&window, traycommand::Exit);
        }
        EXPECT_EQ(finished.count(), 0) << "not beside the work";
    });
    ASSERT_TRUE(asked);
    EXPECT_TRUE(serveEventsUntil([&] { return finished.count() == 1; }));
    EXPECT_TRUE(prompter.questions().empty()) << "applied already: nothing to ask";
    const std::vector<std::uint8_t> functionFour = {5, 5, 4};
    EXPECT_EQ(testing::recordOfKeyA(keyboard.area("page0")), functionFour);
}

TEST_F(KeyboardWorkTest, TheTraysExitWaitsForTheWorkThenEndsInOrder) {
    exitDuringApply(*this, startWithAnEdit(30), false, prompter_, keyboard_);
}

TEST_F(KeyboardWorkTest, AKillWaitsForTheWorkThenEndsInOrder) {
    exitDuringApply(*this, startWithAnEdit(30), true, prompter_, keyboard_);
}

} // namespace
} // namespace tavrik::app
