#include "sync/MacroStore.h"

#include "device/Commands.h"
#include "device/WorkerThreads.h"
#include "platform/Ports.h"
#include "sync/DataSets.h"
#include "tests/support/RecordingPorts.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/VirtualKeyboardSession.h"
#include "text/LanguageTexts.h"

#include <gtest/gtest.h>
#include <optional>

namespace tavrik::sync {
namespace {

// The link and the formats that the sync layer drives.
using namespace tavrik::device;
using namespace tavrik::profile;
using namespace tavrik::macro;

using keyboard::AssignmentType;
using keyboard::KeyAssignment;

MacroRecord macroWithId(std::uint16_t id, bool isNew = false) {
    MacroRecord record;
    record.setName(u"m");
    record.setCycles(1);
    record.setId(id);
    record.setNewFlag(isNew ? 1 : 0);
    return record;
}

KeyAssignment playMacro(std::uint32_t value, std::uint16_t tag = 3) {
    return {AssignmentType::PlayMacro, tag, value, 0x11, 0};
}

class MacroStoreTest : public ::testing::Test {
protected:
    MacroStoreTest() {
        sync::resetDataSets();
        device::setCachedActiveProfile(-1);
        text::resetLanguageTexts();
        platform::installMainWindowPort(&window);
        platform::installPrompter(&prompter);
    }
    ~MacroStoreTest() override {
        keyboard.stop();
        platform::resetPorts();
        sync::resetDataSets();
        device::setCachedActiveProfile(-1);
    }

    static void store(int layer, int row, const KeyAssignment& assignment) {
        const auto lock = sync::lockWorkingSet();
        sync::workingSet().table.storeRecord(layer, row, assignment);
    }
    static KeyAssignment recordAt(int layer, int row) {
        const auto lock = sync::lockWorkingSet();
        return *sync::workingSet().table.recordOf(layer, row);
    }

