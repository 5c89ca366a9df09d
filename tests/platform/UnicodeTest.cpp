#include "platform/Unicode.h"

#include <gtest/gtest.h>

namespace tavrik::platform {
namespace {

TEST(Unicode, ConvertsBetweenUtf8AndUtf16) {
    struct Case {
        std::string_view utf8;
        std::u16string_view utf16;
    };
    const Case cases[] = {
        {"plain", u"plain"},
        {"caf\xC3\xA9", u"caf\u00E9"},
        {"\xE9\x94\xAE\xE7\x9B\x98", u"\u952E\u76D8"},
        {"\xF0\x9F\x98\x80", u"\U0001F600"},
        {"", u""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(toUtf16(c.utf8), c.utf16);
        EXPECT_EQ(toUtf8(c.utf16), c.utf8);
    }
}

TEST(Unicode, InvalidUtf8BytesStandForLatin1Characters) {
    EXPECT_EQ(toUtf16("caf\xE9"), u"caf\u00E9");
    EXPECT_EQ(toUtf16("\xC0\xAF"), u"\u00C0\u00AF");                     // overlong '/'
    EXPECT_EQ(toUtf16("\xED\xA0\x80"), u"\u00ED\u00A0\u0080");           // encoded surrogate
    EXPECT_EQ(toUtf16("\xE9\x94"), u"\u00E9\u0094");                     // cut short
    EXPECT_EQ(toUtf16("\xF4\x90\x80\x80"), u"\u00F4\u0090\u0080\u0080"); // beyond U+10FFFF
}

TEST(Unicode, UnpairedSurrogatesBecomeReplacementCharacters) {
    EXPECT_EQ(toUtf8(std::u16string{u'a', char16_t(0xD83D), u'b'}), "a\xEF\xBF\xBD"
                                                                    "b");
    EXPECT_EQ(toUtf8(std::u16string{char16_t(0xDE00)}), "\xEF\xBF\xBD");
}

TEST(Unicode, FoldsLettersOfTheLatinGreekAndCyrillicAlphabets) {
    struct Case {
        char16_t character, folded;
    };
    const Case cases[] = {
        {u'A', u'a'},           {u'Z', u'z'},           {u'a', u'a'},
        {u'@', u'@'},           {u'[', u'['},           {u'\u00C0', u'\u00E0'}, // À
        {u'\u00DE', u'\u00FE'}, {u'\u00D7', u'\u00D7'},                         // ×, no letter
        {u'\u00DF', u'\u00DF'}, {u'\u0178', u'\u00FF'},                         // Ÿ
        {u'\u0100', u'\u0101'}, {u'\u0101', u'\u0101'},                         // Ā
        {u'\u0139', u'\u013A'}, {u'\u013A', u'\u013A'},                         // Ĺ
        {u'\u014A', u'\u014B'}, {u'\u017D', u'\u017E'},                         // Ŋ, Ž
        {u'\u0130', u'\u0130'}, {u'\u0391', u'\u03B1'},                         // İ, Α
        {u'\u03A9', u'\u03C9'}, {u'\u0401', u'\u0451'},                         // Ω, Ё
        {u'\u0410', u'\u0430'}, {u'\u042F', u'\u044F'},                         // А, Я
        {u'\u4E2D', u'\u4E2D'},                                                 // 中
    };
    for (const Case& c : cases) {
        EXPECT_EQ(foldCase(c.character), c.folded) << int(c.character);
    }
    EXPECT_TRUE(equalsIgnoringCase(u"Stra\u00C7E", u"stra\u00E7e"));
    EXPECT_FALSE(equalsIgnoringCase(u"abc", u"abcd"));
    EXPECT_FALSE(equalsIgnoringCase(u"abc", u"abd"));
}

TEST(Unicode, CutNeverSplitsASurrogatePair) {
    const std::u16string text = u"ab\U0001F600c";
    EXPECT_EQ(cutUtf16(text, 10), text);
    EXPECT_EQ(cutUtf16(text, 4), u"ab\U0001F600");
    EXPECT_EQ(cutUtf16(text, 3), u"ab");
    EXPECT_EQ(cutUtf16(text, 0), u"");
}

} // namespace
} // namespace tavrik::platform
