#include "macro/MacroList.h"

#include "text/LanguageTexts.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <initializer_list>

namespace tavrik::macro {
namespace {

MacroList listWithIds(std::initializer_list<std::uint16_t> ids) {
    MacroList list;
    for (const std::uint16_t id : ids) {
        MacroRecord record;
        record.setId(id);
        list.push_back(record);
    }
    return list;
}

MacroList listWithNames(std::initializer_list<std::u16string_view> names) {
    MacroList list;
    std::uint16_t id = 1;
    for (const std::u16string_view name : names) {
        MacroRecord record;
        record.setName(name);
        record.setId(id++);
        list.push_back(record);
    }
    return list;
}

TEST(MacroListTest, IndexOfIdFindsTheFirstRecordAndFallsBackToZero) {
    const MacroList list = listWithIds({5, 7, 7, 9});
    EXPECT_EQ(macroIndexOfId(list, 5), 0);
    EXPECT_EQ(macroIndexOfId(list, 7), 1);
    EXPECT_EQ(macroIndexOfId(list, 9), 3);
    EXPECT_EQ(macroIndexOfId(list, 8), 0);
    EXPECT_EQ(macroIndexOfId(MacroList{}, 1), 0);
}

TEST(MacroListTest, IdAtIndexIsZeroOutsideTheList) {
    const MacroList list = listWithIds({4, 2, 6});
    EXPECT_EQ(macroIdAtIndex(list, 0), 4);
    EXPECT_EQ(macroIdAtIndex(list, 2), 6);
    EXPECT_EQ(macroIdAtIndex(list, -1), 0);
    EXPECT_EQ(macroIdAtIndex(list, 3), 0);
    EXPECT_EQ(macroIdAtIndex(MacroList{}, 0), 0);
}

TEST(MacroListTest, ReleaseEmptiesTheListAndFreesItsMemory) {
    MacroList list = listWithIds({1, 2, 3});
    releaseMacroList(list);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(list.capacity(), 0u);
}

TEST(MacroListTest, AllocateTakesTheLowestFreeId) {
    struct Case {
        MacroList list;
        std::uint16_t expected;
    };
    MacroList full;
    for (std::uint16_t id = 100; id >= 1; --id) {
        full.push_back(listWithIds({id}).front());
    }
    MacroList allButFifty = full;
    allButFifty.erase(std::remove_if(allButFifty.begin(), allButFifty.end(),
                                     [](const MacroRecord& r) { return r.id() == 50; }),
                      allButFifty.end());
    const Case cases[] = {
        {MacroList{}, 1},         {listWithIds({1, 2, 4}), 3},
        {listWithIds({2, 3}), 1}, {listWithIds({0, 101, 0xFFFF}), 1}, // foreign ids block nothing
        {allButFifty, 50},        {full, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(allocateMacroId(c.list), c.expected) << "list of " << c.list.size();
    }
}

TEST(MacroListTest, CreatedRecordIsZeroFilledApartFromItsFields) {
    const auto record = createMacroRecord(u"Macro1", listWithIds({1, 2, 4}));
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(record->name(), u"Macro1");
    EXPECT_EQ(record->cycles(), 1);
    EXPECT_EQ(record->newFlag(), 1);
    EXPECT_EQ(record->id(), 3);
    EXPECT_EQ(record->actionCount(), 0u);

    MacroRecord expected;
    expected.setName(u"Macro1");
    expected.setCycles(1);
    expected.setNewFlag(1);
    expected.setId(3);
    EXPECT_TRUE(record->bytes() == expected.bytes());
}

TEST(MacroListTest, NoRecordWhenEveryIdIsTaken) {
    MacroList full;
    for (std::uint16_t id = 1; id <= 100; ++id) {
        full.push_back(listWithIds({id}).front());
    }
    EXPECT_FALSE(createMacroRecord(u"x", full).has_value());
}

class MacroNameCounterTest : public ::testing::Test {
protected:
    void TearDown() override { text::resetLanguageTexts(); }
};

TEST_F(MacroNameCounterTest, FirstMacroOfAnEmptyListIsNumberOne) {
    MacroNameCounter counter;
    EXPECT_EQ(counter.nextName(MacroList{}), u"Macro1");
    EXPECT_EQ(counter.nextName(listWithNames({u"Macro1"})), u"Macro2");
    // The number lives on while the list is not empty, even after deletions.
    EXPECT_EQ(counter.nextName(listWithNames({u"Macro2"})), u"Macro3");
    // An empty list starts it over.
    EXPECT_EQ(counter.nextName(MacroList{}), u"Macro1");
}

TEST_F(MacroNameCounterTest, SkipsNumbersThatBeginAnExistingNameIgnoringCase) {
    MacroNameCounter counter;
    EXPECT_EQ(counter.nextName(listWithNames({u"MACRO1 jump", u"macro2", u"Other"})), u"Macro3");
    EXPECT_EQ(counter.value(), 3);

    MacroNameCounter second;
    // "Macro1" begins "Macro10", so 1 is skipped; "Macro2" begins no name.
    EXPECT_EQ(second.nextName(listWithNames({u"Macro10"})), u"Macro2");
}

TEST_F(MacroNameCounterTest, UsesTheLanguagePrefix) {
    text::setLanguageText("MACRO_NEW_PREFIX", u"Makro-");
    MacroNameCounter counter;
    EXPECT_EQ(counter.nextName(listWithNames({u"makro-1"})), u"Makro-2");
}

} // namespace
} // namespace tavrik::macro
