// The main window against the real service library and a virtual keyboard:
// the exit, what it releases and what it asks first, and the keyboard's
// setup kept through a flaky cable.

#include "app/profiles/ProfileButtons.h"
#include "app/shared/MainWindowIds.h"
#include "app/tray/CTrayIcon.h"
#include "device/DeviceChangeWorker.h"
#include "keyboard/KeyMapCodec.h"
#include "platform/InstanceLock.h"
#include "platform/NamedEvents.h"
#include "platform/WindowMessage.h"
#include "sync/DeviceMemory.h"
#include "tests/app/mainwindow/MainWindowFixture.h"
#include "tests/app/mainwindow/MainWindowTestParts.h"
#include "tests/app/mainwindow/PanelWindowFixture.h"
#include "tests/support/FullProfile.h"
#include "ui/CPngButton.h"

#include <QCloseEvent>
#include <algorithm>

namespace tavrik::app {
namespace {

using testing::FinishCounter;
using testing::MainWindowTest;
using testing::MessageRecorder;
using testing::namedEventExists;
using testing::PrompterInUse;
using testing::send;
using testing::serveEventsUntil;

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
    EXPECT_EQ(testing::recordOfKeyA(keyboard_.area("page0")) == functionFour, applied);
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

} // namespace
} // namespace tavrik::app
