#include "keyboard/KeyMapCodec.h"

#include "keyboard/AssignmentTable.h"
#include "macro/MacroList.h"

#include <gtest/gtest.h>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace tavrik::keyboard {
namespace {

using Record = HardwareKeyRecord;

// Positions of the built-in layout used below.
constexpr std::size_t kPositionOfA = 19;      // 02 02 04
constexpr std::size_t kFirstEqualsKey = 54;   // 02 02 2E
constexpr std::size_t kSecondEqualsKey = 105; // 02 02 2E

KeyAssignment assignment(AssignmentType type, std::uint32_t value) {
    KeyAssignment a;
    a.type = type;
    a.value = value;
    return a;
}

std::uint16_t noMacros(std::uint16_t) {
    return 0;
}

TEST(KeyMapCodecTest, BuiltInDefaultLayoutAsTheKeyboardShipsIt) {
    struct Case {
        std::size_t position;
        Record record;
    };
    const Case cases[] = {
        {0, {0x05, 0x00, 0x00}},   {5, {0x05, 0x00, 0x00}},   {6, {0, 0, 0}},
        {8, {0x02, 0x02, 0x29}},   {12, {0x02, 0x01, 0x02}},  {13, {0x02, 0x01, 0x01}},
        {19, {0x02, 0x02, 0x04}},  {21, {0x02, 0x01, 0x08}},  {38, {0x02, 0x02, 0x46}},
        {45, {0x02, 0x01, 0x40}},  {53, {0x05, 0x02, 0x02}},  {61, {0x02, 0x02, 0x65}},
        {69, {0x02, 0x01, 0x10}},  {76, {0x02, 0x02, 0x36}},  {100, {0x02, 0x01, 0x20}},
        {110, {0x02, 0x02, 0x4E}}, {112, {0x03, 0xB6, 0x00}}, {118, {0x02, 0x02, 0x56}},
        {119, {0, 0, 0}},          {120, {0x03, 0xCD, 0x00}}, {125, {0x02, 0x02, 0x63}},
        {126, {0, 0, 0}},          {127, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(hardwareKeyRecordAt(BuiltInDefaultLayout, c.position), c.record) << c.position;
    }
    for (std::size_t byte = 3 * 128; byte < 512; ++byte) {
        EXPECT_EQ(BuiltInDefaultLayout[byte], 0) << byte;
    }
    int keysNamed = 0;
    for (std::size_t k = 0; k < kKeyPositionCount; ++k) {
        keysNamed += keyCodeOfRecord(hardwareKeyRecordAt(BuiltInDefaultLayout, k)) != 0;
    }
    EXPECT_EQ(keysNamed, 100);
}

TEST(KeyMapCodecTest, KeyNamedByARecord) {
    struct Case {
        Record record;
        KeyCode keyCode;
    };
    const Case cases[] = {
        {{0x02, 0x02, 0x04}, 0x01E}, {{0x02, 0x02, 0x29}, 0x001}, {{0x02, 0x02, 0xE5}, 0x036},
        {{0x02, 0x02, 0x00}, 0x000}, {{0x02, 0x01, 0x40}, 0x138}, {{0x02, 0x07, 0x41}, 0x01D},
        {{0x02, 0x01, 0x00}, 0x000}, {{0x03, 0xCD, 0x00}, 0x122}, {{0x03, 0xE9, 0x00}, 0x130},
        {{0x03, 0x34, 0x12}, 0x000}, {{0x04, 0x81, 0x00}, 0x15E}, {{0x04, 0x80, 0x00}, 0x000},
        {{0x06, 0xA2, 0x01}, 0x200}, {{0x06, 0xA2, 0x12}, 0x211}, {{0x06, 0xA2, 0x00}, 0x000},
        {{0x06, 0xA2, 0x13}, 0x000}, {{0x06, 0xA1, 0x01}, 0x000}, {{0x05, 0x01, 0x00}, 0x000},
        {{0x05, 0x00, 0x00}, 0x000}, {{0x00, 0x00, 0x00}, 0x000}, {{0x01, 0x02, 0x04}, 0x000},
        {{0xFF, 0xFF, 0xFF}, 0x000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(keyCodeOfRecord(c.record), c.keyCode)
            << std::hex << int(c.record.kind) << " " << int(c.record.b1) << " " << int(c.record.b2);
    }
}

TEST(KeyMapCodecTest, RecordWrittenForEachAssignment) {
    macro::MacroList macros(3);
    macros[0].setId(5);
    macros[1].setId(9);
    macros[2].setId(3);
    const MacroIndexLookup lookup = [&macros](std::uint16_t id) {
        return macro::macroIndexOfId(macros, id);
    };
    const Record d{0x02, 0x02, 0x04};
    struct Case {
        KeyAssignment assignment;
        Record expected;
    };
    const Case cases[] = {
        {assignment(AssignmentType::Default, 0), d},
        {assignment(AssignmentType::LaunchProgram, 40), d},
        {assignment(AssignmentType::Disabled, 0), {0, 0, 0}},
        {assignment(AssignmentType::TextBlock, 12), {0, 0, 0}},
        {assignment(AssignmentType::SingleKey, 0x138), {0x02, 0x01, 0x40}},
        {assignment(AssignmentType::SingleKey, 0x01D), {0x02, 0x01, 0x01}},
        {assignment(AssignmentType::SingleKey, 0x15C), {0x02, 0x01, 0x80}},
        {assignment(AssignmentType::SingleKey, 0x01E), {0x02, 0x02, 0x04}},
        {assignment(AssignmentType::SingleKey, 0x136), {0x02, 0x02, 0xE5}},
        {assignment(AssignmentType::SingleKey, 0x130), {0x02, 0x02, 0x00}},
        {assignment(AssignmentType::SingleKey, 0x1001E), {0x02, 0x02, 0x00}},
        {assignment(AssignmentType::PlayMacro, 3), {0x05, 0x01, 0x02}},
        {assignment(AssignmentType::PlayMacro, 9), {0x05, 0x01, 0x01}},
        {assignment(AssignmentType::PlayMacro, 0xABCD0003), {0x05, 0x01, 0x02}},
        {assignment(AssignmentType::PlayMacro, 7), {0x05, 0x01, 0x00}},
        {assignment(AssignmentType::StopMacro, 0), {0x05, 0x02, 0x00}},
        {assignment(AssignmentType::Media, 1), {0x03, 0xCD, 0x00}},
        {assignment(AssignmentType::Media, 14), {0x03, 0x21, 0x02}},
        {assignment(AssignmentType::Media, 99), {0x03, 0x00, 0x00}},
        {assignment(AssignmentType::Function, 9), {0x05, 0x05, 0x09}},
        {assignment(AssignmentType::Function, 0x1FF), {0x05, 0x05, 0xFF}},
        {assignment(static_cast<AssignmentType>(9), 1), d},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(hardwareRecordOfAssignment(c.assignment, d, lookup), c.expected)
            << "type " << static_cast<int>(c.assignment.type) << " value " << c.assignment.value;
    }
}

TEST(KeyMapCodecTest, TableOfDefaultsBuildsTheDefaultLayout) {
    KeyMapLayer custom = BuiltInDefaultLayout;
    setHardwareKeyRecordAt(custom, 0, {0x06, 0xA2, 0x01});
    setHardwareKeyRecordAt(custom, 140, {0x09, 0x08, 0x07});
    for (std::size_t byte = 480; byte < 512; ++byte) {
        custom[byte] = static_cast<std::uint8_t>(byte);
    }
    const AssignmentTable table = defaultTable();
    for (const KeyMapLayer* layout :
         {&BuiltInDefaultLayout, static_cast<const KeyMapLayer*>(&custom)}) {
        for (int layer = 0; layer < 3; ++layer) {
            const auto page = buildKeyMapLayer(table, layer, *layout, noMacros);
            ASSERT_TRUE(page.has_value());
            EXPECT_TRUE(*page == *layout) << "layer " << layer;
        }
    }
    EXPECT_FALSE(buildKeyMapLayer(table, -1, BuiltInDefaultLayout, noMacros).has_value());
    EXPECT_FALSE(buildKeyMapLayer(table, 4, BuiltInDefaultLayout, noMacros).has_value());
}

TEST(KeyMapCodecTest, AssignmentReachesEveryPositionOfItsKeyInItsLayerOnly) {
    AssignmentTable table = defaultTable();
    table.storeRecord(1, keyIndexOf(0x01E), assignment(AssignmentType::Disabled, 0));
    table.storeRecord(1, keyIndexOf(0x00D), assignment(AssignmentType::Function, 4));
    KeyMapLayer layout = BuiltInDefaultLayout;
    setHardwareKeyRecordAt(layout, 2, {0x06, 0xA2, 0x02}); // G2 of the first bank
    table.storeRecord(1, 257, assignment(AssignmentType::StopMacro, 0));

    const KeyMapLayer page = *buildKeyMapLayer(table, 1, layout, noMacros);
    KeyMapLayer expected = layout;
    setHardwareKeyRecordAt(expected, kPositionOfA, {0, 0, 0});
    setHardwareKeyRecordAt(expected, kFirstEqualsKey, {0x05, 0x05, 0x04});
    setHardwareKeyRecordAt(expected, kSecondEqualsKey, {0x05, 0x05, 0x04});
    setHardwareKeyRecordAt(expected, 2, {0x05, 0x02, 0x00});
    EXPECT_TRUE(page == expected);

    EXPECT_TRUE(*buildKeyMapLayer(table, 0, layout, noMacros) == layout);
    EXPECT_TRUE(*buildKeyMapLayer(table, 2, layout, noMacros) == layout);
}

TEST(KeyMapCodecTest, DecodingTheDefaultLayoutLeavesOnlyTheGKeyTags) {
    AssignmentTable table = defaultTable();
    for (int row = 0; row < kRowsPerLayer; ++row) {
        table.storeRecord(2, row, assignment(AssignmentType::SingleKey, 0x30));
    }
    ASSERT_TRUE(decodeKeyMapLayer(table, 2, BuiltInDefaultLayout, BuiltInDefaultLayout));
    for (int row = 0; row < kRowsPerLayer; ++row) {
        KeyAssignment expected;
        if (row >= kFirstGKeyRow && row < kFirstGKeyRow + kGKeySlotCount) {
            expected.tag = gKeyTag(row - kFirstGKeyRow);
        }
        EXPECT_EQ(*table.recordOf(2, row), expected) << row;
    }
}

TEST(KeyMapCodecTest, DecodedRecordOfEachKind) {
    struct Case {
        Record record;
        AssignmentType type;
        std::uint32_t value;
    };
    const Case cases[] = {
        {{0x00, 0x00, 0x00}, AssignmentType::Disabled, 0},
        {{0x03, 0xE9, 0x00}, AssignmentType::Media, 6},
        {{0x03, 0x83, 0x01}, AssignmentType::Media, 0},
        {{0x03, 0x34, 0x12}, AssignmentType::Disabled, 0},
        {{0x05, 0x01, 0x02}, AssignmentType::PlayMacro, 3},
        {{0x05, 0x01, 0xFF}, AssignmentType::PlayMacro, 256},
        {{0x05, 0x02, 0x77}, AssignmentType::StopMacro, 0},
        {{0x05, 0x05, 0x09}, AssignmentType::Function, 9},
        {{0x05, 0x03, 0x00}, AssignmentType::Disabled, 0},
        {{0x02, 0x02, 0x05}, AssignmentType::SingleKey, 0x030},
        {{0x02, 0x02, 0xE6}, AssignmentType::SingleKey, 0x138},
        {{0x02, 0x02, 0xFF}, AssignmentType::Disabled, 0},
        {{0x02, 0x01, 0x41}, AssignmentType::SingleKey, 0x01D},
        {{0x02, 0x01, 0x00}, AssignmentType::Disabled, 0},
        {{0x02, 0x03, 0x01}, AssignmentType::Disabled, 0},
        {{0x04, 0x81, 0x00}, AssignmentType::Disabled, 0},
        {{0x06, 0xA2, 0x01}, AssignmentType::Disabled, 0},
        {{0x01, 0x00, 0x00}, AssignmentType::Disabled, 0},
    };
    for (const Case& c : cases) {
        AssignmentTable table = defaultTable();
        KeyMapLayer page = BuiltInDefaultLayout;
        setHardwareKeyRecordAt(page, kPositionOfA, c.record);
        ASSERT_TRUE(decodeKeyMapLayer(table, 0, page, BuiltInDefaultLayout));
        const KeyAssignment decoded = *table.recordOf(0, keyIndexOf(0x01E));
        const std::string what = std::to_string(c.record.kind) + " " + std::to_string(c.record.b1) +
                                 " " + std::to_string(c.record.b2);
        EXPECT_EQ(decoded.type, c.type) << what;
        EXPECT_EQ(decoded.value, c.value) << what;
        EXPECT_EQ(*table.recordOf(0, keyIndexOf(0x030)), KeyAssignment{}) << what;
    }
}

TEST(KeyMapCodecTest, DecodingKeepsTheGKeyTagsAndOtherLayers) {
    KeyMapLayer layout = BuiltInDefaultLayout;
    setHardwareKeyRecordAt(layout, 3, {0x06, 0xA2, 0x0B}); // G2 of the second bank
    KeyMapLayer page = layout;
    setHardwareKeyRecordAt(page, 3, {0x05, 0x01, 0x00});
    AssignmentTable table = defaultTable();
    table.storeRecord(0, keyIndexOf(0x01E), assignment(AssignmentType::Media, 2));

    ASSERT_TRUE(decodeKeyMapLayer(table, 1, page, layout));
    const KeyAssignment gKey = *table.recordOf(1, 266);
    EXPECT_EQ(gKey.type, AssignmentType::PlayMacro);
    EXPECT_EQ(gKey.value, 1u);
    EXPECT_EQ(gKey.tag, 0x1302);
    EXPECT_EQ(*table.recordOf(0, keyIndexOf(0x01E)), assignment(AssignmentType::Media, 2));
    EXPECT_FALSE(decodeKeyMapLayer(table, 4, page, layout));
    EXPECT_FALSE(decodeKeyMapLayer(table, -1, page, layout));
}

TEST(KeyMapCodecTest, RandomLayersSurviveBuildAndDecode) {
    // Keys named by the built-in layout, and single keys the keyboard can send.
    std::map<KeyIndex, Record> defaultRecordOfRow;
    for (std::size_t k = 0; k < kKeyPositionCount; ++k) {
        const Record record = hardwareKeyRecordAt(BuiltInDefaultLayout, k);
        if (const KeyCode code = keyCodeOfRecord(record); code != 0) {
            defaultRecordOfRow[keyIndexOf(code)] = record;
        }
    }
    std::vector<KeyCode> sendable;
    for (KeyIndex row = 0; row < 256; ++row) {
        const KeyCode code = keyCodeOfIndex(row);
        const HidUsage usage = hidUsageOf(code);
        if (modifierBitOf(code) != 0 ||
            (usage.page == kKeyboardPage && keyCodeOfHidUsage(usage) == code)) {
            sendable.push_back(code);
        }
    }
    macro::MacroList macros(20);
    for (std::uint16_t i = 0; i < macros.size(); ++i) {
        macros[i].setId(static_cast<std::uint16_t>(i + 1));
    }
    const MacroIndexLookup lookup = [&macros](std::uint16_t id) {
        return macro::macroIndexOfId(macros, id);
    };

    std::mt19937 random(77);
    auto pick = [&](std::size_t high) {
        return std::uniform_int_distribution<std::size_t>(0, high)(random);
    };
    for (int round = 0; round < 50; ++round) {
        AssignmentTable table = defaultTable();
        for (const auto& [row, unused] : defaultRecordOfRow) {
            KeyAssignment a;
            switch (pick(6)) {
            case 0:
                a = assignment(AssignmentType::Default, 0);
                break;
            case 1:
                a = assignment(AssignmentType::Disabled, 0);
                break;
            case 2:
                a = assignment(AssignmentType::SingleKey, sendable[pick(sendable.size() - 1)]);
                break;
            case 3:
                a = assignment(AssignmentType::PlayMacro, static_cast<std::uint32_t>(pick(19) + 1));
                break;
            case 4:
                a = assignment(AssignmentType::StopMacro, 0);
                break;
            case 5:
                a = assignment(AssignmentType::Media, static_cast<std::uint32_t>(pick(17)));
                break;
            default:
                a = assignment(AssignmentType::Function, static_cast<std::uint32_t>(pick(10)));
                break;
            }
            table.storeRecord(0, row, a);
        }
        const KeyMapLayer page = *buildKeyMapLayer(table, 0, BuiltInDefaultLayout, lookup);
        AssignmentTable decoded = defaultTable();
        ASSERT_TRUE(decodeKeyMapLayer(decoded, 0, page, BuiltInDefaultLayout));
        for (const auto& [row, defaultRecord] : defaultRecordOfRow) {
            const KeyAssignment original = *table.recordOf(0, row);
            const KeyAssignment back = *decoded.recordOf(0, row);
            // An assignment that gives the position its own record (a key
            // assigned to itself) reads back as Default.
            if (hardwareRecordOfAssignment(original, defaultRecord, lookup) == defaultRecord) {
                EXPECT_EQ(back.type, AssignmentType::Default) << row;
                continue;
            }
            EXPECT_EQ(back.type, original.type) << row;
            EXPECT_EQ(back.value, original.value) << row;
        }
    }
}

} // namespace
} // namespace tavrik::keyboard
