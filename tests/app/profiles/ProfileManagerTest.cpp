// The profile manager against the real service library, a virtual keyboard
// and the real settings store: its rows, Add, Load, Delete, Apply, the
// stored list and closing.

#include "app/profiles/CTavrik_DlgProfile.h"
#include "app/profiles/ProfileButtons.h"
#include "app/profiles/ProfileList.h"
#include "app/profiles/ProfileSettings.h"
#include "app/shared/MainWindowIds.h"
#include "platform/IniFile.h"
#include "platform/WindowMessage.h"
#include "sync/WorkingFile.h"
#include "tests/app/mainwindow/PanelWindowFixture.h"
#include "text/LanguageFile.h"
#include "text/LanguageTexts.h"

#include <QTableWidget>
#include <QTimer>
#include <filesystem>

namespace tavrik::app {
namespace {

using Dialog = CTavrik_DlgProfile;
using testing::record;
using testing::store;
using testing::stored;

class ProfileManagerTest : public testing::PanelWindowTest {
protected:
    std::string userFolder() const { return platform::pathSet().userDataFolder; }

    static QStringList rowTexts(const Dialog& dialog, int column) {
        QStringList texts;
        for (int row = 0; row < dialog.list()->rowCount(); ++row) {
            texts << dialog.list()->item(row, column)->text();
        }
        return texts;
    }

