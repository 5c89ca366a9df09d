#include "macro/MacroRecord.h"

#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

namespace tavrik::macro {
namespace {

std::uint16_t u16At(const MacroRecord& record, std::size_t offset) {
    return static_cast<std::uint16_t>(record.bytes()[offset] | (record.bytes()[offset + 1] << 8));
}

TEST(MacroRecordTest, FieldsSitAtTheirFileOffsets) {
    MacroRecord record;
    record.setName(u"AB");
    record.setCycles(7);
    record.setNewFlag(1);
    record.setId(0x1234);
    const std::vector<MacroAction> actions{{0x01020304, 0x0506, 1}, {-2, 0x1E, 0}};
    record.setActions(actions);

    const auto& bytes = record.bytes();
    EXPECT_EQ(bytes.size(), 16512u);
    EXPECT_EQ(u16At(record, 0), u'A');
    EXPECT_EQ(u16At(record, 2), u'B');
    EXPECT_EQ(u16At(record, 4), 0);
    EXPECT_EQ(bytes[500], 7);
    EXPECT_EQ(u16At(record, 502), 1);
    EXPECT_EQ(u16At(record, 506), 0x1234);
    EXPECT_EQ(u16At(record, 508), 2);
    const std::vector<std::uint8_t> firstAction(bytes.begin() + 512, bytes.begin() + 520);
    EXPECT_EQ(firstAction,
              (std::vector<std::uint8_t>{0x04, 0x03, 0x02, 0x01, 0x06, 0x05, 0x01, 0x00}));
    const std::vector<std::uint8_t> secondAction(bytes.begin() + 520, bytes.begin() + 528);
    EXPECT_EQ(secondAction,
              (std::vector<std::uint8_t>{0xFE, 0xFF, 0xFF, 0xFF, 0x1E, 0x00, 0x00, 0x00}));
    EXPECT_TRUE(
        std::all_of(bytes.begin() + 528, bytes.end(), [](std::uint8_t b) { return b == 0; }));

    EXPECT_EQ(record.actions(), actions);
    EXPECT_EQ(record.name(), u"AB");
}

TEST(MacroRecordTest, ReservedBytesOfAStoredRecordTravelUnchanged) {
    MacroRecord::Bytes stored{};
    stored[501] = 0x11;
    stored[504] = 0x22;
    stored[505] = 0x33;
    stored[510] = 0x44;
    stored[511] = 0x55;
    MacroRecord record(stored);
    record.setName(u"renamed");
    record.setCycles(3);
    record.setId(9);
    record.setNewFlag(0);
    record.setActions(std::vector<MacroAction>{{10, 0x1E, 0}});
    EXPECT_EQ(record.bytes()[501], 0x11);
    EXPECT_EQ(record.bytes()[504], 0x22);
    EXPECT_EQ(record.bytes()[505], 0x33);
    EXPECT_EQ(record.bytes()[510], 0x44);
    EXPECT_EQ(record.bytes()[511], 0x55);
}

TEST(MacroRecordTest, NameIsCutTo249UnitsWithoutSplittingAPair) {
    MacroRecord record;
    record.setName(std::u16string(300, u'x'));
    EXPECT_EQ(record.name().size(), 249u);
    EXPECT_EQ(u16At(record, 2 * 249), 0); // the terminator always fits

    // A pair that would straddle the cut is dropped whole.
    std::u16string paired(248, u'y');
    paired += u"\U0001F600";
    record.setName(paired);
    EXPECT_EQ(record.name(), std::u16string(248, u'y'));

    record.setName(u"z");
    EXPECT_EQ(record.name(), u"z");
    EXPECT_EQ(u16At(record, 2), 0); // the longer name before leaves nothing behind
    EXPECT_EQ(u16At(record, 2 * 200), 0);
}

TEST(MacroRecordTest, NameWithoutTerminatorInAForeignRecordStopsAt249Units) {
    MacroRecord::Bytes stored{};
    for (std::size_t i = 0; i < 500; i += 2) {
        stored[i] = 'q';
    }
    EXPECT_EQ(MacroRecord(stored).name(), std::u16string(249, u'q'));
}

TEST(MacroRecordTest, ActionsAreLimitedTo2000) {
    MacroRecord record;
    std::vector<MacroAction> many(2100, MacroAction{10, 0x1E, 0});
    record.setActions(many);
    EXPECT_EQ(record.actionCount(), 2000u);
    EXPECT_FALSE(record.appendAction(MacroAction{}));

    record.setActions(std::vector<MacroAction>{{5, 0x30, 1}});
    EXPECT_EQ(record.actionCount(), 1u);
    EXPECT_TRUE(std::all_of(record.bytes().begin() + 520, record.bytes().end(),
                            [](std::uint8_t b) { return b == 0; }));
    EXPECT_TRUE(record.appendAction(MacroAction{7, 0x31, 0}));
    EXPECT_EQ(record.action(1), (MacroAction{7, 0x31, 0}));
    EXPECT_EQ(record.action(2000), MacroAction{});

    MacroRecord::Bytes foreign{};
    foreign[508] = 0xFF;
    foreign[509] = 0xFF;
    EXPECT_EQ(MacroRecord(foreign).storedActionCount(), 0xFFFF);
    EXPECT_EQ(MacroRecord(foreign).actions().size(), 2000u);
}

} // namespace
} // namespace tavrik::macro
