// The profile operations that talk to the keyboard, against the real service
// library and a fresh virtual keyboard.

#include "device/Commands.h"
#include "device/WorkerThreads.h"
#include "keyboard/KeyMapCodec.h"
#include "platform/AtomicFile.h"
#include "profile/ProfileFile.h"
#include "sync/Apply.h"
#include "sync/KeyboardReader.h"
#include "sync/ProfileActivation.h"
#include "sync/ProfileTransfer.h"
#include "tests/support/DiskFull.h"
#include "tests/support/ProfileFixture.h"
#include "tests/support/VirtualKeyboardSession.h"

#include <cerrno>
#include <fstream>
#include <optional>
#include <span>
#include <string>
#include <sys/stat.h>

namespace tavrik::profile::testing {
namespace {

// What moves profiles between the keyboard, files and the working set.
using namespace tavrik::sync;

using keyboard::AssignmentType;
using keyboard::KeyAssignment;

constexpr std::uint8_t kUsageA = 0x04;
constexpr std::uint8_t kUsageB = 0x05;
constexpr int kRowA = 0x1E;

class KeyboardProfileTest : public ProfileTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(keyboard.start());
        ASSERT_TRUE(sync::readKeyboardLayoutAndCapacity());
    }
    void TearDown() override { keyboard.stop(); }

    std::size_t positionOfA() const {
        const keyboard::KeyMapLayer layout = sync::defaultLayout();
        for (std::size_t k = 0; k < keyboard::kKeyPositionCount; ++k) {
            if (layout[3 * k] == 2 && layout[3 * k + 1] == 2 && layout[3 * k + 2] == kUsageA) {
                return k;
            }
        }
        ADD_FAILURE() << "no key A in the layout";
        return 0;
    }

    void writeMacroArea(const Bytes& area) {
        EXPECT_EQ(device::beginWrite(), 1);
        EXPECT_EQ(device::writeMacroArea(area), 1);
        EXPECT_EQ(device::endWrite(), 1);
    }

    std::size_t macrosInFile(const std::string& path) {
        const Bytes file = readFile(path);
        EXPECT_GE(file.size(), 32832u);
        EXPECT_EQ(file.size(), 32832u + 16512u * u16At(file, 14));
        return u16At(file, 14);
    }

    tavrik::testing::VirtualKeyboardSession keyboard{folder};
};

// A macro area with `count` empty macros, each 4 bytes, with a consistent
// offset table.
Bytes areaOfEmptyMacros(std::uint16_t count) {
    const std::size_t size = 16 + 2 * count + 4 * count;
    Bytes area(size, 0);
    platform::writeU16(area.data(), 0x55AA);
    platform::writeU16(area.data() + 2, static_cast<std::uint16_t>(size));
    platform::writeU16(area.data() + 4, count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t offset = 16 + 2 * count + 4 * i;
        platform::writeU16(area.data() + 16 + 2 * i, static_cast<std::uint16_t>(offset));
        area[offset + 2] = 1; // cycles
    }
    return area;
}

