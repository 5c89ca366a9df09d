#include "text/TextFormat.h"

#include <gtest/gtest.h>

namespace tavrik::text {
namespace {

struct IntegerCase {
    std::u16string_view format;
    std::int64_t value;
    std::u16string_view expected;
};

// Expected texts as printf gives them for the same directive and argument.
TEST(TextFormat, IntegerDirectivesFormatLikePrintf) {
    const IntegerCase cases[] = {
        {u"Unknown Key: %03x", 0x5A, u"Unknown Key: 05a"},
        {u"%03x", 0x1234, u"1234"},
        {u"The maximum number of macro: %d   ", 100, u"The maximum number of macro: 100   "},
        {u"%5d|", 42, u"   42|"},
        {u"%-5d|", 42, u"42   |"},
        {u"%05d", -42, u"-0042"},
        {u"%+d", 7, u"+7"},
        {u"% d", 7, u" 7"},
        {u"%.4u", 9, u"0009"},
        {u"%#x %#X %#o", 255, u"0xff %#X %#o"},
        {u"%X", 0xBEEF, u"BEEF"},
        {u"%u", -1, u"4294967295"},
        {u"%ld", 12, u"12"},
        {u"100%% %d", 5, u"100% 5"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(formatWithInteger(c.format, c.value), c.expected)
            << std::string(c.format.begin(), c.format.end());
    }
}

TEST(TextFormat, OnlyTheFirstFittingDirectiveReadsTheArgument) {
    // A text directive before the integer one, and further directives after
    // it, stay as they are: nothing reads an argument that is not there.
    EXPECT_EQ(formatWithInteger(u"%s %d %d %n %p", 3), u"%s 3 %d %n %p");
    EXPECT_EQ(formatWithText(u"%d %s %s", u"path"), u"%d path %s");
    EXPECT_EQ(formatWithText(u"no directive", u"x"), u"no directive");
    EXPECT_EQ(formatWithText(u"ends with %", u"x"), u"ends with %");
    EXPECT_EQ(formatWithInteger(u"%", 1), u"%");
}

TEST(TextFormat, TextDirectivesTakeWidthPrecisionAndTheWholeText) {
    EXPECT_EQ(formatWithText(u"wrong file format, revert to the default values: \n  %s",
                             u"/home/u/a.fwc"),
              u"wrong file format, revert to the default values: \n  /home/u/a.fwc");
    EXPECT_EQ(formatWithText(u"[%6s]", u"ab"), u"[    ab]");
    EXPECT_EQ(formatWithText(u"[%-6s]", u"ab"), u"[ab    ]");
    EXPECT_EQ(formatWithText(u"[%.2s]", u"abcdef"), u"[ab]");
    EXPECT_EQ(formatWithText(u"[%ls]", u"wide"), u"[wide]");
    // A text longer than any width is never cut.
    const std::u16string longText(1000, u'x');
    EXPECT_EQ(formatWithText(u"%s", longText), longText);
}

TEST(TextFormat, HugeWidthsFromABrokenFileAreCapped) {
    EXPECT_EQ(formatWithInteger(u"%99999999999999999999d", 1).size(), kLargestFormatWidth);
    EXPECT_EQ(formatWithText(u"%.99999999999999999999s", u"abc"), u"abc");
    EXPECT_EQ(formatWithText(u"%99999999999s", u"abc").size(), kLargestFormatWidth);
}

} // namespace
} // namespace tavrik::text
