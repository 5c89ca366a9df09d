// The whole-keyboard backup against the real service library and a fresh
// virtual keyboard, whose memory the test reads as vkbd does.

#include "sync/KeyboardBackupTransfer.h"

#include "device/Commands.h"
#include "device/WriteSequence.h"
#include "macro/MacroAreaImage.h"
#include "sync/ProfileActivation.h"
#include "tests/support/ProfileFixture.h"
#include "tests/support/VirtualKeyboardSession.h"
#include "tools/vkbd/KeyboardDump.h"

#include <numeric>

namespace tavrik::profile::testing {
namespace {

using sync::RestoreResult;

// A macro area as the program writes one, of `count` macros.
Bytes macroAreaOf(std::size_t count) {
    macro::MacroList macros;
    for (std::size_t i = 0; i < count; ++i) {
        macro::MacroRecord record;
        record.setName(u"burst");
        record.setCycles(static_cast<std::uint8_t>(i + 1));
        const macro::MacroAction actions[] = {{120, 0x01E, macro::kPress},
                                              {0, 0x01E, macro::kRelease}};
        record.setActions(actions);
        macros.push_back(record);
    }
    const macro::MacroAreaSizes sizes = macro::measureMacroAreaImage(macros);
    Bytes area(sizes.withNames);
    EXPECT_TRUE(macro::buildMacroAreaImage(macros, area, true));
    return area;
}

class KeyboardBackupTransferTest : public ProfileTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(keyboard.start());
        ASSERT_TRUE(sync::readKeyboardLayoutAndCapacity());
    }
    void TearDown() override { keyboard.stop(); }

    // What `vkbd dump` shows: the whole memory, decoded.
    std::string dump() {
        vkbd::KeyboardAreas areas;
        std::vector<std::uint8_t>* targets[] = {&areas.info,     &areas.pages[0], &areas.pages[1],
                                                &areas.pages[2], &areas.layout,   &areas.macro,
                                                &areas.lighting, &areas.zones,    &areas.led};
        for (std::size_t i = 0; i < vkbd::kAreaNames.size(); ++i) {
            *targets[i] = keyboard.area(vkbd::kAreaNames[i]);
        }
        return vkbd::describeKeyboard(areas);
    }

    // Changes every part of the keyboard a backup holds, each by the command
    // that writes it.
    void changeEverything() {
        keyboard::KeyMapLayer page{};
        page.fill(0x21);
        std::array<std::uint8_t, 35> lighting{};
        lighting.fill(0x07);
        std::array<std::uint8_t, 36> zones{};
        zones.fill(0x33);
        const Bytes area = macroAreaOf(9);
        device::WriteSequence sequence;
        sequence.send([&] { return device::writeMacroArea(area); });
        for (int profile = 0; profile < 3; ++profile) {
            sequence.send([&] { return device::writeKeyMapPage(page, profile); });
            sequence.send([&] {
                return device::writeParameters(lighting, static_cast<std::uint32_t>(42 * profile));
            });
            sequence.send([&] { return device::writeColours(zones, 0, profile); });
        }
        ASSERT_EQ(sequence.end(), device::result::Success);
        ASSERT_TRUE(sync::setActiveProfile(1));
    }

    tavrik::testing::VirtualKeyboardSession keyboard{folder};
};

TEST_F(KeyboardBackupTransferTest, ARestoredBackupGivesBackTheKeyboardAsItWas) {
    // A keyboard with a macro area of its own and profile 3 active.
    const Bytes area = macroAreaOf(3);
    ASSERT_EQ(device::beginWrite(), 1);
    ASSERT_EQ(device::writeMacroArea(area), 1);
    ASSERT_EQ(device::endWrite(), 1);
    ASSERT_TRUE(sync::setActiveProfile(2));
    const std::string before = dump();

    const std::string path = folder.file("keyboard.tkb");
    ASSERT_EQ(sync::backupKeyboardTo(path), sync::BackupResult::Saved);
    KeyboardBackup backup;
    ASSERT_EQ(readKeyboardBackupFile(path, backup), BackupCheck::Valid);
    EXPECT_EQ(backup.activeProfile, 2);
    EXPECT_EQ(backup.macroArea, area); // as far as its header reaches
    const Bytes lighting = keyboard.area("lighting");
    EXPECT_EQ(Bytes(backup.lighting[1].begin(), backup.lighting[1].end()),
              Bytes(lighting.begin() + 42, lighting.begin() + 84));

    changeEverything();
    ASSERT_TRUE(dump() != before);

    EXPECT_EQ(sync::restoreKeyboardBackup(backup), RestoreResult::Restored);
    EXPECT_TRUE(dump() == before) << dump();
    EXPECT_EQ(device::cachedActiveProfile(), 2);
    // What was written was committed, as the keyboard keeps it over a power loss.
    keyboard.control("unplug");
    keyboard.control("plug");
    EXPECT_TRUE(dump() == before) << dump();
}