TEST_F(KeyboardProfileTest, TheKeyboardsMacroAreaIsReadAsUntrusted) {
    // A fresh keyboard holds no macro area at all.
    ASSERT_TRUE(readKeyboardToWorkingFile(folder.file("fresh.fwc")));
    EXPECT_EQ(macrosInFile(folder.file("fresh.fwc")), 0u);
    EXPECT_EQ(validateProfileFile(folder.file("fresh.fwc")), 1);

    struct Case {
        const char* what;
        Bytes area;
        std::size_t macros;
    };
    Bytes headerOnly = areaOfEmptyMacros(3);
    platform::writeU16(headerOnly.data() + 2, 8); // claims less than its own header
    const Case cases[] = {
        {"three macros", areaOfEmptyMacros(3), 3},
        {"more than a hundred", areaOfEmptyMacros(150), 100},
        {"a size below the header", headerOnly, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeMacroArea(c.area);
        const std::string path = folder.file("area.fwc");
        ASSERT_TRUE(readKeyboardToWorkingFile(path));
        EXPECT_EQ(macrosInFile(path), c.macros);
        EXPECT_EQ(validateProfileFile(path), 1);
    }
}

// A file that holds the keyboard's profile already is not written again;
// one that holds anything else is replaced.
TEST_F(KeyboardProfileTest, TheWorkingFileIsRewrittenOnlyWhenItDiffers) {
    const std::string path = folder.file("working.fwc");
    ASSERT_TRUE(readKeyboardToWorkingFile(path));
    std::string read;
    ASSERT_TRUE(platform::readWholeFile(path, read));
    const auto inode = [&] {
        struct stat status {};
        EXPECT_EQ(::stat(path.c_str(), &status), 0);
        return status.st_ino;
    };
    const ino_t first = inode();
    ASSERT_TRUE(readKeyboardToWorkingFile(path));
    EXPECT_EQ(inode(), first) << "the same profile, left in place";

    const std::string others[] = {read.substr(0, read.size() - 1), read + "x",
                                  std::string(read.size(), '\0')};
    for (const std::string& other : others) {
        ASSERT_TRUE(platform::writeFileAtomically(
            path, {std::span(reinterpret_cast<const std::uint8_t*>(other.data()), other.size())}));
        ASSERT_TRUE(readKeyboardToWorkingFile(path));
        std::string now;
        ASSERT_TRUE(platform::readWholeFile(path, now));
        EXPECT_EQ(now, read) << other.size() << " bytes before";
    }
}

TEST_F(KeyboardProfileTest, TheActiveProfileIsSetOnTheKeyboard) {
    EXPECT_TRUE(setActiveProfile(2));
    EXPECT_EQ(keyboard.activeProfile(), 2);
    EXPECT_EQ(device::cachedActiveProfile(), 2);
    EXPECT_FALSE(setActiveProfile(3));
    EXPECT_FALSE(setActiveProfile(-1));
    EXPECT_EQ(keyboard.activeProfile(), 2);
    const Bytes info = keyboard.area("info");
    EXPECT_EQ(info[11], 255); // the rest of the block was written back as read

    keyboard.control("unplug");
    EXPECT_FALSE(setActiveProfile(0));
    EXPECT_EQ(device::cachedActiveProfile(), 2);
}

TEST_F(KeyboardProfileTest, AReloadBringsTheKeyboardsContentsIntoTheWorkingSet) {
    keyboard::KeyMapLayer page = sync::defaultLayout();
    page[3 * positionOfA() + 2] = kUsageB;
    EXPECT_EQ(device::beginWrite(), 1);
    EXPECT_EQ(device::writeKeyMapPage(page, 1), 1);
    EXPECT_EQ(device::endWrite(), 1);
    writeMacroArea(areaOfEmptyMacros(2));
    {
        auto lock = sync::lockWorkingSet();
        sync::workingSet().strings.set(0, u"stale");
    }
    window.presetApplyEnabled(true);

    EXPECT_TRUE(reloadFromKeyboard());
    EXPECT_EQ(validateProfileFile(workingFile()), 1);
    const auto lock = sync::lockWorkingSet();
    const sync::WorkingSet& set = sync::workingSet();
    EXPECT_EQ(set.table.recordOf(1, kRowA), (KeyAssignment{AssignmentType::SingleKey, 0, 0x30}));
    EXPECT_EQ(set.table.recordOf(0, kRowA)->type, AssignmentType::Default);
    EXPECT_EQ(set.macros.size(), 2u);
    EXPECT_EQ(set.strings.total(), 0u);
    EXPECT_EQ(window.callsOf("refresh").size(), 1u);
    EXPECT_FALSE(window.isApplyEnabled());
}

TEST_F(KeyboardProfileTest, AnImportWritesEveryProfileAndTheMacros) {
    sync::WorkingSet imported;
    imported.table = keyboard::defaultTable();
    for (int layer = 0; layer < 3; ++layer) {
        imported.table.storeRecord(
            layer, kRowA, {AssignmentType::Function, 0, static_cast<std::uint32_t>(layer)});
    }
    imported.macros = {makeMacro(1, u"one"), makeMacro(2, u"two")};
    const Bytes image = profileImageOf(imported);
    writeFile(folder.file("import.fwc"), image);
    createWorkingFile();

    const ImportOutcome outcome = importProfileFrom(folder.file("import.fwc"));
    EXPECT_TRUE(outcome.accepted);
    EXPECT_TRUE(outcome.workingFileSaved);
    EXPECT_TRUE(outcome.keyboardWritten);
    EXPECT_FALSE(window.isApplyEnabled());
    for (int profile = 0; profile < 3; ++profile) {
        const Bytes written = keyboard.area("page" + std::to_string(profile));
        const std::size_t at = 3 * positionOfA();
        EXPECT_EQ(Bytes(written.begin() + at, written.begin() + at + 3),
                  (Bytes{5, 5, static_cast<std::uint8_t>(profile)}));
    }
    EXPECT_EQ(u16At(keyboard.area("macro"), 4), 2);
    EXPECT_EQ(readFile(workingFile()), image);
}

// A home that cannot take the working copy (a full disk, a documents folder
// that cannot be made): what was read from the keyboard is kept and shown,
// the user is told once where and why, and Apply still reaches the keyboard.
TEST_F(KeyboardProfileTest, AWorkingCopyThatCannotBeSavedLosesNothingAndIsToldOnce) {
    const struct {
        const char* name;
        std::string userFolder;
        bool diskFull;
        std::u16string reason;
    } cases[] = {
        {"folder under a file", folder.file("plain-file/Tavrik_09A"), false, u"Not a directory"},
        {"disk full", userFolder(), true, u"No space left on device"},
    };
    std::ofstream(folder.file("plain-file")) << "not a folder";
    writeMacroArea(areaOfEmptyMacros(3));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sync::resetDataSets();
        platform::PathSet paths;
        paths.userDataFolder = c.userFolder;
        platform::installPathSet(paths);
        const std::size_t toldBefore = prompter.messages().size();
        std::optional<tavrik::testing::DiskFull> full;
        if (c.diskFull) {
            full.emplace();
        }
        EXPECT_TRUE(reloadFromKeyboard());
        EXPECT_EQ(sync::macroCount(), 3u) << "what the keyboard holds is kept";
        ASSERT_EQ(prompter.messages().size(), toldBefore + 1);
        const std::u16string told = prompter.messages().back();
        EXPECT_NE(told.find(platform::toUtf16(c.userFolder + "/$Profile0")), std::u16string::npos);
        EXPECT_NE(told.find(c.reason), std::u16string::npos) << platform::toUtf8(told);

        EXPECT_TRUE(reloadFromKeyboard());
        EXPECT_EQ(prompter.messages().size(), toldBefore + 1) << "told once";

        // Apply writes the keyboard and says that the copy was not saved.
        {
            auto lock = sync::lockWorkingSet();
            sync::workingSet().table.storeRecord(0, kRowA, {AssignmentType::SingleKey, 0, 0x30});
        }
        window.presetApplyEnabled(true);
        EXPECT_FALSE(applyChanges());
        EXPECT_EQ(keyboard.area("page0")[3 * positionOfA() + 2], kUsageB);
        EXPECT_EQ(u16At(keyboard.area("macro"), 4), 3);
        ASSERT_EQ(prompter.messages().size(), toldBefore + 2);
        EXPECT_NE(prompter.messages().back().find(c.reason), std::u16string::npos);
        // The next reload keeps the edit, and the keyboard's copy, and
        // does not tell again.
        EXPECT_TRUE(reloadFromKeyboard());
        EXPECT_EQ(prompter.messages().size(), toldBefore + 2);
    }
}

