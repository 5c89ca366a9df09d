#include "platform/IniFile.h"

#include "platform/AtomicFile.h"
#include "tests/platform/IniTestFiles.h"
#include "tests/support/TemporaryFolder.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <unistd.h>

namespace tavrik::platform {
namespace {

using testing::readBytes;
using testing::utf16Bytes;
using testing::writeBytes;

constexpr std::string_view kLookupFile = "orphan=before any section\n"
                                         "[Colors]\n"
                                         "  Key One  =  value with blanks   \n"
                                         "QUOTED=\"  kept blanks  \"\n"
                                         "half=\"only the start\n"
                                         "empty=\n"
                                         "no equals sign\n"
                                         "dup=first\n"
                                         "dup=second\n"
                                         ";commented=1\n"
                                         "[ Spaced Section ]\n"
                                         "k=v\n"
                                         "[\xC3\x9C"
                                         "ber]\n"                                       // "Über"
                                         "\xC3\x84\xC3\x96=umlauts\n"                   // "ÄÖ"
                                         "[\xD0\x9C\xD0\x98\xD0\xA0]\n"                 // "МИР"
                                         "\xD0\x9A\xD0\x9B\xD0\xAE\xD0\xA7=cyrillic\n"; // "КЛЮЧ"

TEST(IniFile, FindsNamesWithoutRegardToCaseAndBlanksAndFallsBackToTheDefault) {
    testing::TemporaryFolder folder;
    ASSERT_TRUE(writeBytes(folder.file("lookup.ini"), kLookupFile));
    const IniFile file(folder.file("lookup.ini"));
    struct Case {
        std::u16string_view section, key, defaultValue, expected;
    };
    const Case cases[] = {
        {u"colors", u"KEY ONE", u"d", u"value with blanks"},
        {u" COLORS ", u"  key one ", u"d", u"value with blanks"},
        {u"Colors", u"quoted", u"d", u"  kept blanks  "},
        {u"Colors", u"half", u"d", u"\"only the start"},
        {u"Colors", u"empty", u"d", u""},
        {u"Colors", u"no equals sign", u"d", u"d"},
        {u"Colors", u"dup", u"d", u"first"},
        {u"Colors", u";commented", u"d", u"d"},
        {u"Colors", u"missing", u"d", u"d"},
        {u"Colors", u"orphan", u"d", u"d"},
        {u"spaced section", u"K", u"d", u"v"},
        {u"\u00FCBER", u"\u00E4\u00F6", u"d", u"umlauts"},
        {u"\u043C\u0438\u0440", u"\u043A\u043B\u044E\u0447", u"d", u"cyrillic"},
        {u"Missing", u"k", u"0", u"0"},
        {u"Missing", u"k", u"default  ", u"default"},
        {u"Missing", u"k", u" ", u" "},
        {u"Missing", u"k", u"", u""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(file.readString(c.section, c.key, c.defaultValue), c.expected)
            << std::string(c.section.begin(), c.section.end()) << " / "
            << std::string(c.key.begin(), c.key.end());
    }
    const IniSnapshot snapshot = file.snapshot();
    EXPECT_EQ(snapshot.readString(u"COLORS", u"key one", u"d"), u"value with blanks");
}

TEST(IniFile, MissingFileOrFolderGivesTheDefault) {
    testing::TemporaryFolder folder;
    EXPECT_EQ(IniFile(folder.file("none.ini")).readString(u"S", u"k", u"1,1,1,1,x"), u"1,1,1,1,x");
    EXPECT_EQ(IniFile(folder.file("no/such/folder.ini")).readString(u"S", u"k", u" "), u" ");
}

TEST(IniFile, ValuesAndDefaultsAreCutAtTwoHundredFiftyNineCharacters) {
    testing::TemporaryFolder folder;
    const std::string path = folder.file("long.ini");
    const std::string longValue(300, 'v');
    // 258 letters, then a character outside the basic plane: its two halves
    // would straddle the cut, so neither is taken.
    const std::string straddling = std::string(258, 'w') + "\xF0\x9F\x98\x80" + "tail";
    ASSERT_TRUE(writeBytes(path, "[S]\nlong=" + longValue + "\nquoted=\"" + longValue +
                                     "\"\nstraddling=" + straddling + "\n"));
    const IniFile file(path);
    EXPECT_EQ(file.readString(u"S", u"long", u""), std::u16string(259, u'v'));
    EXPECT_EQ(file.readString(u"S", u"quoted", u""), std::u16string(259, u'v'));
    EXPECT_EQ(file.readString(u"S", u"straddling", u""), std::u16string(258, u'w'));
    EXPECT_EQ(file.readString(u"S", u"missing", std::u16string(300, u'd')),
              std::u16string(259, u'd'));
}

TEST(IniFile, WriteKeepsEveryOtherLineByteForByte) {
    testing::TemporaryFolder folder;
    const std::string path = folder.file("keep.ini");
    ASSERT_TRUE(writeBytes(path, "; settings\r\n"
                                 "\r\n"
                                 "[First]\r\n"
                                 "a = 1\r\n"
                                 "; caf\xE9 in Latin-1\r\n"
                                 "\r\n"
                                 "[Second]\r\n"
                                 "  Colour =  255,0,0   \r\n"
                                 "tool=0\r\n"
                                 "\r\n"
                                 "[Third]\r\n"
                                 "last=x"));
    IniFile file(path);
    EXPECT_TRUE(file.writeString(u"second", u"COLOUR", u"51,34,17"));
    EXPECT_TRUE(file.writeString(u"FIRST", u"b", u"2"));
    EXPECT_TRUE(file.writeString(u"third", u" new ", u"y"));
    EXPECT_TRUE(file.writeString(u"Fourth", u"k", u"v"));
    EXPECT_EQ(readBytes(path), "; settings\r\n"
                               "\r\n"
                               "[First]\r\n"
                               "a = 1\r\n"
                               "b=2\r\n"
                               "; caf\xE9 in Latin-1\r\n"
                               "\r\n"
                               "[Second]\r\n"
                               "  Colour =  51,34,17\r\n"
                               "tool=0\r\n"
                               "\r\n"
                               "[Third]\r\n"
                               "last=x\r\n"
                               "new=y\r\n"
                               "[Fourth]\r\n"
                               "k=v\r\n");
    EXPECT_EQ(file.readString(u"Second", u"Colour", u""), u"51,34,17");
    EXPECT_EQ(file.readString(u"First", u"a", u""), u"1");
}

TEST(IniFile, WriteCreatesTheFileAsUtf8WithoutByteOrderMark) {
    testing::TemporaryFolder folder;
    const std::string path = folder.file("new.ini");
    IniFile file(path);
    EXPECT_TRUE(file.writeString(u"MODENAME", u"0", u"Caf\u00E9 \u6A21\u5F0F"));
    EXPECT_TRUE(file.writeString(u"Mode0", u"tool", u"1"));
    EXPECT_TRUE(file.writeString(u"modename", u"0", u"renamed"));
    EXPECT_EQ(readBytes(path), "[MODENAME]\n0=renamed\n[Mode0]\ntool=1\n");
    EXPECT_FALSE(IniFile(folder.file("no/folder.ini")).writeString(u"S", u"k", u"v"));
}

TEST(IniFile, Utf16FilesAreReadAndWrittenBackInTheirOwnByteOrder) {
    testing::TemporaryFolder folder;
    // U+0A0A has a line feed in both of its bytes; it must not end a line.
    const std::u16string before = u"[ENGINSH]\r\nMAIN_CAPTION=\u952E\u76D8\u0A0A\r\n;\u6CE8\r\n";
    const std::u16string after = u"[ENGINSH]\r\nMAIN_CAPTION=\u952E\u76D8\u0A0A\r\n"
                                 u"NEW=\u65B0\r\n;\u6CE8\r\n[Other]\r\nk=\u503C\r\n";
    for (const bool bigEndian : {false, true}) {
        const std::string bom = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        const std::string path = folder.file(bigEndian ? "be.ini" : "le.ini");
        ASSERT_TRUE(writeBytes(path, bom + utf16Bytes(before, bigEndian)));
        IniFile file(path);
        EXPECT_EQ(file.readString(u"enginsh", u"main_caption", u" "), u"\u952E\u76D8\u0A0A");
        EXPECT_TRUE(file.writeString(u"ENGINSH", u"NEW", u"\u65B0"));
        EXPECT_TRUE(file.writeString(u"Other", u"k", u"\u503C"));
        EXPECT_EQ(readBytes(path), bom + utf16Bytes(after, bigEndian)) << bigEndian;
    }
}

TEST(IniFile, ALoneByteAtTheEndOfAUtf16FileDoesNotShiftWhatIsWrittenAfterIt) {
    testing::TemporaryFolder folder;
    // A UTF-16 file cut after an odd number of bytes, with and without a
    // line break before the lone byte.
    for (const bool bigEndian : {false, true}) {
        for (const std::u16string& lines :
             {std::u16string(u"[S]\r\nold=1\r\n"), std::u16string(u"[S]\r\nold=1")}) {
            const std::string bom = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
            const std::string path = folder.file("cut.ini");
            ASSERT_TRUE(writeBytes(path, bom + utf16Bytes(lines, bigEndian) + "x"));
            IniFile file(path);
            EXPECT_TRUE(file.writeString(u"T", u"new", u"2"));
            EXPECT_TRUE(file.writeString(u"S", u"added", u"3"));
            EXPECT_EQ(file.readString(u"T", u"new", u""), u"2") << bigEndian;
            EXPECT_EQ(file.readString(u"S", u"added", u""), u"3") << bigEndian;
            EXPECT_EQ(file.readString(u"S", u"old", u""), u"1") << bigEndian;
        }
    }
}

TEST(IniFile, Utf8ByteOrderMarkIsKept) {
    testing::TemporaryFolder folder;
    const std::string withBom = folder.file("bom.ini");
    ASSERT_TRUE(writeBytes(withBom, "\xEF\xBB\xBF[S]\nname=\xC3\xA9t\xC3\xA9\n"));
    IniFile file(withBom);
    EXPECT_EQ(file.readString(u"S", u"NAME", u""), u"\u00E9t\u00E9");
    EXPECT_TRUE(file.writeString(u"S", u"other", u"\u00FC"));
    EXPECT_EQ(readBytes(withBom), "\xEF\xBB\xBF[S]\nname=\xC3\xA9t\xC3\xA9\nother=\xC3\xBC\n");
}

TEST(IniFile, RemovingAKeyOrASectionTakesAllItsLines) {
    testing::TemporaryFolder folder;
    const std::string path = folder.file("remove.ini");
    ASSERT_TRUE(writeBytes(path, "[A]\nx=1\ny=2\nX=3\n[b]\nx=4\n[a]\nx=5\n"));
    IniFile file(path);
    EXPECT_TRUE(file.removeKey(u"a", u"X"));
    EXPECT_EQ(readBytes(path), "[A]\ny=2\n[b]\nx=4\n[a]\n");
    EXPECT_TRUE(file.removeKey(u"a", u"missing"));
    EXPECT_TRUE(file.removeSection(u"B"));
    EXPECT_EQ(readBytes(path), "[A]\ny=2\n[a]\n");
    EXPECT_TRUE(file.removeSection(u"a"));
    EXPECT_EQ(readBytes(path), "");

    IniFile missing(folder.file("missing.ini"));
    EXPECT_TRUE(missing.removeKey(u"S", u"k"));
    EXPECT_TRUE(missing.removeSection(u"S"));
    EXPECT_EQ(readBytes(missing.path()), "<missing>");
}

TEST(IniFile, WritesThatWouldBreakTheFileStructureAreRefused) {
    testing::TemporaryFolder folder;
    const std::string path = folder.file("refuse.ini");
    const std::string original = "[S]\nk=v\n";
    ASSERT_TRUE(writeBytes(path, original));
    IniFile file(path);
    struct Case {
        std::u16string_view section, key, value;
    };
    const Case refused[] = {
        {u"S", u"k", u"two\nlines"}, {u"S", u"k", u"carriage\rreturn"},
        {u"S", u"k", {u"nul\0", 4}}, {u"S", u"a=b", u"v"},
        {u"S", u"[T]", u"v"},        {u"S", u";k", u"v"},
        {u"S", u"  ", u"v"},         {u"S]", u"k", u"v"},
        {u"", u"k", u"v"},           {u"S\nT", u"k", u"v"},
    };
    for (const Case& c : refused) {
        EXPECT_FALSE(file.writeString(c.section, c.key, c.value));
    }
    EXPECT_EQ(readBytes(path), original);
}

// Accepts nothing: the disk is full.
ssize_t diskFull(int, const void*, size_t) {
    errno = ENOSPC;
    return -1;
}

TEST(IniFile, FailedSaveLeavesTheOldFileWholeAndReportsFailure) {
    testing::TemporaryFolder folder;
    const std::string path = folder.file("full.ini");
    const std::string original = "[KEYCOLOR]\nDengCheck=0\n";
    ASSERT_TRUE(writeBytes(path, original));
    IniFile file(path);
    setWriteFunctionForTesting(&diskFull);
    const bool written = file.writeString(u"KEYCOLOR", u"DengCheck", u"1");
    const bool removed = file.removeKey(u"KEYCOLOR", u"DengCheck");
    setWriteFunctionForTesting(nullptr);
    EXPECT_FALSE(written);
    EXPECT_FALSE(removed);
    EXPECT_EQ(readBytes(path), original);
}

} // namespace
} // namespace tavrik::platform
