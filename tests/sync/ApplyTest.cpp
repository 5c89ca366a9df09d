#include "sync/Apply.h"

#include "keyboard/KeyMapCodec.h"
#include "keyboard/StringTable.h"
#include "macro/MacroAreaImage.h"
#include "platform/AtomicFile.h"
#include "platform/ByteOrder.h"
#include "platform/Unicode.h"
#include "profile/ProfileFile.h"
#include "sync/KeyboardReader.h"
#include "sync/MacroStore.h"
#include "sync/ProfileActivation.h"
#include "sync/ProfileFileStore.h"
#include "tests/support/DiskFull.h"
#include "tests/sync/DataSetsFixture.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string_view>

namespace tavrik::sync::testing {
namespace {

// The link and the formats that the sync layer drives.
using namespace tavrik::device;
using namespace tavrik::profile;

using namespace std::chrono_literals;
using keyboard::AssignmentType;
using keyboard::KeyAssignment;
using keyboard::KeyCode;
using Bytes = std::vector<std::uint8_t>;
using Call = tavrik::testing::RecordingWindow::Call;

struct KeyCase {
    KeyCode key;        // the key assigned (scan code)
    std::uint8_t usage; // its Keyboard page usage, where the layout names it
    KeyAssignment assignment;
    std::uint8_t written[3]; // the page record the keyboard should get
    KeyAssignment readBack;  // what reading the keyboard gives
};

// Key records by the protocol's description, independent of the encoder.
const KeyCase kKeyCases[] = {
    {0x1E,
     0x04,
     {AssignmentType::SingleKey, 0, 0x30},
     {2, 2, 0x05},
     {AssignmentType::SingleKey, 0, 0x30}}, // A sends B
    {0x10,
     0x14,
     {AssignmentType::SingleKey, 0, 0x138},
     {2, 1, 0x40},
     {AssignmentType::SingleKey, 0, 0x138}}, // Q sends Right Alt
    {0x11,
     0x1A,
     {AssignmentType::SingleKey, 0, 0x130},
     {2, 2, 0x00},
     {AssignmentType::Disabled, 0, 0}}, // W sends a media key: no keyboard usage
    {0x1F, 0x16, {AssignmentType::Media, 0, 1}, {3, 0xCD, 0x00}, {AssignmentType::Media, 0, 1}},
    {0x2D, 0x1B, {AssignmentType::Function, 0, 9}, {5, 5, 9}, {AssignmentType::Function, 0, 9}},
    {0x2C,
     0x1D,
     {AssignmentType::PlayMacro, 2, 5},
     {5, 1, 1},
     {AssignmentType::PlayMacro, 0, 2}}, // the second macro of the list
    {0x02, 0x1E, {AssignmentType::StopMacro, 0, 0}, {5, 2, 0}, {AssignmentType::StopMacro, 0, 0}},
    {0x03, 0x1F, {AssignmentType::Disabled, 0, 0}, {0, 0, 0}, {AssignmentType::Disabled, 0, 0}},
    {0x04,
     0x20,
     {AssignmentType::LaunchProgram, 0, 0},
     {2, 2, 0x20},
     {AssignmentType::Default, 0, 0}},
    {0x05, 0x21, {AssignmentType::TextBlock, 0, 0}, {0, 0, 0}, {AssignmentType::Disabled, 0, 0}},
};

std::optional<std::size_t> positionOfUsage(const keyboard::KeyMapLayer& layout,
                                           std::uint8_t usage) {
    for (std::size_t k = 0; k < keyboard::kKeyPositionCount; ++k) {
        if (layout[3 * k] == 2 && layout[3 * k + 1] == 2 && layout[3 * k + 2] == usage) {
            return k;
        }
    }
    return std::nullopt;
}

macro::MacroRecord macroNamed(std::uint16_t id, std::u16string_view name,
                              std::vector<macro::MacroAction> actions) {
    macro::MacroRecord record;
    record.setName(name);
    record.setCycles(2);
    record.setId(id);
    record.setActions(actions);
    return record;
}

std::vector<macro::MacroRecord> sampleMacros() {
    return {
        macroNamed(3, u"first", {{120, 0x1E, 0}, {0, 0x1E, 1}}),
        macroNamed(5, u"second", {{125, 0x2A, 0}, {40950, 0x1E, 0}, {10, 0x1E, 1}, {0, 0x2A, 1}})};
}

int row(KeyCode key) {
    return keyboard::keyIndexOf(key);
}

void store0(int keyRow, const KeyAssignment& assignment) {
    const DataSetLock lock = lockWorkingSet();
    workingSet().table.storeRecord(0, keyRow, assignment);
}

void fillWorkingSet() {
    const DataSetLock lock = lockWorkingSet();
    WorkingSet& set = workingSet();
    set.macros = sampleMacros();
    for (const KeyCase& c : kKeyCases) {
        set.table.storeRecord(0, row(c.key), c.assignment);
    }
    set.strings.set(*keyboard::StringTable::entryOf(0, row(0x04)), u"/usr/bin/true");
    set.strings.set(*keyboard::StringTable::entryOf(0, row(0x05)), u"hi");
    // Profile 1 no longer matches the keyboard either; profile 2 does.
    set.table.storeRecord(1, row(0x12), {AssignmentType::SingleKey, 0, 0x1E});
}

class ApplyTest : public DataSetsTest {
protected:
    void SetUp() override {
        DataSetsTest::SetUp();
        ASSERT_TRUE(keyboard.start());
        ASSERT_TRUE(readKeyboardLayoutAndCapacity());
        std::filesystem::create_directories(folder.path() + "/Tavrik_09A");
        std::ofstream created(workingFile());
        // The program has read the keyboard, as it does when it finds one.
        ASSERT_TRUE(reloadFromKeyboard());
        window.clear();
    }

