#include "tools/vkbd/KeyboardDump.h"

#include "macro/MacroAreaImage.h"
#include "service/virtual/DefaultLayout.h"
#include "service/virtual/KeyboardMemory.h"

#include <gtest/gtest.h>
#include <memory>

namespace tavrik::vkbd {
namespace {

TEST(KeyboardDump, KeyRecordsByKind) {
    struct Case {
        std::array<std::uint8_t, 3> record;
        std::string meaning;
    };
    const Case cases[] = {
        {{0x00, 0x00, 0x00}, "off"},
        {{0x02, 0x02, 0x04}, "key A"},
        {{0x02, 0x01, 0x40}, "modifier Right Alt"},
        {{0x02, 0x01, 0x03}, "modifier Ctrl + Shift"},
        {{0x05, 0x01, 0x02}, "macro 2"},
        {{0x05, 0x02, 0x00}, "stop macro"},
        {{0x06, 0xA2, 0x01}, "G key A1"},
        {{0x06, 0xA2, 0x0A}, "G key B1"},
        {{0x06, 0xA2, 0x12}, "G key B9"},
        {{0x06, 0xA2, 0x13}, "no key (06 A2 13)"},
        {{0x05, 0x00, 0x00}, "no key (05 00 00)"},
        {{0x01, 0x02, 0x03}, "no key (01 02 03)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(describeKeyRecord(c.record[0], c.record[1], c.record[2]), c.meaning);
    }
    EXPECT_EQ(describeKeyRecord(0x03, 0xCD, 0x00).substr(0, 20), "media usage 0x00CD (");
    EXPECT_EQ(describeKeyRecord(0x05, 0x05, 0x09).substr(0, 10), "function 9");
}

KeyboardAreas factoryAreas() {
    const auto memory =
        std::make_unique<service::KeyboardMemory>(service::KeyboardMemory::factoryFresh());
    KeyboardAreas areas;
    areas.info.assign(memory->info.begin(), memory->info.end());
    for (std::size_t page = 0; page < 3; ++page) {
        areas.pages[page].assign(memory->pages.begin() + 512 * page,
                                 memory->pages.begin() + 512 * (page + 1));
    }
    areas.layout.assign(service::defaultLayout().begin(), service::defaultLayout().end());
    areas.macro.assign(memory->macro.begin(), memory->macro.end());
    areas.lighting.assign(memory->lighting.begin(), memory->lighting.end());
    areas.zones.assign(memory->zones.begin(), memory->zones.end());
    areas.led = {0x05, 0x03};
    return areas;
}

TEST(KeyboardDump, DecodesEveryArea) {
    KeyboardAreas areas = factoryAreas();
    areas.info[10] = 1;
    areas.pages[1][3 * 9] = 0x05; // position 9 plays macro 0
    areas.pages[1][3 * 9 + 1] = 0x01;
    areas.pages[1][3 * 9 + 2] = 0x00;
    macro::MacroRecord record;
    record.setName(u"ab");
    record.setCycles(3);
    const macro::MacroAction actions[] = {{120, 0x01E, macro::kPress}, {0, 0x01E, macro::kRelease}};
    record.setActions(actions);
    const std::vector<macro::MacroRecord> list = {record};
    const macro::MacroAreaSizes sizes = macro::measureMacroAreaImage(list);
    ASSERT_TRUE(
        macro::buildMacroAreaImage(list, std::span(areas.macro).first(sizes.withNames), true));

    const std::string dump = describeKeyboard(areas);
    const auto contains = [&](const std::string& text) {
        return dump.find(text) != std::string::npos;
    };
    EXPECT_TRUE(contains("active profile   1 (profile 2)")) << dump;
    EXPECT_TRUE(contains("255 units of 128 bytes = 32640 bytes"));
    EXPECT_TRUE(contains("effects          1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 \n"));
    EXPECT_TRUE(contains("   128  06 A2 01  G key A1\n"));
    EXPECT_TRUE(contains(" *   9  05 01 00  macro 0   (default: key "));
    EXPECT_EQ(dump.find(" *   9"), dump.rfind(" *   9")) << "only on the changed page";
    EXPECT_TRUE(contains("Macro area: 34 bytes, 1 macro(s), names stored\n"
                         "  macro 0 \"ab\", 3 cycle(s), 2 action(s)\n"
                         "    press   A, pause 120 ms\n"
                         "    release A\n"));
    EXPECT_TRUE(contains("Lighting of profile 3: effect 1, brightness 4, speed 1, direction 0 "
                         "(right), random colour on, colour FF0000, report rate 255 (counts as 3), "
                         "preset colour 0 (red)\n"
                         "  base colour FFFFFF, second colour FFFFFF (random off), third colour "
                         "FFFFFF (random off), flag 0, trigger mode 0\n"));
    EXPECT_TRUE(contains("Zone colours of profile 1:  zone 0 FFFFFF/FFFFFF"));
    EXPECT_TRUE(contains("LED report: 05 03 (bank B)"));
}

TEST(KeyboardDump, LightingRecordsAreDecodedFieldByField) {
    KeyboardAreas areas = factoryAreas();
    // Profile 2: effect 8, left, colour 33 22 11 without random colours,
    // report rate 2, preset blue; its second colour random.
    const std::uint8_t record[] = {8, 3,    0,    1,    0,    0x33, 0x22, 0x11, 8, 0x0A, 0x0B, 0x0C,
                                   0, 0,    0,    2,    0xFF, 3,    1,    0,    0, 0xFF, 0xFF, 0,
                                   0, 0x40, 0x50, 0x60, 1,    0,    0,    0,    0, 0};
    std::copy(std::begin(record), std::end(record), areas.lighting.begin() + 42);
    areas.lighting[84 + 17] = 9; // a preset the keyboard does not have
    areas.zones[36 + 6] = 0x12;  // profile 2, zone 1's first colour
    const std::string dump = describeKeyboard(areas);
    const auto contains = [&](const std::string& text) {
        return dump.find(text) != std::string::npos;
    };
    EXPECT_TRUE(contains("Lighting of profile 2: effect 8, brightness 3, speed 0, direction 1 "
                         "(left), random colour off, colour 332211, report rate 2, preset colour 3 "
                         "(blue)\n"
                         "  base colour 0A0B0C, second colour 405060 (random on), third colour "
                         "000000 (random off), flag 1, trigger mode 0\n"))
        << dump;
    EXPECT_TRUE(contains("report rate 255 (counts as 3), preset colour 9 (red)"));
    EXPECT_TRUE(contains("Zone colours of profile 2:  zone 0 FFFFFF/FFFFFF  zone 1 12FFFF/FFFFFF"));
}

TEST(KeyboardDump, ShortOrEmptyAreasAreReportedNotRead) {
    KeyboardAreas areas = factoryAreas();
    areas.info.resize(20);
    areas.pages[2].clear();
    areas.layout.clear();
    areas.macro.resize(3);
    areas.lighting.resize(100);
    areas.led.clear();
    const std::string dump = describeKeyboard(areas);
    EXPECT_NE(dump.find("Device information: missing (20 of 44 bytes)"), std::string::npos);
    EXPECT_NE(dump.find("Key map of profile 3 (page2): missing (0 of 512 bytes)"),
              std::string::npos);
    EXPECT_NE(dump.find("0 position(s) differ"), std::string::npos) << "no layout: nothing marked";
    EXPECT_NE(dump.find("Macro area: no macro image"), std::string::npos);
    EXPECT_NE(dump.find("Lighting: missing (100 of 126 bytes)"), std::string::npos);
    EXPECT_NE(dump.find("LED report: none written"), std::string::npos);
}

} // namespace
} // namespace tavrik::vkbd
