#include "keyboard/StringTable.h"

#include <gtest/gtest.h>

namespace tavrik::keyboard {
namespace {

TEST(StringTable, SizesCountTheTerminatorAndAddUpToTheTotal) {
    StringTable strings;
    ASSERT_TRUE(strings.set(0, u"C:\\app.exe"));
    ASSERT_TRUE(strings.set(2047, u""));
    ASSERT_TRUE(strings.set(5, std::u16string_view(u"ab\0cd", 5)));
    EXPECT_EQ(strings.sizeOf(0), 22u);
    EXPECT_EQ(strings.sizeOf(2047), 2u);
    EXPECT_EQ(strings.text(5), u"ab");
    EXPECT_EQ(strings.sizeOf(5), 6u);
    EXPECT_EQ(strings.sizeOf(1), 0u);
    EXPECT_FALSE(strings.text(1));
    EXPECT_EQ(strings.total(), 30u);

    ASSERT_TRUE(strings.set(0, u"x"));
    EXPECT_EQ(strings.total(), 12u);
    EXPECT_FALSE(strings.set(2048, u"x"));
    EXPECT_EQ(strings.total(), 12u);

    strings.release(1);
    strings.release(4096);
    EXPECT_EQ(strings.total(), 12u);
    strings.release(2047);
    EXPECT_EQ(strings.total(), 10u);
    EXPECT_FALSE(strings.text(2047));
    strings.releaseAll();
    EXPECT_EQ(strings.total(), 0u);
    EXPECT_FALSE(strings.text(0));
    EXPECT_EQ(StringTable::entryOf(3, 511), 2047u);
    EXPECT_EQ(StringTable::entryOf(1, 20), 532u);
    EXPECT_FALSE(StringTable::entryOf(-1, 20));
}

TEST(StringTable, WritingAnAssignmentReleasesTheRecordsString) {
    AssignmentTable table = defaultTable();
    StringTable strings;
    ASSERT_TRUE(strings.set(532, u"abc"));
    ASSERT_TRUE(strings.set(20, u"x"));
    const KeyAssignment record{AssignmentType::SingleKey, 0, 0x01E, 0, 0};
    ASSERT_TRUE(writeAssignment(table, strings, 1, 20, record));
    EXPECT_EQ(table.recordOf(1, 20), record);
    EXPECT_FALSE(strings.text(532));
    EXPECT_EQ(strings.text(20), u"x");
    EXPECT_EQ(strings.total(), 4u);
}

TEST(StringTable, WritingAnAssignmentOutsideTheTableChangesNothing) {
    AssignmentTable table = defaultTable();
    const AssignmentTable before = table;
    StringTable strings;
    ASSERT_TRUE(strings.set(511, u"keep"));
    const KeyAssignment record{AssignmentType::Disabled, 0, 0, 0, 0};
    for (const auto& [layer, row] : {std::pair{-1, 511}, {4, 0}, {0, 512}}) {
        EXPECT_FALSE(writeAssignment(table, strings, layer, row, record));
    }
    EXPECT_TRUE(std::equal(table.bytes().begin(), table.bytes().end(), before.bytes().begin()));
    EXPECT_EQ(strings.total(), 10u);
}

} // namespace
} // namespace tavrik::keyboard