    std::string workingFile() const { return folder.path() + "/Tavrik_09A/$Profile0"; }

    Bytes page(int profile) { return keyboard.area("page" + std::to_string(profile)); }
};

TEST_F(ApplyTest, ApplyWritesTheActiveProfileAndTheMacrosAndReadsBackKeyByKey) {
    fillWorkingSet();
    window.presetApplyEnabled(true);
    const keyboard::KeyMapLayer layout = defaultLayout();
    const Bytes layoutBytes(layout.begin(), layout.end());

    EXPECT_TRUE(applyChanges());
    joinAllWorkers();
    EXPECT_FALSE(window.isApplyEnabled());
    EXPECT_EQ(profile::validateProfileFile(workingFile()), 1);

    const Bytes written = page(0);
    for (const KeyCase& c : kKeyCases) {
        const auto position = positionOfUsage(layout, c.usage);
        ASSERT_TRUE(position) << c.key;
        EXPECT_EQ(Bytes(written.begin() + 3 * *position, written.begin() + 3 * *position + 3),
                  Bytes(c.written, c.written + 3))
            << "key " << c.key;
    }
    const auto e = positionOfUsage(layout, 0x08);
    ASSERT_TRUE(e);
    const Bytes second = page(1);
    EXPECT_EQ(Bytes(second.begin() + 3 * *e, second.begin() + 3 * *e + 3), (Bytes{2, 2, 0x04}))
        << "E sends A in profile 1";
    EXPECT_EQ(page(2), layoutBytes);

    const Bytes area = keyboard.area("macro");
    const auto sizes = macro::measureMacroAreaImage(sampleMacros());
    EXPECT_EQ(platform::readU16(area.data()), 0x55AA);
    EXPECT_EQ(platform::readU16(area.data() + 2), sizes.withNames);
    EXPECT_EQ(platform::readU16(area.data() + 4), 2);
    EXPECT_EQ(platform::readU16(area.data() + 6), 1);

    // The busy indicator ran around it.
    const auto calls = window.calls();
    const auto started = std::find(calls.begin(), calls.end(), Call{"setTimer", 1050, 50});
    const auto stopped = std::find(calls.begin(), calls.end(), Call{"killTimer", 1050, 0});
    EXPECT_LT(started, stopped);
    EXPECT_NE(std::find(stopped, calls.end(), Call{"busy", 0, 0}), calls.end());

    // Read back: what the keyboard can hold comes back.
    const std::string back = folder.file("back.fwc");
    ASSERT_TRUE(sync::readKeyboardToWorkingFile(back));
    const DataSetLock lock = lockWorkingSet();
    ASSERT_TRUE(sync::loadProfileFile(back));
    const WorkingSet& set = workingSet();
    for (const KeyCase& c : kKeyCases) {
        const KeyAssignment got = *set.table.recordOf(0, row(c.key));
        EXPECT_EQ(got.type, c.readBack.type) << "key " << c.key;
        EXPECT_EQ(got.value, c.readBack.value) << "key " << c.key;
    }
    EXPECT_EQ(set.table.recordOf(1, row(0x12))->type, AssignmentType::SingleKey);
    ASSERT_EQ(set.macros.size(), 2u);
    const auto original = sampleMacros();
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(set.macros[i].name(), original[i].name());
        EXPECT_EQ(set.macros[i].cycles(), 2);
        EXPECT_EQ(set.macros[i].id(), i + 1);
        ASSERT_EQ(set.macros[i].actionCount(), original[i].actionCount());
        for (std::size_t a = 0; a < original[i].actionCount(); ++a) {
            const macro::MacroAction sent = original[i].action(a);
            const macro::MacroAction got = set.macros[i].action(a);
            EXPECT_EQ(got.keyCode, sent.keyCode);
            EXPECT_EQ(got.direction, sent.direction);
            EXPECT_EQ(got.pause, sent.pause / 10 * 10);
        }
    }
}

TEST_F(ApplyTest, ApplyWithNothingPendingOnlyRunsTheBusyIndicator) {
    fillWorkingSet();
    const long before = keyboard.answeredCommands();
    EXPECT_TRUE(applyChanges());
    EXPECT_EQ(keyboard.answeredCommands(), before);
    joinAllWorkers();
    EXPECT_EQ(window.calls(),
              (std::vector<Call>{{"setTimer", 1050, 50}, {"killTimer", 1050, 0}, {"busy", 0, 0}}));
    const auto sleeps = clock.sleeps();
    EXPECT_EQ(std::count(sleeps.begin(), sleeps.end(), 100ms), 2); // start, stop
}

TEST_F(ApplyTest, MacrosBeyondTheMemorySendNothing) {
    fillWorkingSet();
    const auto sizes = macro::measureMacroAreaImage(sampleMacros());
    setMacroCapacity(static_cast<std::uint32_t>(sizes.withoutNames - 1));
    window.presetApplyEnabled(true);
    const long before = keyboard.answeredCommands();
    EXPECT_FALSE(applyChanges());
    EXPECT_EQ(keyboard.answeredCommands(), before);
    EXPECT_TRUE(window.isApplyEnabled());
    EXPECT_EQ(prompter.messages(),
              std::vector<std::u16string>{text::languageText("EXTRA_MACRO_TOO_LONG")});
}

TEST_F(ApplyTest, NamesAreDroppedOnlyWhenTheyDoNotFit) {
    fillWorkingSet();
    const auto sizes = macro::measureMacroAreaImage(sampleMacros());
    const DataSetLock lock = lockWorkingSet();

    setMacroCapacity(static_cast<std::uint32_t>(sizes.withNames));
    EXPECT_EQ(buildApplySnapshot(false), 1);
    EXPECT_EQ(platform::readU16(keyboard.area("macro").data() + 6), 1);
    EXPECT_TRUE(prompter.messages().empty());

    setMacroCapacity(static_cast<std::uint32_t>(sizes.withNames - 1));
    EXPECT_EQ(buildApplySnapshot(false), 1);
    const Bytes area = keyboard.area("macro");
    EXPECT_EQ(platform::readU16(area.data() + 2), sizes.withoutNames);
    EXPECT_EQ(platform::readU16(area.data() + 6), 0);
    EXPECT_EQ(prompter.messages(),
              std::vector<std::u16string>{text::languageText("EXTRA_PROFILE_SPACE_TIGHT")});
}

TEST_F(ApplyTest, AllProfilesGoToTheKeyboardOnRequest) {
    fillWorkingSet();
    const DataSetLock lock = lockWorkingSet();
    EXPECT_EQ(buildApplySnapshot(true), 1);
    const auto position = positionOfUsage(defaultLayout(), 0x08); // E
    ASSERT_TRUE(position);
    const Bytes second = page(1);
    EXPECT_EQ(Bytes(second.begin() + 3 * *position, second.begin() + 3 * *position + 3),
              (Bytes{2, 2, 0x04})); // E sends A in profile 1
}

TEST_F(ApplyTest, WithoutAnActiveProfileNothingIsSent) {
    fillWorkingSet();
    keyboard.control("unplug");
    window.presetApplyEnabled(true);
    EXPECT_FALSE(applyChanges());
    EXPECT_TRUE(window.isApplyEnabled());
    EXPECT_EQ(prompter.messages(),
              std::vector<std::u16string>{text::languageText("APPLY_KEYBOARD_FAILED")});
    keyboard.control("plug");
    EXPECT_EQ(page(0), keyboard.area("layout"));
}

TEST_F(ApplyTest, ARefusedCommandFailsTheWriteButTheSequenceIsClosed) {
    fillWorkingSet();
    const DataSetLock lock = lockWorkingSet();
    keyboard.control("fault status ff 3"); // beginWrite, three attempts
    EXPECT_EQ(buildApplySnapshot(true), 0);
    // The rest of the sequence went out and was committed with endWrite.
    const auto position = positionOfUsage(defaultLayout(), 0x04);
    ASSERT_TRUE(position);
    EXPECT_EQ(page(0)[3 * *position + 2], 0x05);
}

TEST_F(ApplyTest, StringsThatExactlyFillTheBlobAreAllPacked) {
    keyboard.control("unplug");
    {
        const DataSetLock lock = lockWorkingSet();
        WorkingSet& set = workingSet();
        set.table.storeRecord(0, 7, {AssignmentType::TextBlock, 0, 999});
        set.table.storeRecord(3, 500, {AssignmentType::LaunchProgram, 0, 999});
        set.strings.set(*keyboard::StringTable::entryOf(0, 7), u"ab");
        set.strings.set(*keyboard::StringTable::entryOf(3, 500), u"c");
        set.macros = sampleMacros();
        EXPECT_EQ(buildApplySnapshot(false), 0); // no keyboard
        // The working set keeps its own values.
        EXPECT_EQ(set.table.recordOf(0, 7)->value, 999u);
    }
    const DataSetLock lock = lockApplySnapshot();
    const ApplySnapshot& snapshot = applySnapshot();
    EXPECT_EQ(snapshot.stringTotal, 10u);
    EXPECT_EQ(snapshot.stringBlob, (Bytes{'a', 0, 'b', 0, 0, 0, 'c', 0, 0, 0}));
    EXPECT_EQ(snapshot.table.recordOf(0, 7)->value, 0u);
    EXPECT_EQ(snapshot.table.recordOf(3, 500)->value, 6u);
    EXPECT_EQ(snapshot.macros.size(), 2u);
    const auto header = snapshot.table.bytes();
    EXPECT_EQ(platform::readU16(header.data() + 14), 2);   // macro count
    EXPECT_EQ(platform::readU32(header.data() + 16), 10u); // pool size
    EXPECT_EQ(platform::readU32(header.data() + 8), 32832u + 2 * 16512u + 10u);
}

// Which half of an Apply failed is told, and the changes stay pending; only
// a working set read from the keyboard is ever written to it.
TEST_F(ApplyTest, AFailedApplySaysWhichHalfFailedAndKeepsTheChanges) {
    enum class Keyboard { Unchanged, HasTheChanges, Either };
    const struct {
        const char* name;
        std::function<void()> fault;
        bool diskFull;
        const char* told;
        Keyboard keyboardAfter;
    } cases[] = {
        {"disk full", [] {}, true, "APPLY_NOT_SAVED", Keyboard::HasTheChanges},
        {"never read", [] { resetDataSets(); }, false, "APPLY_NOT_READ", Keyboard::Unchanged},
        {"no answer", [this] { keyboard.control("fault noanswer 3"); }, false,
         "APPLY_KEYBOARD_FAILED", Keyboard::Unchanged},
        {"begin-write refused", [this] { keyboard.control("fault status ff 3 after 1"); }, false,
         "APPLY_KEYBOARD_FAILED", Keyboard::Either},
    };
    const auto a = positionOfUsage(defaultLayout(), 0x04);
    ASSERT_TRUE(a);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(reloadFromKeyboard());
        c.fault();
        fillWorkingSet();
        window.presetApplyEnabled(true);
        std::string workingBefore;
        platform::readWholeFile(workingFile(), workingBefore);
        const Bytes pageBefore = page(0);
        const long commandsBefore = keyboard.answeredCommands();
        const std::size_t toldBefore = prompter.messages().size();
        {
            std::optional<tavrik::testing::DiskFull> full;
            if (c.diskFull) {
                full.emplace();
            }
            EXPECT_FALSE(applyChanges());
        }
        keyboard.control("fault none");
        EXPECT_TRUE(window.isApplyEnabled()) << "the changes stay pending";
        switch (c.keyboardAfter) {
        case Keyboard::Unchanged:
            EXPECT_EQ(page(0), pageBefore);
            break;
        case Keyboard::HasTheChanges:
            EXPECT_EQ(page(0)[3 * *a + 2], 0x05) << "A sends B";
            break;
        case Keyboard::Either:
            break;
        }
        if (std::string_view(c.told) == "APPLY_NOT_READ") {
            EXPECT_EQ(keyboard.answeredCommands(), commandsBefore) << "nothing was sent";
        }
        const std::vector<std::u16string> told = prompter.messages();
        ASSERT_EQ(told.size(), toldBefore + 1);
        const std::u16string text = text::languageText(c.told);
        EXPECT_EQ(told.back().substr(0, text.find(u"%s")), text.substr(0, text.find(u"%s")));
        if (c.diskFull) {
            EXPECT_NE(told.back().find(platform::toUtf16(workingFile())), std::u16string::npos);
            EXPECT_NE(told.back().find(u"No space left on device"), std::u16string::npos);
            std::string workingAfter;
            platform::readWholeFile(workingFile(), workingAfter);
            EXPECT_EQ(workingAfter, workingBefore) << "the previous working file stays whole";
        }
    }
}

