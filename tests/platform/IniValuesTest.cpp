#include "platform/IniValues.h"

#include "tests/platform/IniTestFiles.h"
#include "tests/support/TemporaryFolder.h"

#include <climits>
#include <gtest/gtest.h>

namespace tavrik::platform {
namespace {

TEST(IniValues, IntegersAreReadUpToTheFirstNonDigit) {
    struct Case {
        std::u16string_view text;
        int expected;
    };
    const Case cases[] = {
        {u"1", 1},
        {u"2", 2},
        {u"", 0},
        {u" ", 0},
        {u"abc", 0},
        {u"x1", 0},
        {u" 12x", 12},
        {u"007", 7},
        {u"-7", -7},
        {u"+5", 5},
        {u"- 1", 0},
        {u"1.9", 1},
        {u"2147483647", INT_MAX},
        {u"99999999999999999999", INT_MAX},
        {u"-2147483648", INT_MIN},
        {u"-99999999999999999999", INT_MIN},
        {u"\uFF11", 0}, // a full-width digit is no decimal digit here
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parseIniInteger(c.text), c.expected) << std::string(c.text.begin(), c.text.end());
    }
}

TEST(IniValues, RectanglesNeedAllFourNumbers) {
    struct Case {
        std::u16string_view text;
        LayoutRectangle expected;
    };
    const Case cases[] = {
        {u"10,20,30,40", {10, 20, 30, 40}},
        {u"1,1,1,1,x", {1, 1, 1, 1}},
        {u" 5, 6,\t7, 8 and more", {5, 6, 7, 8}},
        {u"-3,4,+5,6", {-3, 4, 5, 6}},
        {u"0,0,0,0", {0, 0, 0, 0}},
        {u"10,20,30", {1, 1, 1, 1}},
        {u"10 ,20,30,40", {1, 1, 1, 1}},
        {u"10;20;30;40", {1, 1, 1, 1}},
        {u"a,b,c,d", {1, 1, 1, 1}},
        {u"", {1, 1, 1, 1}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parseLayoutRectangle(c.text), c.expected)
            << std::string(c.text.begin(), c.text.end());
    }
}

TEST(IniValues, ReadsFromLayoutAndSettingsFiles) {
    testing::TemporaryFolder folder;
    const std::string path = folder.file("Main.ini");
    ASSERT_TRUE(testing::writeBytes(path, "[BUTTONINFO]\nCONTROL_OK=10,20,30,40\n"
                                          "[KEYCOLOR]\nDengCheck=2\n"));
    const IniFile file(path);
    EXPECT_EQ(readLayoutRectangle(file, kLayoutSection, u"control_ok"),
              (LayoutRectangle{10, 20, 30, 40}));
    EXPECT_EQ(readLayoutRectangle(file.snapshot(), kLayoutSection, u"FUNC_G1"),
              (LayoutRectangle{1, 1, 1, 1}));
    EXPECT_EQ(readIniInteger(file, u"KEYCOLOR", u"DengCheck", u"0"), 2);
    EXPECT_EQ(readIniInteger(file.snapshot(), u"KEYCOLOR", u"Missing", u"0"), 0);
}

} // namespace
} // namespace tavrik::platform
