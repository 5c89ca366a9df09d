// The main window against the real service library and a virtual keyboard:
// its menus and the About box, OK and Cancel, import and export, the
// keyboard's backup, and the tray's autostart item.

#include "app/about/AboutBox.h"
#include "app/lightingpanel/LightingPanel.h"
#include "app/profiles/ProfileButtons.h"
#include "app/shared/MainWindowIds.h"
#include "app/tray/CTrayIcon.h"
#include "platform/Unicode.h"
#include "platform/WindowMessage.h"
#include "tests/app/mainwindow/MainWindowFixture.h"
#include "tests/app/mainwindow/MainWindowTestParts.h"
#include "tests/support/RecordingPorts.h"
#include "ui/CPngButton.h"
#include "ui/LanguageMenu.h"

#include <QLabel>
#include <fstream>
#include <iterator>

namespace tavrik::app {
namespace {

using testing::MainWindowTest;
using testing::PrompterInUse;
using testing::send;
using testing::serveEventsUntil;

TEST_F(MainWindowTest, MenusAndTheAboutBoxReadTheirTextsWhenTheyOpen) {
    CTavrikDlg& window = start({QStringLiteral("/Start")});
    QStringList texts;
    for (const QAction* action : window.mainMenu().actions()) {
        texts << action->text();
    }
    EXPECT_EQ(texts, QStringList({"Import…", "Export…", "", "Back up keyboard…",
                                  "Restore keyboard…", "", "Application profiles…",
                                  "Start with the desktop", "", "About", "Exit"}));
    // Only the tray menu has a default item.
    EXPECT_EQ(window.mainMenu().defaultAction(), nullptr);
    EXPECT_EQ(window.trayIcon().menu()->defaultAction(),
              window.trayIcon().menu()->actions().first());

    platform::sendCommand(&window, command::About);
    AboutBox* about = window.aboutBox();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    // The version of the build, which the package carries too.
    EXPECT_EQ(about->nameAndVersion(), QStringLiteral("Tavrik " TAVRIK_VERSION));
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
    // Said where it went, as a backup is.
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0], u"The profile is exported to " + platform::toUtf16(exported));

    const long commands = keyboard_.answeredCommands();
    platform::sendCommand(&window, command::Import);
    EXPECT_EQ(prompter.requests().size(), 2u);
    EXPECT_EQ(prompter.requests()[1].startFolder, folder_.path()) << "where the export went";
    EXPECT_EQ(prompter.messages().size(), 1u);
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
    // The window's menu has the item too, with the entry's state when it opens.
    QAction* item = window.mainMenu().actionOf(traycommand::StartWithDesktop);
    ASSERT_NE(item, nullptr);
    emit window.mainMenu().aboutToShow();
    EXPECT_TRUE(item->isChecked());
    item->trigger();
    EXPECT_FALSE(std::filesystem::exists(entry));
    emit window.mainMenu().aboutToShow();
    EXPECT_FALSE(item->isChecked());
}

} // namespace
} // namespace tavrik::app