    static void check(Dialog& dialog, int row) {
        dialog.list()->item(row, 0)->setCheckState(Qt::Checked);
    }
};

TEST_F(ProfileManagerTest, OpensWithTheThreeProfilesAndTheActiveOneChecked) {
    CTavrikDlg& window = startWithKeyboard();
    EXPECT_EQ(Dialog::openCount(), 0);
    {
        Dialog dialog(&window);
        EXPECT_EQ(Dialog::openCount(), 1);
        EXPECT_FALSE(Dialog::isModified());
        EXPECT_EQ(rowTexts(dialog, 1), QStringList({"$Profile0", "$Profile0", "$Profile0"}));
        const QString folder = QString::fromStdString(userFolder() + "/");
        EXPECT_EQ(rowTexts(dialog, 2), QStringList({folder, folder, folder}));
        // Told apart by the profile number; every cell's tip is the whole
        // path.
        EXPECT_EQ(rowTexts(dialog, 0), QStringList({"1", "2", "3"}));
        for (int column = 0; column < 3; ++column) {
            EXPECT_EQ(dialog.list()->item(2, column)->toolTip(),
                      QString::fromStdString(sync::workingFilePath(2)));
        }
        EXPECT_EQ(dialog.rowPath(0), sync::workingFilePath(0));
        EXPECT_EQ(dialog.checkedRow(), 0);
        EXPECT_FALSE(dialog.button(Dialog::kApplyId)->isEnabled());
    }
    EXPECT_EQ(Dialog::openCount(), 0);

    // A keyboard that does not answer: three rows, none checked.
    keyboard_.control("unplug");
    ASSERT_TRUE(waitForTrayIcon(platform::trayicon::NoKeyboard));
    Dialog dialog(&window);
    EXPECT_EQ(dialog.list()->rowCount(), 3);
    EXPECT_EQ(dialog.checkedRow(), -1);
}

TEST_F(ProfileManagerTest, AddCreatesADefaultProfileFileAndLoadNamesAnExistingOne) {
    CTavrikDlg& window = startWithKeyboard();
    Dialog dialog(&window);
    // Cancelled: no file, no row.
    prompter_.choosePath(std::nullopt);
    dialog.button(Dialog::kAddId)->click();
    dialog.button(Dialog::kLoadId)->click();
    EXPECT_EQ(dialog.list()->rowCount(), 3);
    EXPECT_FALSE(Dialog::isModified());
    ASSERT_EQ(prompter_.requests().size(), 2u);
    const platform::FileDialogRequest add = prompter_.requests()[0];
    EXPECT_EQ(add.initialName,
              QString::fromStdString(userFolder() + "/New profile").toStdU16String());
    EXPECT_EQ(add.defaultExtension, u"fwc");
    EXPECT_EQ(add.filter, u"(*.fwc)|*.fwc|(*.*)|*.*||");
    EXPECT_TRUE(add.confirmOverwrite);
    EXPECT_EQ(prompter_.requests()[1].initialName,
              QString::fromStdString(userFolder() + "/*.fwc").toStdU16String());
    EXPECT_FALSE(prompter_.requests()[1].confirmOverwrite);
    // Both start in the user data folder, also after a file chosen elsewhere.
    for (const auto& request : prompter_.requests()) {
        EXPECT_EQ(request.startFolder, userFolder());
    }

    const std::string created = folder_.file("Work.fwc");
    prompter_.choosePath(created);
    dialog.button(Dialog::kAddId)->click();
    EXPECT_EQ(std::filesystem::file_size(created), keyboard::kAssignmentTableSize);
    EXPECT_TRUE(Dialog::isModified());
    const std::string loaded = folder_.file("Other.game.fwc");
    prompter_.choosePath(loaded);
    dialog.button(Dialog::kLoadId)->click();
    EXPECT_FALSE(std::filesystem::exists(loaded));
    EXPECT_EQ(rowTexts(dialog, 1).mid(3), QStringList({"Work", "Other.game"}));
    EXPECT_EQ(dialog.rowPath(4), loaded);
    EXPECT_EQ(dialog.checkedRow(), 0);

    // A file that cannot be written is said so and adds no row.
    prompter_.choosePath(folder_.file("missing/folder/New.fwc"));
    dialog.button(Dialog::kAddId)->click();
    EXPECT_EQ(dialog.list()->rowCount(), 5);
    ASSERT_EQ(prompter_.messages().size(), 1u);
    EXPECT_NE(prompter_.messages()[0].find(u"missing/folder/New.fwc"), std::u16string::npos);
}

TEST_F(ProfileManagerTest, ApplyStoresTheListAndMakesTheCheckedRowActive) {
    CTavrikDlg& window = startWithKeyboard();
    {
        Dialog dialog(&window);
        check(dialog, 2);
        EXPECT_EQ(dialog.checkedRow(), 2); // single check
        EXPECT_TRUE(Dialog::isModified());
        window.setApplyEnabled(true);
        dialog.button(Dialog::kApplyId)->click();
        EXPECT_EQ(keyboard_.activeProfile(), 2);
        EXPECT_FALSE(Dialog::isModified());
        EXPECT_FALSE(window.isApplyEnabled());
        // The window follows the keyboard.
        EXPECT_EQ(window.profileButtons().currentProfileButton()->text(), "Profile 3");
        EXPECT_TRUE(window.profileButtons().profileButton(2)->isChecked());
        EXPECT_EQ(profileSetting(profileListKey(0), {}), "3");
        EXPECT_EQ(profileSetting(profileListKey(3), {}).toStdString(), sync::workingFilePath(2));

        // No row checked: stored, and the keyboard keeps its profile.
        dialog.list()->item(2, 0)->setCheckState(Qt::Unchecked);
        EXPECT_TRUE(Dialog::isModified());
        dialog.button(Dialog::kApplyId)->click();
        EXPECT_EQ(keyboard_.activeProfile(), 2);
    }

    // The only row deleted: "0" and no path keys.
    Dialog dialog(&window);
    while (dialog.list()->rowCount() > 0) {
        dialog.list()->selectRow(dialog.list()->rowCount() - 1);
        dialog.button(Dialog::kDeleteId)->click();
    }
    dialog.button(Dialog::kDeleteId)->click(); // nothing selected: nothing
    dialog.button(Dialog::kApplyId)->click();
    EXPECT_EQ(profileSetting(profileListKey(0), {}), "0");
    for (int number = 1; number <= 3; ++number) {
        EXPECT_FALSE(hasProfileSetting(profileListKey(number))) << number;
    }
    // OK applies and closes.
    dialog.show();
    prompter_.choosePath(folder_.file("Kept.fwc"));
    dialog.button(Dialog::kLoadId)->click();
    dialog.button(Dialog::kOkId)->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(Dialog::openCount(), 0);
    EXPECT_EQ(profileSetting(profileListKey(1), {}).toStdString(), folder_.file("Kept.fwc"));
}

// Apply with another profile checked is a switch: unapplied key changes are
// asked about as a profile button asks (No drops them, Yes applies them
// first); the profile that stays active keeps them without a question.
TEST_F(ProfileManagerTest, ApplyOfAnotherProfileAsksAboutUnappliedKeyChanges) {
    CTavrikDlg& window = startWithKeyboard();
    const struct {
        const char* name;
        int checked;
        bool yes;
        std::size_t questions;
        keyboard::AssignmentType keyAAfter;
        bool pendingAfter;
    } cases[] = {
        {"another, No", 1, false, 1, keyboard::AssignmentType::Default, false},
        {"another, Yes", 2, true, 1, keyboard::AssignmentType::Function, false},
        {"the active one", 2, true, 0, keyboard::AssignmentType::Media, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::size_t asked = prompter_.questions().size();
        const int active = keyboard_.activeProfile();
        store(active, 0x1E,
              record(c.checked == active ? keyboard::AssignmentType::Media
                                         : keyboard::AssignmentType::Function,
                     4));
        window.setApplyEnabled(true);
        prompter_.answerQuestionsWith(c.yes);
        Dialog dialog(&window);
        check(dialog, c.checked == active ? (c.checked + 1) % 3 : c.checked);
        check(dialog, c.checked);
        dialog.button(Dialog::kApplyId)->click();
        EXPECT_EQ(prompter_.questions().size(), asked + c.questions);
        if (c.questions > 0) {
            EXPECT_EQ(prompter_.questions().back().first,
                      text::languageText("PROFILE_SELECT_PROMPT"));
        }
        EXPECT_EQ(keyboard_.activeProfile(), c.checked);
        EXPECT_EQ(window.isApplyEnabled(), c.pendingAfter);
        EXPECT_EQ(stored(active, 0x1E).type, c.keyAAfter);
    }
}

TEST_F(ProfileManagerTest, DeleteSelectsTheNextRowOrTheOneBefore) {
    CTavrikDlg& window = startWithKeyboard();
    Dialog dialog(&window);
    prompter_.choosePath(folder_.file("Fourth.fwc"));
    dialog.button(Dialog::kLoadId)->click();
    const struct {
        int selected;
        int selectedAfter;
        int rowsAfter;
    } steps[] = {{1, 1, 3}, {2, 1, 2}};
    for (const auto& step : steps) {
        dialog.list()->selectRow(step.selected);
        dialog.button(Dialog::kDeleteId)->click();
        EXPECT_EQ(dialog.list()->rowCount(), step.rowsAfter);
        ASSERT_FALSE(dialog.list()->selectedRanges().isEmpty());
        EXPECT_EQ(dialog.list()->selectedRanges().first().topRow(), step.selectedAfter);
    }
    EXPECT_EQ(rowTexts(dialog, 1), QStringList({"$Profile0", "$Profile0"}));
    // The rows that moved up stand for the profiles of their new places.
    EXPECT_EQ(rowTexts(dialog, 0), QStringList({"1", "2"}));
}

// The headers are language texts: the built-in English ones, and those of
// the program's language file in either language.
TEST_F(ProfileManagerTest, TheHeadersComeFromTheLanguageFile) {
    CTavrikDlg& window = startWithKeyboard();
    const auto headers = [](const Dialog& dialog) {
        QStringList texts;
        for (int column = 0; column < dialog.list()->columnCount(); ++column) {
            texts << dialog.list()->horizontalHeaderItem(column)->text();
        }
        return texts;
    };
    const QStringList english({"Active", "Name", "Path"});
    EXPECT_EQ(headers(Dialog(&window)), english);
    text::resetLanguageTexts();
    EXPECT_EQ(headers(Dialog(&window)), english);
    const std::string& languageFile = platform::pathSet().languageFile;
    ASSERT_TRUE(platform::IniFile(languageFile).writeString(u"LANGUAGE", u"language", u"2"));
    text::loadLanguageTexts(languageFile);
    EXPECT_EQ(headers(Dialog(&window)), QStringList({QStringLiteral("激活"), QStringLiteral("名称"),
                                                     QStringLiteral("路径")}));
}

TEST_F(ProfileManagerTest, AStoredListComesBackAndRowsBeyondTheThirdCannotBeChecked) {
    CTavrikDlg& window = startWithKeyboard();
    storeProfileList({"/a/One.fwc", "/b/Two.fwc", "/c/Three.fwc", "/d/Four.fwc"});
    Dialog dialog(&window);
    EXPECT_EQ(rowTexts(dialog, 1), QStringList({"One", "Two", "Three", "Four"}));
    EXPECT_EQ(rowTexts(dialog, 2), QStringList({"/a/", "/b/", "/c/", "/d/"}));
    EXPECT_EQ(dialog.checkedRow(), 0);

    check(dialog, 3);
    EXPECT_EQ(dialog.checkedRow(), 0);
    EXPECT_FALSE(Dialog::isModified());
    ASSERT_EQ(prompter_.messages().size(), 1u);
    EXPECT_EQ(prompter_.messages()[0], text::languageText("PROFILE_ROW_NOT_ACTIVE"));

    // A damaged count reads as none; missing numbered keys are skipped.
    setProfileSetting(profileListKey(0), QStringLiteral("lots"));
    EXPECT_EQ(storedProfileList(), std::vector<std::string>());
    setProfileSetting(profileListKey(0), QStringLiteral("6"));
    EXPECT_EQ(storedProfileList()->size(), 4u);
}

TEST_F(ProfileManagerTest, TheCurrentProfileButtonOpensItModallyAndARemovedKeyboardClosesIt) {
    CTavrikDlg& window = startWithKeyboard();
    int openWhileShown = 0;
    bool modal = false;
    QTimer::singleShot(0, &window, [&] {
        Dialog* dialog = window.profileManager();
        ASSERT_NE(dialog, nullptr);
        openWhileShown = Dialog::openCount();
        modal = dialog->isModal();
        check(*dialog, 1);
        // A switch made elsewhere checks its row and clears the changes.
        Dialog::showActiveProfile(2);
        EXPECT_EQ(dialog->checkedRow(), 2);
        EXPECT_FALSE(Dialog::isModified());
        platform::sendWindowMessage(&window, platform::message::DeviceRemoved, 0);
    });
    platform::sendCommand(&window, command::DefaultProfile);
    EXPECT_EQ(openWhileShown, 1);
    EXPECT_TRUE(modal);
    EXPECT_EQ(Dialog::openCount(), 0);
    EXPECT_EQ(window.profileManager(), nullptr);
    // Closed as by Cancel: nothing stored, the keyboard as it was.
    EXPECT_FALSE(hasProfileSetting(profileListKey(0)));
    EXPECT_EQ(keyboard_.activeProfile(), 0);
}

TEST_F(ProfileManagerTest, AMissingSkinImageEndsTheProcessQuietly) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    std::filesystem::remove(programFolder() + "Skins/Profile_over.jpg");
    ui::clearSkinImages();
    EXPECT_EXIT({ Dialog dialog; }, ::testing::ExitedWithCode(0), "");
}

} // namespace
} // namespace tavrik::app
