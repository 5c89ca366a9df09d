#include "macro/MacroAreaImage.h"

#include "keyboard/KeyTable.h"
#include "text/LanguageTexts.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace tavrik::macro {
namespace {

using Bytes = std::vector<std::uint8_t>;

MacroRecord makeMacro(std::u16string_view name, std::uint8_t cycles,
                      std::vector<MacroAction> actions, std::uint16_t id = 1) {
    MacroRecord record;
    record.setName(name);
    record.setCycles(cycles);
    record.setId(id);
    record.setActions(actions);
    return record;
}

Bytes build(const MacroList& list, bool names) {
    const MacroAreaSizes sizes = measureMacroAreaImage(list);
    Bytes image(names ? sizes.withNames : sizes.withoutNames, 0xEE);
    EXPECT_TRUE(buildMacroAreaImage(list, image, names));
    return image;
}

void put16(Bytes& image, std::size_t offset, std::uint16_t value) {
    image[offset] = static_cast<std::uint8_t>(value);
    image[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

TEST(MacroAreaImageTest, OneNamedMacroByteForByte) {
    const MacroList list{makeMacro(u"ab", 1, {{120, 0x1E, kPress}, {0, 0x1E, kRelease}})};
    const Bytes expected{0xAA, 0x55, 0x22, 0x00, 0x01, 0x00, 0x01, 0x00, 0,    0,    0,    0,
                         0,    0,    0,    0,    0x12, 0x00, 0x02, 0x00, 0x01, 0x02, 0x0C, 0xA0,
                         0x02, 0x04, 0x00, 0x20, 0x02, 0x04, 0x61, 0x00, 0x62, 0x00};
    EXPECT_EQ(measureMacroAreaImage(list).withNames, 34u);
    EXPECT_EQ(measureMacroAreaImage(list).withoutNames, 30u);
    EXPECT_EQ(build(list, true), expected);
}

TEST(MacroAreaImageTest, EmptyListGivesTheHeaderAlone) {
    EXPECT_EQ(measureMacroAreaImage(MacroList{}).withNames, 16u);
    EXPECT_EQ(measureMacroAreaImage(MacroList{}).withoutNames, 16u);
    EXPECT_EQ(build(MacroList{}, false),
              (Bytes{0xAA, 0x55, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(build(MacroList{}, true),
              (Bytes{0xAA, 0x55, 16, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(MacroAreaImageTest, SizesAndOffsetsOfSeveralMacros) {
    const MacroList list{makeMacro(u"abc", 2, std::vector<MacroAction>(3, {10, 0x1E, 0})),
                         makeMacro(u"", 1, {}), makeMacro(u"z", 9, {{0, 0x30, 1}})};
    // Header 16, offsets 6; records 4+12, 4, 4+4; names 6+0+2.
    EXPECT_EQ(measureMacroAreaImage(list).withoutNames, 50u);
    EXPECT_EQ(measureMacroAreaImage(list).withNames, 58u);
    const Bytes image = build(list, false);
    EXPECT_EQ(image[2], 50);
    EXPECT_EQ(image[4], 3);
    EXPECT_EQ(image[6], 0);
    EXPECT_EQ((Bytes{image.begin() + 16, image.begin() + 22}), (Bytes{22, 0, 38, 0, 42, 0}));
    EXPECT_EQ(image[22 + 3], 0); // no name length without names
    EXPECT_EQ(image[42 + 2], 9);
}

TEST(MacroAreaImageTest, PausesAreStoredInTenMillisecondUnitsAndCutAtTheFieldLimit) {
    struct Case {
        std::int32_t pause;
        std::uint16_t units;
    };
    const Case cases[] = {{0, 0},        {9, 0},        {125, 12},     {40950, 4095},
                          {40959, 4095}, {40960, 4095}, {50000, 4095}, {0x7FFFFFFF, 4095},
                          {-5, 0}};
    for (const Case& c : cases) {
        const auto bytes = encodeMacroAreaAction(MacroAction{c.pause, 0x1E, kRelease});
        EXPECT_EQ((bytes[0] | (bytes[1] << 8)) & 0x0FFF, c.units) << c.pause;
        EXPECT_EQ(decodeMacroAreaAction(bytes.data()).pause, c.units * 10) << c.pause;
    }
}

TEST(MacroAreaImageTest, KeysAreEncodedByTheirUsage) {
    struct Case {
        std::uint16_t keyCode;
        std::uint8_t usageClass;
        std::uint8_t byte2;
        std::uint8_t byte3;
    };
    const Case cases[] = {
        {0x01D, 2, 1, 0x01},    {0x02A, 2, 1, 0x02}, {0x038, 2, 1, 0x04},    {0x15B, 2, 1, 0x08},
        {0x11D, 2, 1, 0x10},    {0x036, 2, 1, 0x20}, {0x138, 2, 1, 0x40},    {0x15C, 2, 1, 0x80},
        {0x01E, 2, 2, 0x04},    {0x045, 2, 2, 0x48}, {0x130, 3, 0xE9, 0x00}, {0x121, 3, 0x92, 0x01},
        {0x15E, 4, 0x81, 0x00}, {0x054, 0, 0, 0},    {0x000, 0, 0, 0},       {0x205, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const auto bytes = encodeMacroAreaAction(MacroAction{0, c.keyCode, kPress});
        EXPECT_EQ(bytes[1] & 0x80, 0x80) << std::hex << c.keyCode;
        EXPECT_EQ((bytes[1] >> 4) & 0x7, c.usageClass) << std::hex << c.keyCode;
        EXPECT_EQ(bytes[2], c.byte2) << std::hex << c.keyCode;
        EXPECT_EQ(bytes[3], c.byte3) << std::hex << c.keyCode;
    }
    EXPECT_EQ(encodeMacroAreaAction(MacroAction{0, 0x1E, kRelease})[1] & 0x80, 0);
}

TEST(MacroAreaImageTest, KeyBytesDecodeToKeyCodes) {
    struct Case {
        std::uint8_t classAndPress; // high byte of the first word
        std::uint8_t byte2;
        std::uint8_t byte3;
        std::uint16_t keyCode;
        std::uint16_t direction;
    };
    const Case cases[] = {
        {0xA0, 0x01, 0x41, 0x01D, kPress}, // lowest modifier bit wins
        {0x20, 0x01, 0x40, 0x138, kRelease}, {0xA0, 0x07, 0x40, 0x138, kPress},
        {0xA0, 0x02, 0x04, 0x01E, kPress},   {0xA0, 0x02, 0xE5, 0x036, kPress},
        {0xA0, 0x02, 0x00, 0x000, kPress},   {0xB0, 0xCD, 0x00, 0x122, kPress},
        {0xB0, 0x34, 0x12, 0x000, kPress},   {0xC0, 0x82, 0x00, 0x15F, kPress},
        {0xC0, 0x80, 0x00, 0x000, kPress},   {0x80, 0x02, 0x04, 0x000, kPress},
        {0x90, 0x02, 0x04, 0x000, kPress},   {0xD0, 0x02, 0x04, 0x000, kPress},
        {0xF0, 0x02, 0x04, 0x000, kPress},
    };
    for (const Case& c : cases) {
        const std::uint8_t bytes[4] = {0x00, c.classAndPress, c.byte2, c.byte3};
        const MacroAction action = decodeMacroAreaAction(bytes);
        EXPECT_EQ(action.keyCode, c.keyCode)
            << std::hex << int(c.classAndPress) << " " << int(c.byte2) << " " << int(c.byte3);
        EXPECT_EQ(action.direction, c.direction);
    }
}

TEST(MacroAreaImageTest, DecodedRecordsTakeTheirPositionAsIdAndAFreshRecord) {
    MacroRecord source = makeMacro(u"first", 4, {{120, 0x1E, kPress}}, 42);
    source.setNewFlag(1);
    const Bytes image = build(MacroList{source, makeMacro(u"second", 5, {}, 17)}, true);
    MacroList decoded{makeMacro(u"stale", 1, {})};
    ASSERT_EQ(decodeMacroAreaImage(image, decoded), 2u);
    ASSERT_EQ(decoded.size(), 2u);

    MacroRecord expected = makeMacro(u"first", 4, {{120, 0x1E, kPress}}, 1);
    EXPECT_TRUE(decoded[0].bytes() == expected.bytes());
    EXPECT_EQ(decoded[1].id(), 2);
    EXPECT_EQ(decoded[1].name(), u"second");
}

class MacroAreaNamesTest : public ::testing::Test {
protected:
    void TearDown() override { text::resetLanguageTexts(); }
};

TEST_F(MacroAreaNamesTest, RecordWithoutStoredNameIsNamedByPrefixAndPosition) {
    const MacroList list{makeMacro(u"one", 1, {}), makeMacro(u"two", 1, {})};
    MacroList decoded;
    ASSERT_EQ(decodeMacroAreaImage(build(list, false), decoded), 2u);
    EXPECT_EQ(decoded[0].name(), u"Macro1");
    EXPECT_EQ(decoded[1].name(), u"Macro2");

    // A stored name that starts with its terminator is no name either.
    Bytes named = build(list, true);
    named[20 + 4] = 0; // first unit of the first name
    named[20 + 5] = 0;
    ASSERT_EQ(decodeMacroAreaImage(named, decoded), 2u);
    EXPECT_EQ(decoded[0].name(), u"Macro1");
    EXPECT_EQ(decoded[1].name(), u"two");

    text::setLanguageText("MACRO_NEW_PREFIX", u"M#");
    ASSERT_EQ(decodeMacroAreaImage(build(list, false), decoded), 2u);
    EXPECT_EQ(decoded[1].name(), u"M#2");
}

std::vector<std::uint16_t> keysThatRoundTrip() {
    std::vector<std::uint16_t> keys;
    for (std::uint16_t row = 0; row < 256; ++row) {
        const auto code = keyboard::keyCodeOfIndex(row);
        const auto usage = keyboard::hidUsageOf(code);
        if (usage.page != 0 &&
            (keyboard::modifierBitOf(code) != 0 || keyboard::keyCodeOfHidUsage(usage) == code)) {
            keys.push_back(code);
        }
    }
    return keys;
}

TEST(MacroAreaImageTest, RandomListsSurviveEncodeAndDecode) {
    const std::vector<std::uint16_t> keys = keysThatRoundTrip();
    ASSERT_GT(keys.size(), 100u);
    std::mt19937 random(20240611);
    auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    for (int round = 0; round < 40; ++round) {
        MacroList list;
        const int count = pick(0, 12);
        for (int m = 0; m < count; ++m) {
            std::u16string name;
            const int nameLength = pick(1, 249);
            for (int i = 0; i < nameLength; ++i) {
                name.push_back(static_cast<char16_t>(pick(0x20, 0xD7FF)));
            }
            std::vector<MacroAction> actions;
            const int actionCount = pick(0, 60);
            for (int a = 0; a < actionCount; ++a) {
                actions.push_back({pick(0, 4095) * 10, keys[pick(0, int(keys.size()) - 1)],
                                   static_cast<std::uint16_t>(pick(0, 1))});
            }
            list.push_back(makeMacro(name, static_cast<std::uint8_t>(pick(1, 255)), actions,
                                     static_cast<std::uint16_t>(pick(1, 100))));
        }
        for (const bool names : {true, false}) {
            MacroList decoded;
            ASSERT_EQ(decodeMacroAreaImage(build(list, names), decoded), list.size());
            for (std::size_t i = 0; i < list.size(); ++i) {
                EXPECT_EQ(decoded[i].id(), i + 1);
                EXPECT_EQ(decoded[i].cycles(), list[i].cycles());
                EXPECT_EQ(decoded[i].actions(), list[i].actions());
                if (names) {
                    EXPECT_EQ(decoded[i].name(), list[i].name());
                }
            }
        }
    }
}

TEST(MacroAreaImageTest, BuildRefusesWhatItCannotHold) {
    const MacroList list{makeMacro(u"ab", 1, {{0, 0x1E, 0}})};
    Bytes small(measureMacroAreaImage(list).withNames - 1, 0xEE);
    EXPECT_FALSE(buildMacroAreaImage(list, small, true));
    EXPECT_EQ(small, Bytes(small.size(), 0xEE));

    const MacroList tooMany(101, makeMacro(u"", 1, {}));
    Bytes roomy(2000, 0xEE);
    EXPECT_FALSE(buildMacroAreaImage(tooMany, roomy, false));

    const MacroList huge(9, makeMacro(u"", 1, std::vector<MacroAction>(2000, {0, 0x1E, 0})));
    Bytes large(measureMacroAreaImage(huge).withoutNames);
    EXPECT_GT(large.size(), 0xFFFFu);
    EXPECT_FALSE(buildMacroAreaImage(huge, large, false));
}

// Images read back from a keyboard are untrusted.
class UntrustedMacroAreaTest : public ::testing::Test {
protected:
    // Three macros of 1, 2 and 3 actions, with names "a", "bb", "ccc".
    Bytes goodImage() {
        return build(MacroList{makeMacro(u"a", 1, std::vector<MacroAction>(1, {10, 0x1E, 0})),
                               makeMacro(u"bb", 2, std::vector<MacroAction>(2, {20, 0x30, 1})),
                               makeMacro(u"ccc", 3, std::vector<MacroAction>(3, {30, 0x2E, 0}))},
                     true);
    }
    static constexpr std::size_t kSecondOffsetEntry = 18;

    std::vector<std::uint16_t> idsOf(const Bytes& image) {
        MacroList decoded;
        const std::size_t count = decodeMacroAreaImage(image, decoded);
        EXPECT_EQ(count, decoded.size());
        std::vector<std::uint16_t> ids;
        for (const MacroRecord& record : decoded) {
            ids.push_back(record.id());
        }
        return ids;
    }
};

TEST_F(UntrustedMacroAreaTest, ShortOrForeignHeaderHoldsNoMacros) {
    const Bytes image = goodImage();
    for (std::size_t size = 0; size < 16; ++size) {
        EXPECT_TRUE(idsOf(Bytes(image.begin(), image.begin() + size)).empty()) << size;
    }
    Bytes foreign = image;
    put16(foreign, 0, 0xAA55);
    EXPECT_TRUE(idsOf(foreign).empty());
    EXPECT_EQ(idsOf(image), (std::vector<std::uint16_t>{1, 2, 3}));
}

TEST_F(UntrustedMacroAreaTest, BrokenMacrosAreDroppedAndTheOthersKeepTheirIds) {
    const Bytes good = goodImage();
    const std::uint16_t second = static_cast<std::uint16_t>(good[18] | (good[19] << 8));
    struct Case {
        const char* what;
        std::size_t offset;
        std::uint16_t value;
        bool word;
    };
    const Case cases[] = {
        {"offset past the end", kSecondOffsetEntry, 0xFFF0, true},
        {"offset at the last byte", kSecondOffsetEntry, static_cast<std::uint16_t>(good.size() - 1),
         true},
        {"offset into the header", kSecondOffsetEntry, 4, true},
        {"offset into the offset table", kSecondOffsetEntry, 20, true},
        {"action count past the end", second, 0x4000, true},
        {"name length past the end", second + 3u, 0xFF, false},
    };
    for (const Case& c : cases) {
        Bytes image = good;
        if (c.word) {
            put16(image, c.offset, c.value);
        } else {
            image[c.offset] = static_cast<std::uint8_t>(c.value);
        }
        EXPECT_EQ(idsOf(image), (std::vector<std::uint16_t>{1, 3})) << c.what;
    }
}

TEST_F(UntrustedMacroAreaTest, TruncatedImageKeepsTheWholeMacros) {
    const Bytes good = goodImage();
    // The last name is cut by one byte; then the offset table itself is cut.
    EXPECT_EQ(idsOf(Bytes(good.begin(), good.end() - 1)), (std::vector<std::uint16_t>{1, 2}));
    EXPECT_EQ(idsOf(Bytes(good.begin(), good.begin() + 19)), std::vector<std::uint16_t>{});
    EXPECT_EQ(idsOf(Bytes(good.begin(), good.begin() + 16)), std::vector<std::uint16_t>{});
}

TEST_F(UntrustedMacroAreaTest, NeverMoreThan100Macros) {
    const MacroList hundred(100, makeMacro(u"m", 1, {{0, 0x1E, 0}}));
    Bytes image = build(hundred, true);
    // Claim 150 macros: the first 100 offset entries still point at records.
    put16(image, 4, 150);
    image.insert(image.begin() + 216, 100, 0);
    for (std::size_t i = 0; i < 100; ++i) {
        const std::size_t entry = 16 + 2 * i;
        put16(image, entry,
              static_cast<std::uint16_t>((image[entry] | (image[entry + 1] << 8)) + 100));
    }
    MacroList decoded;
    EXPECT_EQ(decodeMacroAreaImage(image, decoded), 100u);
    EXPECT_EQ(decoded.back().id(), 100);
    EXPECT_EQ(decoded.back().name(), u"m");
}

TEST_F(UntrustedMacroAreaTest, NeverMoreThan2000ActionsAnd249NameUnits) {
    // One record of 2100 stored actions followed by a 255-unit name.
    const std::size_t actions = 2100;
    const std::size_t nameUnits = 255;
    Bytes image(18 + 4 + 4 * actions + 2 * nameUnits, 0);
    put16(image, 0, 0x55AA);
    put16(image, 2, static_cast<std::uint16_t>(image.size()));
    put16(image, 4, 1);
    put16(image, 6, 1);
    put16(image, 16, 18);
    put16(image, 18, static_cast<std::uint16_t>(actions));
    image[20] = 1;
    image[21] = static_cast<std::uint8_t>(nameUnits);
    for (std::size_t i = 0; i < actions; ++i) {
        const std::size_t at = 22 + 4 * i;
        put16(image, at, static_cast<std::uint16_t>(0xA000 | (i % 4096)));
        image[at + 2] = 2;
        image[at + 3] = 4;
    }
    for (std::size_t i = 0; i < nameUnits; ++i) {
        put16(image, 22 + 4 * actions + 2 * i, u'n');
    }
    MacroList decoded;
    ASSERT_EQ(decodeMacroAreaImage(image, decoded), 1u);
    EXPECT_EQ(decoded[0].actionCount(), 2000u);
    EXPECT_EQ(decoded[0].action(1999), (MacroAction{19990, 0x1E, kPress}));
    EXPECT_EQ(decoded[0].name(), std::u16string(249, u'n'));
}

} // namespace
} // namespace tavrik::macro
