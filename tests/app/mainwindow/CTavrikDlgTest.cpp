// The main window against the real service library and a virtual keyboard:
// start-up, showing and hiding, the keyboard's events, the keyboard filter
// and the exit.

#include "app/about/AboutBox.h"
#include "app/keyboardpanel/KeyboardPanel.h"
#include "app/lightingpanel/LightingPanel.h"
#include "app/mainwindow/BusyIndicator.h"
#include "app/mainwindow/WindowTimers.h"
#include "app/profiles/ProfileButtons.h"
#include "app/shared/MainWindowIds.h"
#include "app/tray/CTrayIcon.h"
#include "device/Channels.h"
#include "device/DeviceChangeWorker.h"
#include "keyboard/KeyMapCodec.h"
#include "platform/InstanceLock.h"
#include "platform/NamedEvents.h"
#include "platform/Unicode.h"
#include "platform/WindowMessage.h"
#include "sync/DeviceMemory.h"
#include "tests/app/mainwindow/MainWindowFixture.h"
#include "tests/app/mainwindow/PanelWindowFixture.h"
#include "tests/support/FullProfile.h"
#include "tests/support/RecordingPorts.h"
#include "ui/CPngButton.h"
#include "ui/LanguageMenu.h"
#include "ui/SkinImageCache.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QWheelEvent>
#include <algorithm>
#include <fstream>
#include <iterator>
#include <mutex>