    tavrik::testing::TemporaryFolder folder;
    tavrik::testing::VirtualKeyboardSession keyboard{folder};
    tavrik::testing::RecordingWindow window;
    tavrik::testing::RecordingPrompter prompter;
};

TEST_F(MacroStoreTest, CommitRepairsAssignmentsThatWouldPointElsewhere) {
    struct Case {
        const char* what;
        int layer;
        int row;
        KeyAssignment before;
        KeyAssignment after;
    };
    const KeyAssignment reused = playMacro(2);
    const Case cases[] = {
        {"id deleted and handed out again",
         0,
         0x1E,
         reused,
         {AssignmentType::Default, 3, 2, 0x11, 0}},
        {"id 0 goes to the first macro", 3, 10, playMacro(0), playMacro(4)},
        {"id kept", 1, 0x1F, playMacro(1), playMacro(1)},
        {"id gone", 2, 300, playMacro(9), {AssignmentType::Default, 3, 9, 0x11, 0}},
        {"only the low 16 bits name the macro", 2, 301, playMacro(0x10001), playMacro(0x10001)},
        {"not a macro",
         0,
         0x20,
         {AssignmentType::SingleKey, 0, 2, 0, 0},
         {AssignmentType::SingleKey, 0, 2, 0, 0}},
    };
    for (const Case& c : cases) {
        store(c.layer, c.row, c.before);
    }
    const std::vector<MacroRecord> list = {macroWithId(4), macroWithId(1), macroWithId(2, true)};
    ASSERT_TRUE(commitMacroList(list));
    for (const Case& c : cases) {
        EXPECT_EQ(recordAt(c.layer, c.row), c.after) << c.what;
    }
    const auto lock = sync::lockWorkingSet();
    const MacroList& committed = sync::workingSet().macros;
    ASSERT_EQ(committed.size(), 3u);
    EXPECT_EQ(committed[0].id(), 4);
    EXPECT_EQ(committed[2].id(), 2);
    EXPECT_EQ(committed[2].newFlag(), 0);
    EXPECT_EQ(window.callsOf("apply").size(), 1u);
    EXPECT_TRUE(window.isApplyEnabled());
}

TEST_F(MacroStoreTest, CommittingAnEmptyListDropsEveryMacroReference) {
    ASSERT_TRUE(commitMacroList(std::vector<MacroRecord>{macroWithId(1), macroWithId(2)}));
    store(0, 5, playMacro(1));
    store(1, 6, playMacro(0));
    window.clear();
    ASSERT_TRUE(commitMacroList({}));
    EXPECT_EQ(sync::macroCount(), 0u);
    EXPECT_EQ(recordAt(0, 5).type, AssignmentType::Default);
    EXPECT_EQ(recordAt(1, 6), playMacro(0));
    EXPECT_EQ(window.callsOf("apply").size(), 1u);
}

TEST_F(MacroStoreTest, ACommitThatChangesNoKeyLeavesApplyAlone) {
    store(0, 5, playMacro(1));
    ASSERT_TRUE(commitMacroList(std::vector<MacroRecord>{macroWithId(1)}));
    EXPECT_TRUE(window.callsOf("apply").empty());
}

TEST_F(MacroStoreTest, MoreThanAHundredMacrosAreNotCommitted) {
    std::vector<MacroRecord> tooMany;
    for (std::uint16_t id = 1; id <= 101; ++id) {
        tooMany.push_back(macroWithId(id));
    }
    store(0, 5, playMacro(7));
    EXPECT_FALSE(commitMacroList(tooMany));
    EXPECT_EQ(sync::macroCount(), 0u);
    EXPECT_EQ(recordAt(0, 5), playMacro(7));
}

TEST_F(MacroStoreTest, DeletingAMacroOfTheOpenEditorNeverAsks) {
    store(0, 5, playMacro(3));
    EXPECT_TRUE(confirmMacroDeletion(macroWithId(3, true)));
    EXPECT_TRUE(prompter.questions().empty());
}

TEST_F(MacroStoreTest, WithoutTheActiveProfileTheWholeTableIsSearched) {
    EXPECT_TRUE(confirmMacroDeletion(macroWithId(3)));
    EXPECT_TRUE(prompter.questions().empty());

    store(0, 256, playMacro(3));
    prompter.answerQuestionsWith(false);
    EXPECT_FALSE(confirmMacroDeletion(macroWithId(3)));
    prompter.answerQuestionsWith(true);
    EXPECT_TRUE(confirmMacroDeletion(macroWithId(3)));
    const auto questions = prompter.questions();
    ASSERT_EQ(questions.size(), 2u);
    EXPECT_EQ(questions[0].first,
              u"Detect some key points to set this macro, \n  really need to remove this macro?  ");
    EXPECT_FALSE(questions[0].second); // No is the default button
}

TEST_F(MacroStoreTest, TheSearchStartsAtTheActiveProfileAndSkipsItsFirstGKey) {
    ASSERT_TRUE(keyboard.start());
    keyboard.control("press profile 1");
    ASSERT_EQ(device::readActiveProfile(), 1);
    struct Case {
        const char* what;
        int layer;
        int row;
        bool asks;
    };
    const Case cases[] = {
        {"an earlier profile", 0, 0x1E, false},
        {"record 256 of the active profile", 1, 256, false},
        {"record 257 of the active profile", 1, 257, true},
        {"a later profile", 2, 0x1E, true},
        {"the fourth layer", 3, 0x1E, true},
    };
    for (const Case& c : cases) {
        sync::resetDataSets();
        store(c.layer, c.row, playMacro(3));
        const std::size_t asked = prompter.questions().size();
        confirmMacroDeletion(macroWithId(3));
        EXPECT_EQ(prompter.questions().size() - asked, c.asks ? 1u : 0u) << c.what;
    }
}

} // namespace
} // namespace tavrik::sync
