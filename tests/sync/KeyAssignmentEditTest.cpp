#include "sync/KeyAssignmentEdit.h"

#include "keyboard/StringTable.h"
#include "macro/MacroList.h"
#include "tests/sync/DataSetsFixture.h"

namespace tavrik::sync::testing {
namespace {

using keyboard::AssignmentType;
using keyboard::KeyAssignment;

constexpr int kRowA = 0x1E;
constexpr int kRowG3 = 258;
constexpr int kRowG9 = 264;

macro::MacroRecord macroWithId(std::uint16_t id) {
    macro::MacroRecord record;
    record.setName(u"m");
    record.setCycles(1);
    record.setId(id);
    return record;
}

EditorChoice choiceOf(AssignmentType mode) {
    EditorChoice choice;
    choice.mode = mode;
    return choice;
}

TEST(ComposeAssignment, EachSectionMakesItsRecord) {
    struct Case {
        const char* what;
        int row;
        EditorChoice choice;
        KeyAssignment expected;
    };
    EditorChoice keyB = choiceOf(AssignmentType::SingleKey);
    keyB.singleKey = 0x30;
    EditorChoice keyItself = keyB;
    keyItself.singleKey = 0x1E;
    EditorChoice noKey = keyB;
    noKey.singleKey = 0;
    EditorChoice media4 = choiceOf(AssignmentType::Media);
    media4.mediaIndex = 4;
    EditorChoice function9 = choiceOf(AssignmentType::Function);
    function9.functionIndex = 9;
    EditorChoice macro = choiceOf(AssignmentType::PlayMacro);
    macro.macroListEmpty = false;
    macro.selectedMacro = 1;
    macro.cycles = 7;
    EditorChoice noMacros = choiceOf(AssignmentType::PlayMacro);
    const Case cases[] = {
        {"A sends B", kRowA, keyB, {AssignmentType::SingleKey, 0, 0x30, 0xAB, 0xCD}},
        {"A set to itself", kRowA, keyItself, {AssignmentType::Default, 0, 0, 0xAB, 0xCD}},
        {"no key captured", kRowA, noKey, {AssignmentType::Default, 0, 0, 0xAB, 0xCD}},
        {"G3 to media 4", kRowG3, media4, {AssignmentType::Media, 0x0303, 4, 0xAB, 0xCD}},
        {"bank B G1 to a function", 265, function9,
         {AssignmentType::Function, 0x1301, 9, 0xAB, 0xCD}},
        {"G9 plays macro 3", kRowG9, macro, {AssignmentType::PlayMacro, 7, 3, 0xAB, 0xCD}},
        {"no macros", kRowA, noMacros, {AssignmentType::Default, 0, 0, 0xAB, 0xCD}},
        {"default", kRowG3, choiceOf(AssignmentType::Default),
         {AssignmentType::Default, 0x0303, 0, 0xAB, 0xCD}},
    };
    const KeyAssignment previous{AssignmentType::TextBlock, 0x1111, 0x2222, 0xAB, 0xCD};
    for (const Case& c : cases) {
        EXPECT_EQ(composeAssignment(c.row, c.choice, 3, previous), c.expected) << c.what;
    }
}

class KeyAssignmentEditTest : public DataSetsTest {
protected:
    void SetUp() override {
        DataSetsTest::SetUp();
        ASSERT_TRUE(keyboard.start());
    }

    static KeyAssignment recordAt(int layer, int row) {
        const DataSetLock lock = lockWorkingSet();
        return *workingSet().table.recordOf(layer, row);
    }
};

TEST_F(KeyAssignmentEditTest, ApplyCommitsTheMacrosAndWritesTheActiveProfilesLayer) {
    keyboard.control("press profile 1");
    {
        const DataSetLock lock = lockWorkingSet();
        workingSet().strings.set(*keyboard::StringTable::entryOf(1, kRowG9), u"/bin/true");
    }
    const std::vector<macro::MacroRecord> copies = {macroWithId(4), macroWithId(9)};
    EditorChoice choice = choiceOf(AssignmentType::PlayMacro);
    choice.macroListEmpty = false;
    choice.selectedMacro = 1;
    choice.cycles = 12;

    EXPECT_EQ(applyEditorChoice(kRowG9, 0, copies, choice), EditorApplyResult::Applied);
    EXPECT_EQ(recordAt(1, kRowG9), (KeyAssignment{AssignmentType::PlayMacro, 12, 9}));
    EXPECT_EQ(recordAt(0, kRowG9).type, AssignmentType::Default) << "other layers stay";
    const DataSetLock lock = lockWorkingSet();
    EXPECT_EQ(workingSet().macros.size(), 2u);
    EXPECT_EQ(workingSet().strings.total(), 0u) << "the key's string is released";
    EXPECT_TRUE(window.isApplyEnabled());
}

TEST_F(KeyAssignmentEditTest, AKeyNoSectionMakesKeepsItsRecordAndString) {
    const KeyAssignment program{AssignmentType::LaunchProgram, 0, 0, 5, 0};
    {
        const DataSetLock lock = lockWorkingSet();
        workingSet().table.storeRecord(0, kRowA, program);
        workingSet().strings.set(*keyboard::StringTable::entryOf(0, kRowA), u"/bin/true");
    }
    ASSERT_EQ(readEditedKey(kRowA, 0), program);
    EXPECT_EQ(applyEditorChoice(kRowA, 0, {}, choiceOf(program.type)), EditorApplyResult::Applied);
    EXPECT_EQ(recordAt(0, kRowA), program);
    const DataSetLock lock = lockWorkingSet();
    EXPECT_NE(workingSet().strings.total(), 0u);
}

TEST_F(KeyAssignmentEditTest, WithoutAnActiveProfileNothingIsApplied) {
    keyboard.control("unplug");
    EXPECT_FALSE(readEditedKey(kRowA, 0));
    EditorChoice choice = choiceOf(AssignmentType::SingleKey);
    choice.singleKey = 0x30;
    EXPECT_EQ(applyEditorChoice(kRowA, 0, std::vector<macro::MacroRecord>{macroWithId(1)}, choice),
              EditorApplyResult::NoActiveProfile);
    EXPECT_EQ(prompter.messages(), std::vector<std::u16string>{u"No Use!"});
    EXPECT_EQ(recordAt(0, kRowA).type, AssignmentType::Default);
    EXPECT_EQ(macroCount(), 0u);
    EXPECT_FALSE(window.isApplyEnabled());
}

TEST_F(KeyAssignmentEditTest, CopiesAreNotNew) {
    {
        const DataSetLock lock = lockWorkingSet();
        workingSet().macros = {macroWithId(2), macroWithId(5)};
        // Only a foreign file brings a stored new flag.
        workingSet().macros[0].setNewFlag(1);
    }
    const macro::MacroList copies = macroCopies();
    ASSERT_EQ(copies.size(), 2u);
    EXPECT_EQ(copies[1].id(), 5);
    EXPECT_EQ(copies[0].newFlag(), 0);
}

} // namespace
} // namespace tavrik::sync::testing
