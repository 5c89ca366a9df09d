#include "keyboard/StringPool.h"

#include "tests/support/ProfileFixture.h"

namespace tavrik::profile::testing {
namespace {

using keyboard::AssignmentType;

struct Sample {
    keyboard::AssignmentTable table;
    keyboard::StringTable strings;
};

// Three strings of 4, 6 and 8 bytes in records 5, 600 and 2047.
Sample threeStrings() {
    sync::WorkingSet set;
    putString(set, 0, 5, AssignmentType::LaunchProgram, u"a");
    putString(set, 1, 88, AssignmentType::TextBlock, u"bc");
    putString(set, 3, 511, AssignmentType::TextBlock, u"def");
    for (const auto& [layer, row] : {std::pair{0, 5}, std::pair{1, 88}, std::pair{3, 511}}) {
        auto record = *set.table.recordOf(layer, row);
        record.value = 0xABCD;
        set.table.storeRecord(layer, row, record);
    }
    return {set.table, set.strings};
}

TEST(StringPool, StringsThatExactlyFillThePoolAreAllPacked) {
    Sample sample = threeStrings();
    Bytes pool(sample.strings.total(), 0);
    ASSERT_EQ(pool.size(), 18u);
    EXPECT_EQ(keyboard::packStringPool(sample.table, sample.strings, pool), 18u);
    Bytes expected = utf16Bytes(u"a");
    for (const auto text : {u"bc", u"def"}) {
        const Bytes more = utf16Bytes(text);
        expected.insert(expected.end(), more.begin(), more.end());
    }
    EXPECT_EQ(pool, expected);
    EXPECT_EQ(sample.table.recordOf(0, 5)->value, 0u);
    EXPECT_EQ(sample.table.recordOf(1, 88)->value, 4u);
    EXPECT_EQ(sample.table.recordOf(3, 511)->value, 10u);
}

TEST(StringPool, AStringThatNoLongerFitsIsSkippedAndKeepsItsValue) {
    Sample sample = threeStrings();
    Bytes pool(17, 0);
    EXPECT_EQ(keyboard::packStringPool(sample.table, sample.strings, pool), 10u);
    EXPECT_EQ(sample.table.recordOf(3, 511)->value, 0xABCDu);
    EXPECT_TRUE(std::all_of(pool.begin() + 10, pool.end(), [](std::uint8_t b) { return b == 0; }));
}

TEST(StringPool, PackedStringsLoadBackIntoTheirEntries) {
    Sample sample = threeStrings();
    Bytes pool(sample.strings.total(), 0);
    keyboard::packStringPool(sample.table, sample.strings, pool);
    keyboard::StringTable loaded;
    keyboard::loadStringsFromPool(sample.table, pool, loaded);
    EXPECT_EQ(loaded.total(), sample.strings.total());
    for (std::size_t entry = 0; entry < keyboard::kStringTableEntries; ++entry) {
        EXPECT_EQ(loaded.text(entry), sample.strings.text(entry)) << entry;
    }
}

} // namespace
} // namespace tavrik::profile::testing
