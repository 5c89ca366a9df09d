#include "keyboard/AssignmentTable.h"

#include "keyboard/ProfileFileHeader.h"

#include <gtest/gtest.h>
#include <vector>

namespace tavrik::keyboard {
namespace {

TEST(AssignmentTable, DefaultTableHeadersAsProfileFilesWriteThem) {
    const AssignmentTable table = defaultTable();
    const std::vector<std::uint8_t> expected = {
        // ProfileFileHeader: "FD", 32, 3, 1, total 32832, 2048 records, no macros, no pool
        0x46, 0x44, 0x20, 0x00, 0x03, 0x00, 0x01, 0x00, 0x40, 0x80, 0x00, 0x00, 0x00, 0x08, 0x00,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x76,
        // KeySectionHeader
        0x4B, 0x48, 0x20, 0x00, 0x20, 0x80, 0x00, 0x00, 0x04, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,
        0x00, 0x45, 0x0C, 0x23, 0x65, 0x4F, 0x1C, 0x0E, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00};
    EXPECT_EQ(std::vector<std::uint8_t>(table.bytes().begin(), table.bytes().begin() + 64),
              expected);
}

TEST(AssignmentTable, DefaultTableHasTheGKeyTagsInLayerZeroOnly) {
    const AssignmentTable table = defaultTable();
    for (int layer = 0; layer < kLayerCount; ++layer) {
        for (int row = 0; row < kRowsPerLayer; ++row) {
            std::uint16_t tag = 0;
            if (layer == 0 && row >= 256 && row <= 264) {
                tag = static_cast<std::uint16_t>(0x0301 + row - 256);
            } else if (layer == 0 && row >= 265 && row <= 273) {
                tag = static_cast<std::uint16_t>(0x1301 + row - 265);
            }
            KeyAssignment expected;
            expected.tag = tag;
            ASSERT_EQ(table.recordOf(layer, row), expected) << layer << "/" << row;
        }
    }
}

TEST(AssignmentTable, GKeySlots) {
    const struct {
        int gNumber;
        bool bank;
        int slot;
        KeyCode code;
        int row;
        std::uint16_t tag;
    } cases[] = {
        {1, false, 0, 0x200, 256, 0x0301},
        {9, false, 8, 0x208, 264, 0x0309},
        {2, true, 10, 0x20A, 266, 0x1302},
        {9, true, 17, 0x211, 273, 0x1309},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(gKeySlot(c.gNumber, c.bank), c.slot);
        EXPECT_EQ(gKeyCodeOfSlot(c.slot), c.code);
        EXPECT_EQ(keyIndexOf(c.code), c.row);
        EXPECT_EQ(gKeyRowOfSlot(c.slot), c.row);
        EXPECT_EQ(gKeyTag(c.slot), c.tag);
    }
    EXPECT_FALSE(gKeySlot(0, false));
    EXPECT_FALSE(gKeySlot(10, true));
    EXPECT_EQ(gKeyTag(18), 0);
    EXPECT_EQ(gKeyRowOfSlot(-1), -1);
}

TEST(AssignmentTable, RecordsAreSixteenLittleEndianBytes) {
    AssignmentTable table;
    const KeyAssignment record{AssignmentType::Media, 0x1234, 0x89ABCDEF, 0x01020304, 5};
    ASSERT_TRUE(table.storeRecord(2, 3, record));
    const std::size_t offset = 64 + 8192 * 2 + 16 * 3;
    const std::vector<std::uint8_t> expected = {0x07, 0x00, 0x34, 0x12, 0xEF, 0xCD, 0xAB, 0x89,
                                                0x04, 0x03, 0x02, 0x01, 0x05, 0x00, 0x00, 0x00};
    EXPECT_EQ(std::vector<std::uint8_t>(table.bytes().begin() + offset,
                                        table.bytes().begin() + offset + 16),
              expected);
    EXPECT_EQ(table.recordOf(2, 3), record);
    EXPECT_EQ(table.recordOf(3, 511), KeyAssignment{});
}

TEST(AssignmentTable, LayersAndRowsOutsideTheTableHaveNoRecord) {
    AssignmentTable table;
    const std::vector<std::uint8_t> before(table.bytes().begin(), table.bytes().end());
    const KeyAssignment record{AssignmentType::Disabled, 1, 2, 3, 4};
    for (const auto& [layer, row] : {std::pair{-1, 0}, {4, 0}, {0, 512}, {0, -1}, {-1, 511}}) {
        EXPECT_FALSE(table.recordOf(layer, row));
        EXPECT_FALSE(table.storeRecord(layer, row, record));
    }
    EXPECT_FALSE(table.resetLayer(-1));
    EXPECT_FALSE(table.resetLayer(4));
    EXPECT_EQ(std::vector<std::uint8_t>(table.bytes().begin(), table.bytes().end()), before);
}

TEST(AssignmentTable, ResetLayerTouchesOnlyItsLayer) {
    AssignmentTable table = defaultTable();
    const KeyAssignment record{AssignmentType::SingleKey, 7, 0x1E, 9, 0};
    for (int layer = 0; layer < kLayerCount; ++layer) {
        table.storeRecord(layer, 30, record);
        table.storeRecord(layer, 266, record);
    }
    ASSERT_TRUE(table.resetLayer(1));
    EXPECT_EQ(table.recordOf(1, 30), KeyAssignment{});
    EXPECT_EQ(table.recordOf(1, 266), (KeyAssignment{AssignmentType::Default, 0x1302, 0, 0, 0}));
    EXPECT_EQ(table.recordOf(1, 273)->tag, 0x1309);
    for (int layer : {0, 2, 3}) {
        EXPECT_EQ(table.recordOf(layer, 30), record);
        EXPECT_EQ(table.recordOf(layer, 266), record);
    }
}

TEST(ProfileFileHeader, FillAndReadBack) {
    std::uint8_t bytes[32] = {};
    std::span<std::uint8_t, 32> header(bytes);
    keyboard::fillProfileFileHeader(header, 100, 0x00010203, 0);
    const keyboard::ProfileFileHeader fields = keyboard::readProfileFileHeader(header);
    EXPECT_EQ(fields.magic, 0x4446);
    EXPECT_EQ(fields.headerSize, 32);
    EXPECT_EQ(fields.constantAt4, 3);
    EXPECT_EQ(fields.constantAt6, 1);
    EXPECT_EQ(fields.totalSize, 32832u + 100u * 16512u + 0x00010203u);
    EXPECT_EQ(fields.keyRecordCount, 2048);
    EXPECT_EQ(fields.macroCount, 100);
    EXPECT_EQ(fields.stringPoolSize, 0x00010203u);
    EXPECT_EQ(fields.flag, 0);
    // total 0x001AB443: 0x46+0x44+0x20+3+1+0x43+0xB4+0x1A+0x08+0x64+0x03+0x02+0x01 = 0x231
    EXPECT_EQ(fields.checksum, 0x31);
    EXPECT_EQ(keyboard::profileFileTotalSize(0xFFFF, 0xFFFFFFFF),
              32832ull + 0xFFFFull * 16512ull + 0xFFFFFFFFull);

    // Bytes 0..30 that sum to 0x1234 give the checksum 0x34.
    std::fill(std::begin(bytes), std::end(bytes), std::uint8_t{0});
    std::fill_n(bytes, 18, std::uint8_t{0xFF});
    bytes[18] = 0x46;
    bytes[31] = 0x99;
    EXPECT_EQ(keyboard::profileHeaderChecksum(header), 0x34);
}

} // namespace
} // namespace tavrik::keyboard