TEST_F(KeyboardBackupTransferTest, AKeyboardWithoutMacrosIsBackedUpWithTheHeaderOnly) {
    KeyboardBackup backup;
    ASSERT_TRUE(sync::readKeyboardBackup(backup));
    EXPECT_EQ(backup.macroArea, Bytes(16, 0));
    EXPECT_EQ(backup.activeProfile, 0);

    const std::string before = dump();
    changeEverything();
    ASSERT_EQ(sync::restoreKeyboardBackup(backup), RestoreResult::Restored);
    // The header without the magic: the keyboard holds no macros again.
    EXPECT_TRUE(dump() == before) << dump();
    EXPECT_NE(dump().find("no macro image"), std::string::npos);
}

// Nothing is saved unless everything was read.
TEST_F(KeyboardBackupTransferTest, AKeyboardThatCannotBeReadGivesNoBackup) {
    const std::string path = folder.file("keyboard.tkb");
    writeFile(path, Bytes{1, 2, 3});
    struct Case {
        const char* what;
        std::string fault;
    };
    const Case cases[] = {
        {"unplugged", "unplug"},
        {"refusing a read", "fault status ff 100"},
        {"silent half-way", "fault unplug-after 6"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        keyboard.control(c.fault);
        KeyboardBackup backup;
        EXPECT_FALSE(sync::readKeyboardBackup(backup));
        EXPECT_EQ(sync::backupKeyboardTo(path), sync::BackupResult::KeyboardUnreadable);
        EXPECT_EQ(readFile(path), (Bytes{1, 2, 3}));
        keyboard.control("fault none");
        keyboard.control("plug");
    }
    EXPECT_EQ(sync::backupKeyboardTo(folder.file("missing/keyboard.tkb")),
              sync::BackupResult::CannotWrite);
}

TEST_F(KeyboardBackupTransferTest, ARestoreTheKeyboardDoesNotFinishSaysHowFarItGot) {
    KeyboardBackup backup;
    ASSERT_TRUE(sync::readKeyboardBackup(backup));
    backup.macroArea = macroAreaOf(5);
    backup.activeProfile = 1;

    // How many commands a whole restore takes; the last of them reads back.
    const long start = keyboard.answeredCommands();
    ASSERT_EQ(sync::restoreKeyboardBackup(backup), RestoreResult::Restored);
    const long restore = keyboard.answeredCommands() - start;

    struct Case {
        const char* what;
        long commandsBeforeUnplug;
        RestoreResult result;
    };
    const Case cases[] = {
        {"unplugged before", 0, RestoreResult::NoKeyboard},
        {"unplugged while writing", 5, RestoreResult::WriteFailed},
        {"unplugged at the last read back", restore - 1, RestoreResult::NotConfirmed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        keyboard.control("fault unplug-after " + std::to_string(c.commandsBeforeUnplug));
        EXPECT_EQ(sync::restoreKeyboardBackup(backup), c.result);
        keyboard.control("fault none");
        keyboard.control("plug");
    }
}

TEST_F(KeyboardBackupTransferTest, EveryResultHasItsText) {
    text::setLanguageText("RESTORE_DAMAGED", u"Damaged: %s");
    EXPECT_EQ(sync::resultText(BackupCheck::Damaged, "/tmp/a.tkb"), u"Damaged: /tmp/a.tkb");
    EXPECT_EQ(sync::resultText(RestoreResult::Damaged, "a.tkb"), u"Damaged: a.tkb");
    EXPECT_TRUE(sync::resultText(BackupCheck::Valid, "a.tkb").empty());
    for (const BackupCheck check : {BackupCheck::CannotRead, BackupCheck::Foreign,
                                    BackupCheck::Damaged, BackupCheck::NewerVersion}) {
        EXPECT_FALSE(sync::resultText(check, "a").empty());
    }
    for (const RestoreResult result :
         {RestoreResult::Restored, RestoreResult::Damaged, RestoreResult::NoKeyboard,
          RestoreResult::DoesNotFit, RestoreResult::WriteFailed, RestoreResult::NotConfirmed}) {
        EXPECT_FALSE(sync::resultText(result, "a").empty());
    }
    for (const sync::BackupResult result :
         {sync::BackupResult::Saved, sync::BackupResult::KeyboardUnreadable,
          sync::BackupResult::CannotWrite}) {
        EXPECT_FALSE(sync::resultText(result, "a").empty());
    }
}

} // namespace
} // namespace tavrik::profile::testing