// Once the keyboard was read, a reload (the keyboard back after a replug,
// or a switch made on it) keeps what the user has not applied yet.
TEST_F(KeyboardProfileTest, AReloadKeepsUnappliedEditsOnceTheKeyboardWasRead) {
    ASSERT_TRUE(reloadFromKeyboard());
    {
        auto lock = sync::lockWorkingSet();
        sync::workingSet().table.storeRecord(0, kRowA, {AssignmentType::Function, 0, 4});
    }
    window.presetApplyEnabled(true);
    window.clear();
    keyboard.control("unplug");
    EXPECT_FALSE(reloadFromKeyboard());
    keyboard.control("plug");
    EXPECT_TRUE(reloadFromKeyboard());
    EXPECT_TRUE(window.isApplyEnabled());
    EXPECT_TRUE(window.callsOf("apply").empty());
    EXPECT_EQ(window.callsOf("refresh").size(), 1u);
    {
        auto lock = sync::lockWorkingSet();
        EXPECT_EQ(sync::workingSet().table.recordOf(0, kRowA),
                  (KeyAssignment{AssignmentType::Function, 0, 4}));
        ASSERT_TRUE(sync::keyboardCopy());
        EXPECT_EQ(sync::keyboardCopy()->table.recordOf(0, kRowA)->type, AssignmentType::Default);
    }
    // What a restore asks for: the keyboard's setup over every edit.
    EXPECT_TRUE(reloadFromKeyboard(ReloadMode::ReplaceEdits));
    EXPECT_FALSE(window.isApplyEnabled());
    EXPECT_TRUE(discardChanges());
    const auto lock = sync::lockWorkingSet();
    EXPECT_EQ(sync::workingSet().table.recordOf(0, kRowA)->type, AssignmentType::Default);
}

} // namespace
} // namespace tavrik::profile::testing
