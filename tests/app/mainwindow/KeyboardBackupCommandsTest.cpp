// The main menu's backup and restore, with the dialogs and questions answered
// through the Prompter, against the real service library and a virtual
// keyboard.

#include "app/mainwindow/KeyboardBackupCommands.h"

#include "app/keyboardpanel/CompositeEditorOpener.h"
#include "profile/KeyboardBackup.h"
#include "sync/ProfileActivation.h"
#include "tests/support/ProfileFixture.h"
#include "tests/support/VirtualKeyboardSession.h"

namespace tavrik::app {
namespace {

using profile::testing::readFile;
using profile::testing::writeFile;

// An editor that stays open.
class OpenEditor final : public CompositeEditorOpener {
public:
    void open(const CompositeEditorRequest&) override {}
    int openCount() const override { return 1; }
};

class KeyboardBackupCommandsTest : public profile::testing::ProfileTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(keyboard.start());
        ASSERT_TRUE(sync::readKeyboardLayoutAndCapacity());
    }
    void TearDown() override { keyboard.stop(); }

    std::string backupPath() const { return folder.file("keyboard.tkb"); }
    // Counts the times the window would read the keyboard again, and notes
    // whether the message was still to come then.
    std::function<void()> noteChange() {
        return [this] {
            ++changes;
            messagesBeforeChange = prompter.messages().size();
        };
    }
    std::string keyboardMemory() {
        std::string memory;
        for (const char* area : {"info", "page0", "page1", "page2", "macro", "lighting", "zones"}) {
            const profile::testing::Bytes bytes = keyboard.area(area);
            memory.append(bytes.begin(), bytes.end());
        }
        return memory;
    }

    tavrik::testing::VirtualKeyboardSession keyboard{folder};
    int changes = 0;
    std::size_t messagesBeforeChange = 0;
};

TEST_F(KeyboardBackupCommandsTest, BackUpAsksWhereAndSaysWhatCameOfIt) {
    prompter.choosePath(std::nullopt);
    EXPECT_FALSE(backUpKeyboard());
    ASSERT_EQ(prompter.requests().size(), 1u);
    const platform::FileDialogRequest request = prompter.requests().front();
    EXPECT_EQ(request.defaultExtension, u"tkb");
    EXPECT_EQ(request.initialName, u"*.tkb");
    EXPECT_EQ(request.filter, u"(*.tkb)|*.tkb|(*.*)|*.*||");
    EXPECT_TRUE(request.confirmOverwrite);
    EXPECT_TRUE(prompter.messages().empty());

    prompter.choosePath(backupPath());
    EXPECT_TRUE(backUpKeyboard());
    profile::KeyboardBackup backup;
    EXPECT_EQ(profile::readKeyboardBackupFile(backupPath(), backup), profile::BackupCheck::Valid);
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages().back(),
              u"The keyboard is backed up in " + platform::toUtf16(backupPath()));

    prompter.choosePath(folder.file("missing/keyboard.tkb"));
    EXPECT_FALSE(backUpKeyboard());
    EXPECT_EQ(prompter.messages().back(),
              u"The backup could not be saved: " +
                  platform::toUtf16(folder.file("missing/keyboard.tkb")) +
                  u" (No such file or directory)");

    // Without a keyboard no file is asked for.
    keyboard.control("unplug");
    const std::size_t requests = prompter.requests().size();
    EXPECT_FALSE(backUpKeyboard());
    EXPECT_EQ(prompter.requests().size(), requests);
    EXPECT_EQ(prompter.messages().back(),
              u"The keyboard could not be read, so no backup was made.");
}

TEST_F(KeyboardBackupCommandsTest, RestoreChecksTheFileAsksFirstAndThenWritesTheKeyboard) {
    ASSERT_TRUE(sync::setActiveProfile(1));
    prompter.choosePath(backupPath());
    ASSERT_TRUE(backUpKeyboard());
    ASSERT_TRUE(sync::setActiveProfile(2));
    const std::string changed = keyboardMemory();

    // No: nothing happens; the question names the file and prefers No.
    prompter.answerQuestionsWith(false);
    EXPECT_FALSE(restoreKeyboard(noCompositeEditor(), noteChange()));
    ASSERT_EQ(prompter.questions().size(), 1u);
    EXPECT_NE(prompter.questions().front().first.find(platform::toUtf16(backupPath())),
              std::u16string::npos);
    EXPECT_FALSE(prompter.questions().front().second);
    EXPECT_EQ(keyboardMemory(), changed);

    // While the key editor is open nothing is asked or written.
    OpenEditor editor;
    EXPECT_FALSE(restoreKeyboard(editor, noteChange()));
    EXPECT_EQ(prompter.questions().size(), 1u);
    EXPECT_EQ(prompter.messages().back(),
              u"Please close the key editor before you restore the keyboard.");

    EXPECT_EQ(changes, 0);

    // Yes: the window reads the keyboard again before the message comes.
    prompter.answerQuestionsWith(true);
    const std::size_t messages = prompter.messages().size();
    EXPECT_TRUE(restoreKeyboard(noCompositeEditor(), noteChange()));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(messagesBeforeChange, messages);
    EXPECT_EQ(prompter.messages().size(), messages + 1);
    EXPECT_EQ(keyboard.activeProfile(), 1);
    EXPECT_EQ(prompter.messages().back(),
              u"The keyboard was restored from " + platform::toUtf16(backupPath()));

    // A keyboard that stops answering half-way may hold part of the backup:
    // the window reads it again too.
    keyboard.control("fault unplug-after 5");
    EXPECT_FALSE(restoreKeyboard(noCompositeEditor(), noteChange()));
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(prompter.messages().back(), u"The keyboard did not take the whole backup and may "
                                          u"now hold part of it. Restore the backup again.");
}

TEST_F(KeyboardBackupCommandsTest, AFileThatIsNoSoundBackupIsRefusedBeforeAnyQuestion) {
    prompter.choosePath(backupPath());
    ASSERT_TRUE(backUpKeyboard());
    profile::testing::Bytes damaged = readFile(backupPath());
    damaged[1000] ^= 0x01;
    writeFile(folder.file("damaged.tkb"), damaged);
    ASSERT_TRUE(sync::setActiveProfile(2));
    const std::string before = keyboardMemory();
    prompter.answerQuestionsWith(true);

    struct Case {
        std::string path;
        std::u16string message;
    };
    const Case cases[] = {
        {folder.file("damaged.tkb"),
         u"The backup is damaged or incomplete, so the keyboard was left as it is: "},
        {folder.file("missing.tkb"), u"The backup cannot be read: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        prompter.choosePath(c.path);
        EXPECT_FALSE(restoreKeyboard(noCompositeEditor(), noteChange()));
        EXPECT_EQ(prompter.messages().back(), c.message + platform::toUtf16(c.path));
        EXPECT_TRUE(prompter.questions().empty());
        EXPECT_EQ(keyboardMemory(), before);
        EXPECT_EQ(changes, 0);
    }

    keyboard.control("unplug");
    const std::size_t requests = prompter.requests().size();
    EXPECT_FALSE(restoreKeyboard(noCompositeEditor(), noteChange()));
    EXPECT_EQ(prompter.requests().size(), requests);
    EXPECT_EQ(prompter.messages().back(),
              u"The keyboard does not answer, so nothing was restored.");
}

} // namespace
} // namespace tavrik::app