namespace tavrik::app {
namespace {

using testing::MainWindowTest;
using testing::namedEventExists;
using testing::pressKey;
using testing::serveEventsFor;
using testing::serveEventsUntil;

// Answers every message box and records its text and title.
class MessageRecorder final : public platform::Prompter {
public:
    struct Message {
        std::u16string text;
        std::u16string title;
    };
    void showMessage(const std::u16string& text, const std::u16string& title,
                     platform::MessageIcon) override {
        const std::lock_guard lock(mutex_);
        messages_.push_back({text, title});
    }
    bool askYesNo(const std::u16string&, bool defaultYes) override { return defaultYes; }
    std::optional<std::string> chooseOpenFile(const platform::FileDialogRequest&) override {
        return {};
    }
    std::optional<std::string> chooseSaveFile(const platform::FileDialogRequest&) override {
        return {};
    }
    std::vector<Message> messages() const {
        const std::lock_guard lock(mutex_);
        return messages_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<Message> messages_;
};

// Counts how often the window finished, which ends the program's loop.
class FinishCounter {
public:
    explicit FinishCounter(QDialog& window) {
        QObject::connect(&window, &QDialog::finished, &context_, [this] { ++count_; });
    }
    int count() const { return count_; }

private:
    QObject context_;
    int count_ = 0;
};

// Puts a prompter in place for as long as it lives.
class PrompterInUse {
public:
    explicit PrompterInUse(platform::Prompter& prompter) { platform::installPrompter(&prompter); }
    ~PrompterInUse() { platform::installPrompter(nullptr); }
    PrompterInUse(const PrompterInUse&) = delete;
    PrompterInUse& operator=(const PrompterInUse&) = delete;
};

// A child dialog that refuses to close while asked to.
class StubbornDialog final : public QDialog {
public:
    bool refuse = true;

protected:
    void closeEvent(QCloseEvent* event) override {
        if (refuse) {
            event->ignore();
        } else {
            QDialog::closeEvent(event);
        }
    }
};

bool sameImage(const QImage& left, const QImage& right) {
    return left.cacheKey() == right.cacheKey();
}

std::intptr_t send(CTavrikDlg& window, std::uint32_t message, std::uintptr_t wParam) {
    return platform::sendWindowMessage(&window, message, wParam);
}

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

TEST_F(MainWindowTest, FirstDetectedKeyboardOpensTheWindowAsAnApplicationWindow) {
    CTavrikDlg& window = start();
    ASSERT_TRUE(serveEventsUntil([&] { return window.isVisible(); }));
    EXPECT_EQ(window.windowType(), Qt::Window);
    EXPECT_EQ(window.trayIconId(), platform::trayicon::KeyboardPresent);
    EXPECT_TRUE(device::startFlags().startHidden.load());
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

TEST_F(MainWindowTest, CloseAndCancelHideTheWindowAndTheProgramGoesOn) {
    CTavrikDlg& window = start();
    ASSERT_TRUE(serveEventsUntil([&] { return window.isVisible(); }));
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

bool workingTableIsEmpty() {
    const sync::DataSetLock lock = sync::lockWorkingSet();
    const auto bytes = sync::workingSet().table.bytes();
    return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t byte) { return byte == 0; });
}

TEST_F(MainWindowTest, ExitRefusedByAChildDialogReleasesNothing) {
    CTavrikDlg& window = start({QStringLiteral("/Start")});
    ASSERT_TRUE(waitForTrayIcon(platform::trayicon::KeyboardPresent));
    const FinishCounter finished(window);
    StubbornDialog editor;
    window.addChildDialog(&editor);
    editor.show();

    EXPECT_FALSE(window.exitProgram());
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(finished.count(), 0);
    EXPECT_TRUE(platform::InstanceLock::exists(platform::kInstanceMutexName));
    EXPECT_TRUE(namedEventExists(platform::namedEventName(105)));
    EXPECT_TRUE(window.trayIcon().isActive());
    EXPECT_EQ(window.trayIconId(), platform::trayicon::KeyboardPresent);
    EXPECT_FALSE(workingTableIsEmpty());
    // The window still answers.
    send(window, platform::message::Open, platform::wparam::Open);
    EXPECT_TRUE(window.isVisible());

    editor.refuse = false;
    EXPECT_TRUE(window.exitProgram());
    EXPECT_FALSE(editor.isVisible());
    EXPECT_EQ(finished.count(), 1);
    EXPECT_FALSE(platform::InstanceLock::exists(platform::kInstanceMutexName));
    EXPECT_FALSE(namedEventExists(platform::namedEventName(105)));
    EXPECT_FALSE(window.trayIcon().isActive());
    EXPECT_EQ(window.trayIconId(), platform::trayicon::None);
    EXPECT_FALSE(window.button(command::Apply)->isEnabled());
    EXPECT_TRUE(workingTableIsEmpty());
}

// The record of key A in a key map page read from the keyboard.
std::vector<std::uint8_t> recordOfKeyA(const std::vector<std::uint8_t>& page) {
    const keyboard::KeyMapLayer layout = sync::defaultLayout();
    for (std::size_t k = 0; k < keyboard::kKeyPositionCount; ++k) {
        if (layout[3 * k] == 2 && layout[3 * k + 1] == 2 && layout[3 * k + 2] == 0x04) {
            return {page.begin() + 3 * k, page.begin() + 3 * k + 3};
        }
    }
    return {};
}

std::size_t workingMacros() {
    const sync::DataSetLock lock = sync::lockWorkingSet();
    return sync::workingSet().macros.size();
}

// Serves events until every device-change worker has acted on the count
// `count`, which the service reports last.
bool waitForDeviceCount(int count) {
    return serveEventsUntil(
        [count] {
            return device::reportedDeviceCount() == count && device::deviceChangeWorkersIdle();
        },
        20000);
}

// A flaky cable on a slow keyboard: plugged in again, pulled while it is
// read, then plugged in for good. The program ends with the keyboard's own
// setup, read once the keyboard is back, and the next Apply of one key
// changes nothing else on it.
TEST_F(MainWindowTest, AKeyboardPulledWhileItIsReadKeepsItsSetup) {
    CTavrikDlg& window = start({QStringLiteral("/Start")});
    ASSERT_TRUE(waitForDeviceCount(1));
    MessageRecorder messages;
    const PrompterInUse prompter(messages);
    // Three macros and keys that play them, in every profile.
    {
        const sync::DataSetLock lock = sync::lockWorkingSet();
        sync::WorkingSet& set = sync::workingSet();
        sync::WorkingSet full = testing::fullWorkingSet(1);
        set.macros.assign(full.macros.begin(), full.macros.begin() + 3);
        for (int layer = 0; layer < 3; ++layer) {
            for (int row = 0x10; row < 0x13; ++row) {
                set.table.storeRecord(layer, row,
                                      testing::record(keyboard::AssignmentType::PlayMacro,
                                                      static_cast<std::uint32_t>(row - 0x0F)));
            }
        }
    }
    window.setApplyEnabled(true);
    platform::sendCommand(&window, command::Apply);
    ASSERT_FALSE(window.isApplyEnabled());
    ASSERT_EQ(keyboard_.area("macro")[4], 3);
    keyboard_.control("press profile 1");
    ASSERT_TRUE(serveEventsUntil([] { return device::cachedActiveProfile() == 1; }));
    ASSERT_TRUE(waitForDeviceCount(1));

    keyboard_.control("latency 150");
    keyboard_.control("unplug");
    ASSERT_TRUE(waitForDeviceCount(0));
    // Plugged in again and gone during the second command of its read,
    // which then waits for an answer that never comes.
    keyboard_.control("fault unplug-after 2");
    keyboard_.control("plug");
    ASSERT_TRUE(serveEventsUntil(
        [this] { return keyboard_.control("state").find("plugged=0") != std::string::npos; },
        20000));
    ASSERT_TRUE(waitForDeviceCount(0));
    keyboard_.control("latency 0");
    keyboard_.control("plug");
    ASSERT_TRUE(waitForDeviceCount(1));

    EXPECT_EQ(device::storedDeviceCount(), 1);
    EXPECT_EQ(device::cachedActiveProfile(), 1) << "the keyboard was read when it came back";
    EXPECT_EQ(workingMacros(), 3u);
    EXPECT_TRUE(window.profileButtons().profileButton(1)->isChecked());

    testing::store(1, 0x30, testing::record(keyboard::AssignmentType::Function, 2));
    window.setApplyEnabled(true);
    platform::sendCommand(&window, command::Apply);
    EXPECT_FALSE(window.isApplyEnabled());
    const std::vector<std::uint8_t> area = keyboard_.area("macro");
    ASSERT_GE(area.size(), 6u);
    EXPECT_EQ(area[0] | area[1] << 8, 0x55AA);
    EXPECT_EQ(area[4] | area[5] << 8, 3) << "every macro is still there";
}

// Answers every question with `yes` and records what was asked and told.
class AnsweringPrompter final : public platform::Prompter {
public:
    void showMessage(const std::u16string& text, const std::u16string&,
                     platform::MessageIcon) override {
        told.push_back(text);
    }
    bool askYesNo(const std::u16string& text, bool) override {
        asked.push_back(text);
        return yes;
    }
    std::optional<std::string> chooseOpenFile(const platform::FileDialogRequest&) override {
        return {};
    }
    std::optional<std::string> chooseSaveFile(const platform::FileDialogRequest&) override {
        return {};
    }
    bool yes = false;
    std::vector<std::u16string> asked;
    std::vector<std::u16string> told;
};

struct ExitCase {
    const char* name;
    int command; // -1: the Kill message of another instance or a logout
    bool yes;
    bool keyboardGone;
    bool asked;
    bool ends;
};

class ExitQuestionTest : public MainWindowTest, public ::testing::WithParamInterface<ExitCase> {};

// The user's Exit asks about unapplied changes as a switch does: No ends
// the program without them, Yes applies them first, and an Apply the
// keyboard did not take keeps them and the program; Kill asks nothing.
TEST_P(ExitQuestionTest, ExitWithUnappliedChangesAsksTheSaveQuestionFirst) {
    const ExitCase& c = GetParam();
    CTavrikDlg& window = start({QStringLiteral("/Start")});
    ASSERT_TRUE(waitForDeviceCount(1));
    AnsweringPrompter answers;
    answers.yes = c.yes;
    const PrompterInUse prompter(answers);
    const FinishCounter finished(window);
    testing::store(0, 0x1E, testing::record(keyboard::AssignmentType::Function, 4));
    window.setApplyEnabled(true);
    if (c.keyboardGone) {
        keyboard_.control("unplug");
        ASSERT_TRUE(waitForDeviceCount(0));
    }
    if (c.command < 0) {
        send(window, platform::message::Kill, platform::wparam::Kill);
    } else {
        platform::sendCommand(&window, c.command);
    }
    EXPECT_EQ(answers.asked,
              c.asked ? std::vector<std::u16string>{text::languageText("PROFILE_SELECT_PROMPT")}
                      : std::vector<std::u16string>{});
    EXPECT_EQ(finished.count(), c.ends ? 1 : 0);
    if (!c.ends) {
        EXPECT_TRUE(window.isApplyEnabled()) << "the changes are kept";
        EXPECT_EQ(answers.told,
                  std::vector<std::u16string>{text::languageText("APPLY_KEYBOARD_FAILED")});
    }
    const bool applied = c.asked && c.yes && !c.keyboardGone;
    const std::vector<std::uint8_t> functionFour = {5, 5, 4};
    EXPECT_EQ(recordOfKeyA(keyboard_.area("page0")) == functionFour, applied);
}

INSTANTIATE_TEST_SUITE_P(
    Exits, ExitQuestionTest,
    ::testing::Values(ExitCase{"CloseNo", command::Close, false, false, true, true},
                      ExitCase{"MenuExitYes", command::MenuClose, true, false, true, true},
                      ExitCase{"TrayExitYesKeyboardGone", traycommand::Exit, true, true, true,
                               false},
                      ExitCase{"Kill", -1, true, false, false, true}),
    [](const ::testing::TestParamInfo<ExitCase>& param) { return std::string(param.param.name); });

TEST_F(MainWindowTest, KillMessageEndsTheProgramAndCloseMerelyHides) {
    CTavrikDlg& window = start({QStringLiteral("/Start")});
    ASSERT_TRUE(waitForTrayIcon(platform::trayicon::KeyboardPresent));
    const FinishCounter finished(window);
    send(window, platform::message::Kill, platform::wparam::Open);
    EXPECT_EQ(finished.count(), 0);
    send(window, platform::message::Kill, platform::wparam::Kill);
    EXPECT_EQ(finished.count(), 1);
    EXPECT_FALSE(platform::InstanceLock::exists(platform::kInstanceMutexName));
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

TEST_F(MainWindowTest, MenusAndTheAboutBoxReadTheirTextsWhenTheyOpen) {
    CTavrikDlg& window = start({QStringLiteral("/Start")});
    QStringList texts;
    for (const QAction* action : window.mainMenu().actions()) {
        texts << action->text();
    }
    EXPECT_EQ(texts, QStringList({"Import…", "Export…", "", "Back up keyboard…",
                                  "Restore keyboard…", "", "About", "Exit"}));
    // Only the tray menu has a default item.
    EXPECT_EQ(window.mainMenu().defaultAction(), nullptr);
    EXPECT_EQ(window.trayIcon().menu()->defaultAction(),
              window.trayIcon().menu()->actions().first());

    platform::sendCommand(&window, command::About);
    AboutBox* about = window.aboutBox();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    EXPECT_EQ(about->rights(), "Copyright © the Tavrik developers");
    EXPECT_EQ(about->linkAddress().toStdString(), window.linkAddress());
    EXPECT_TRUE(about->hyperlink()->text().contains(about->linkAddress()));
    EXPECT_EQ(about->linkAddress().toStdString(), programFolder() + "Help/index.html");

    // Edited while the program runs, the file shows the next time.
    {
        std::ofstream edit(platform::pathSet().languageFile);
        edit << "[LANGUAGE]\nlanguage=1\n[ENGINSH]\nGUANYU_BANQUAN=Rights reserved\n"
                "MENU_1=Bring in\n";
    }
    about->hide();
    platform::sendCommand(&window, command::About);
    EXPECT_EQ(window.aboutBox(), about);
    EXPECT_EQ(about->rights(), "Rights reserved");
    EXPECT_EQ(about->description(), "");
    window.mainMenu().fetchTexts();
    EXPECT_EQ(window.mainMenu().actions().at(0)->text(), "Bring in");
}

TEST_F(MainWindowTest, OkAndTheClockChangeApplyCancelDoesNot) {
    CTavrikDlg& window = start();
    ASSERT_TRUE(serveEventsUntil([&] { return window.isVisible(); }));
    // Changes pending: OK writes them to the keyboard and hides the window.
    window.setApplyEnabled(true);
    long commands = keyboard_.answeredCommands();
    platform::sendCommand(&window, command::Ok);
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.isApplyEnabled());
    EXPECT_FALSE(window.button(command::Apply)->isEnabled());
    EXPECT_GT(keyboard_.answeredCommands(), commands);

    send(window, platform::message::Open, platform::wparam::Open);
    window.setApplyEnabled(true);
    commands = keyboard_.answeredCommands();
    platform::sendCommand(&window, command::Cancel);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(window.isApplyEnabled());
    EXPECT_EQ(keyboard_.answeredCommands(), commands);

    send(window, platform::message::TimeChanged, 0);
    EXPECT_FALSE(window.isApplyEnabled());
    EXPECT_GT(keyboard_.answeredCommands(), commands);
}

TEST_F(MainWindowTest, MenuExportAndImportGoThroughTheFileDialogs) {
    CTavrikDlg& window = start({QStringLiteral("/Start")});
    ASSERT_TRUE(waitForTrayIcon(platform::trayicon::KeyboardPresent));
    testing::RecordingPrompter prompter;
    const PrompterInUse inUse(prompter);

    const std::string exported = folder_.file("exported.fwc");
    prompter.choosePath(exported);
    platform::sendCommand(&window, command::Export);
    ASSERT_EQ(prompter.requests().size(), 1u);
    EXPECT_EQ(prompter.requests()[0].defaultExtension, u"fwc");
    EXPECT_TRUE(prompter.requests()[0].confirmOverwrite);
    EXPECT_TRUE(std::filesystem::exists(exported));

    const long commands = keyboard_.answeredCommands();
    platform::sendCommand(&window, command::Import);
    EXPECT_EQ(prompter.requests().size(), 2u);
    EXPECT_TRUE(prompter.messages().empty());
    EXPECT_GT(keyboard_.answeredCommands(), commands);

    std::ofstream(folder_.file("foreign.fwc")) << "not a profile";
    prompter.choosePath(folder_.file("foreign.fwc"));
    platform::sendCommand(&window, command::Import);
    ASSERT_FALSE(prompter.messages().empty());
    EXPECT_EQ(prompter.messages().back(), text::languageText("MAIN_PROMPT_INPORT"));

    // A cancelled dialog does nothing.
    prompter.choosePath(std::nullopt);
    const std::size_t shown = prompter.messages().size();
    platform::sendCommand(&window, command::Export);
    platform::sendCommand(&window, command::Import);
    EXPECT_EQ(prompter.messages().size(), shown);
}

// The window's menu backs the keyboard up and restores it; after a restore
// the window shows what the keyboard now holds.
TEST_F(MainWindowTest, MenuBackUpAndRestoreTheKeyboardAndTheWindowFollows) {
    CTavrikDlg& window = start({QStringLiteral("/Start")});
    ASSERT_TRUE(waitForTrayIcon(platform::trayicon::KeyboardPresent));
    testing::RecordingPrompter prompter;
    const PrompterInUse inUse(prompter);
    ProfileButtons& profiles = window.profileButtons();
    ASSERT_TRUE(serveEventsUntil([&] { return profiles.profileButton(0)->isChecked(); }));

    const std::string backup = folder_.file("keyboard.tkb");
    prompter.choosePath(backup);
    platform::sendCommand(&window, command::BackupKeyboard);
    ASSERT_TRUE(std::filesystem::exists(backup));
    EXPECT_EQ(prompter.requests().back().defaultExtension, u"tkb");

    keyboard_.control("press profile 2");
    ASSERT_TRUE(serveEventsUntil([&] { return profiles.profileButton(2)->isChecked(); }));

    prompter.answerQuestionsWith(true);
    platform::sendCommand(&window, command::RestoreKeyboard);
    EXPECT_EQ(prompter.questions().size(), 1u);
    EXPECT_EQ(keyboard_.activeProfile(), 0);
    EXPECT_TRUE(profiles.profileButton(0)->isChecked());
    EXPECT_FALSE(profiles.profileButton(2)->isChecked());
    EXPECT_EQ(window.lightingPanel().lightingProfile(), 0);
    EXPECT_EQ(prompter.messages().back(),
              u"The keyboard was restored from " + platform::toUtf16(backup));
}

TEST_F(MainWindowTest, TheTrayItemWritesTheAutostartEntryOfThisProgram) {
    CTavrikDlg& window = start({QStringLiteral("/Start")});
    const std::string entry = folder_.file("config/autostart/tavrik.desktop");
    platform::sendCommand(&window, traycommand::StartWithDesktop);
    ASSERT_TRUE(std::filesystem::exists(entry));
    std::ifstream file(entry);
    const std::string text((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("\nExec=" + programFolder() + "tavrik /Start\n"), std::string::npos)
        << text;
    EXPECT_TRUE(window.trayIcon().menu()->actionOf(traycommand::StartWithDesktop)->isChecked());
    platform::sendCommand(&window, traycommand::StartWithDesktop);
    EXPECT_FALSE(std::filesystem::exists(entry));
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
    platform::mainWindow().setTimer(platform::timer::BusyAnimation, 0);
    ASSERT_TRUE(serveEventsUntil([&] { return busy.frame() > 0; }));
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