// The keyboard plays macros by their place in its macro area and switches
// profile by itself: after either, the pages of other profiles no longer
// name what the working set means, and Apply sends them with the active one.
TEST_F(ApplyTest, PagesThatNoLongerMatchTheKeyboardGoWithTheActiveOne) {
    const auto p = positionOfUsage(defaultLayout(), 0x1D); // the key at 0x2C
    ASSERT_TRUE(p);
    const auto recordAt = [&](int profile) {
        const Bytes bytes = page(profile);
        return Bytes(bytes.begin() + 3 * *p, bytes.begin() + 3 * *p + 3);
    };
    {
        const DataSetLock lock = lockWorkingSet();
        workingSet().macros = sampleMacros();
        workingSet().table.storeRecord(1, row(0x2C), {AssignmentType::PlayMacro, 0, 5});
    }
    window.presetApplyEnabled(true);
    ASSERT_TRUE(applyChanges());
    EXPECT_EQ(recordAt(1), (Bytes{5, 1, 1})) << "the second macro, in profile 2";

    // The first macro goes: profile 2's key now names the first place.
    ASSERT_TRUE(commitMacroList(std::vector<macro::MacroRecord>{sampleMacros()[1]}));
    window.presetApplyEnabled(true); // as the editor's OK leaves it
    ASSERT_TRUE(applyChanges());
    EXPECT_EQ(recordAt(1), (Bytes{5, 1, 0}));

    // An edit of profile 1 still unapplied when the keyboard switched to
    // profile 2 by itself: the reload keeps it, and Apply writes its page.
    store0(row(0x2C), {AssignmentType::Function, 0, 3});
    window.presetApplyEnabled(true);
    ASSERT_TRUE(setActiveProfile(1));
    ASSERT_TRUE(reloadFromKeyboard());
    EXPECT_TRUE(window.isApplyEnabled());
    ASSERT_TRUE(applyChanges());
    EXPECT_EQ(recordAt(0), (Bytes{5, 5, 3}));
    EXPECT_EQ(recordAt(1), (Bytes{5, 1, 0}));
}

} // namespace
} // namespace tavrik::sync::testing
