#include "profile/ProfileFile.h"

#include "keyboard/ProfileFileHeader.h"
#include "keyboard/StringPool.h"
#include "sync/ProfileFileStore.h"
#include "tests/support/ProfileFixture.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <future>
#include <numeric>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrik::profile::testing {
namespace {

using keyboard::fillTableHeaders;
using sync::loadProfileFile;
using sync::writeDefaultProfile;
using sync::writeProfileFile;

using keyboard::AssignmentType;
using keyboard::KeyAssignment;

constexpr std::size_t kTable = 32832;
constexpr std::size_t kMacro = 16512;

// A profile file as another writer might make it: a header with the given
// fields (checksum made to match unless told otherwise), macro records and a
// pool.
struct ForeignFile {
    std::uint16_t macroCount = 0;
    std::uint32_t poolSize = 0;
    std::size_t macroRecordsPresent = 0;
    Bytes pool;

    Bytes build() const {
        keyboard::AssignmentTable table = keyboard::defaultTable();
        fillTableHeaders(table.header(), macroCount, poolSize, 0);
        Bytes bytes(table.bytes().begin(), table.bytes().end());
        for (std::size_t i = 0; i < macroRecordsPresent; ++i) {
            const macro::MacroRecord record = makeMacro(static_cast<std::uint16_t>(i + 1), u"m", 1);
            bytes.insert(bytes.end(), record.bytes().begin(), record.bytes().end());
        }
        bytes.insert(bytes.end(), pool.begin(), pool.end());
        return bytes;
    }
};

void resealChecksum(Bytes& bytes) {
    bytes[31] = static_cast<std::uint8_t>(std::accumulate(bytes.begin(), bytes.begin() + 31, 0u));
}

void setRecord(Bytes& file, int layer, int row, AssignmentType type, std::uint32_t value) {
    const std::size_t at = 64 + 8192 * static_cast<std::size_t>(layer) + 16 * row;
    platform::writeU16(file.data() + at, static_cast<std::uint16_t>(type));
    platform::writeU32(file.data() + at + 4, value);
}

std::optional<std::u16string> stringOf(int layer, int row) {
    const auto lock = sync::lockWorkingSet();
    const auto text = sync::workingSet().strings.text(*keyboard::StringTable::entryOf(layer, row));
    return text ? std::optional<std::u16string>(*text) : std::nullopt;
}

TEST_F(ProfileTest, AnEmptyWorkingSetIsWrittenAsTheBareTable) {
    const std::string path = folder.file("empty.fwc");
    ASSERT_TRUE(writeProfileFile(path, true));
    const Bytes file = readFile(path);
    ASSERT_EQ(file.size(), kTable);
    EXPECT_EQ(u16At(file, 0), 0x4446);
    EXPECT_EQ(u32At(file, 8), kTable); // total size
    EXPECT_EQ(u16At(file, 14), 0);     // macro count
    EXPECT_EQ(u32At(file, 16), 0u);    // pool size
    EXPECT_EQ(file[30], 0);            // flag
    EXPECT_EQ(file[31],
              static_cast<std::uint8_t>(std::accumulate(file.begin(), file.begin() + 31, 0u)));
    EXPECT_EQ(u32At(file, 32), 0x0020484Bu); // the key section header stays
    EXPECT_TRUE(isProfileHeaderAcceptable(file));
}

TEST_F(ProfileTest, MacrosAndStringsSurviveAWriteAndALoad) {
    {
        auto lock = sync::lockWorkingSet();
        sync::WorkingSet& set = sync::workingSet();
        set.macros = {makeMacro(1, u"first", 3), makeMacro(5, u"second", 2000)};
        putString(set, 0, 0x1E, AssignmentType::LaunchProgram, u"/usr/bin/gimp");
        putString(set, 2, 300, AssignmentType::TextBlock, u"hello");
        set.table.storeRecord(1, 0x1F, KeyAssignment{AssignmentType::PlayMacro, 4, 5, 77, 0});
    }
    const std::string path = folder.file("round.fwc");
    ASSERT_TRUE(writeProfileFile(path, true));

    const Bytes file = readFile(path);
    const std::size_t poolStart = kTable + 2 * kMacro;
    const Bytes first = utf16Bytes(u"/usr/bin/gimp");
    const Bytes second = utf16Bytes(u"hello");
    ASSERT_EQ(file.size(), poolStart + first.size() + second.size());
    EXPECT_EQ(u32At(file, 16), first.size() + second.size());
    EXPECT_TRUE(std::equal(first.begin(), first.end(), file.begin() + poolStart));
    EXPECT_TRUE(std::equal(second.begin(), second.end(), file.begin() + poolStart + first.size()));
    // Each record's value is its string's offset in the pool.
    EXPECT_EQ(u32At(file, 64 + 16 * 0x1E + 4), 0u);
    EXPECT_EQ(u32At(file, 64 + 8192 * 2 + 16 * 300 + 4), first.size());

    sync::resetDataSets();
    {
        auto lock = sync::lockWorkingSet();
        ASSERT_TRUE(loadProfileFile(path));
        const sync::WorkingSet& set = sync::workingSet();
        ASSERT_EQ(set.macros.size(), 2u);
        EXPECT_EQ(set.macros[0].bytes(), makeMacro(1, u"first", 3).bytes());
        EXPECT_EQ(set.macros[1].bytes(), makeMacro(5, u"second", 2000).bytes());
        EXPECT_EQ(set.table.recordOf(1, 0x1F),
                  (KeyAssignment{AssignmentType::PlayMacro, 4, 5, 77, 0}));
        EXPECT_EQ(set.strings.total(), first.size() + second.size());
    }
    EXPECT_EQ(stringOf(0, 0x1E), u"/usr/bin/gimp");
    EXPECT_EQ(stringOf(2, 300), u"hello");
    // Writing what was loaded gives the same file.
    ASSERT_TRUE(writeProfileFile(folder.file("again.fwc"), true));
    EXPECT_EQ(readFile(folder.file("again.fwc")), file);
}

TEST_F(ProfileTest, AStringWhoseRecordNoLongerOwnsOneStaysOutOfThePool) {
    {
        auto lock = sync::lockWorkingSet();
        sync::WorkingSet& set = sync::workingSet();
        putString(set, 0, 2, AssignmentType::TextBlock, u"gone");
        putString(set, 0, 3, AssignmentType::LaunchProgram, u"kept");
        set.table.storeRecord(0, 2, KeyAssignment{AssignmentType::SingleKey, 0, 0x1E, 0, 0});
    }
    const std::string path = folder.file("stale.fwc");
    ASSERT_TRUE(writeProfileFile(path, true));
    const Bytes file = readFile(path);
    const Bytes kept = utf16Bytes(u"kept");
    const std::size_t poolSize = 2 * kept.size(); // "gone" and "kept" have the same size
    ASSERT_EQ(file.size(), kTable + poolSize);
    EXPECT_EQ(u32At(file, 16), poolSize);
    EXPECT_TRUE(std::equal(kept.begin(), kept.end(), file.begin() + kTable));
    EXPECT_TRUE(std::all_of(file.begin() + kTable + kept.size(), file.end(),
                            [](std::uint8_t b) { return b == 0; }));
    EXPECT_EQ(u32At(file, 64 + 16 * 2 + 4), 0x1Eu); // the key keeps its value
}

struct HeaderCase {
    const char* what;
    std::size_t offset;
    std::uint32_t value;
    int width; // bytes
    bool reseal;
    int expected;
};

TEST_F(ProfileTest, ValidationChecksEveryHeaderFieldAndShowsTheFormatMessage) {
    const HeaderCase cases[] = {
        {"untouched", 0, 0x4446, 2, true, 1},
        {"magic", 0, 0x4447, 2, true, 0},
        {"header size", 2, 31, 2, true, 0},
        {"constant 3", 4, 4, 2, true, 0},
        {"constant 1", 6, 0, 2, true, 0},
        {"total below the table", 8, 100, 4, true, 0},
        {"total one above the sum", 8, kTable + 1, 4, true, 0},
        {"key record count", 12, 2047, 2, true, 0},
        {"flag 1", 30, 1, 1, true, 1},
        {"flag 2", 30, 2, 1, true, 0},
        {"checksum", 31, 0, 1, false, 0},
    };
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes file = ForeignFile{}.build();
        if (c.width == 1) {
            file[c.offset] = static_cast<std::uint8_t>(c.value);
        } else if (c.width == 2) {
            platform::writeU16(file.data() + c.offset, static_cast<std::uint16_t>(c.value));
        } else {
            platform::writeU32(file.data() + c.offset, c.value);
        }
        if (c.reseal) {
            resealChecksum(file);
        } else {
            file[31] ^= 1;
        }
        const std::string path = folder.file("case.fwc");
        writeFile(path, file);
        const std::size_t messagesBefore = prompter.messages().size();
        EXPECT_EQ(validateProfileFile(path), c.expected);
        const auto messages = prompter.messages();
        if (c.expected == 1) {
            EXPECT_EQ(messages.size(), messagesBefore);
        } else {
            ASSERT_EQ(messages.size(), messagesBefore + 1);
            EXPECT_EQ(messages.back(), u"wrong file format, revert to the default values: \n  " +
                                           platform::toUtf16(path));
        }
    }
}

TEST_F(ProfileTest, MacroCountAndTotalDecideAcceptanceNotTheLength) {
    struct Case {
        const char* what;
        ForeignFile file;
        std::ptrdiff_t lengthChange;
        int expected;
    };
    const Case cases[] = {
        {"100 macros, consistent", {100, 0, 100, {}}, 0, 1},
        {"101 macros, consistent", {101, 0, 101, {}}, 0, 0},
        {"pool declared, file longer than the total", {0, 4, 0, {0, 0, 0, 0}}, 10, 1},
        {"pool declared, file shorter than the total", {2, 0, 1, {}}, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes bytes = c.file.build();
        bytes.resize(
            static_cast<std::size_t>(static_cast<std::ptrdiff_t>(bytes.size()) + c.lengthChange));
        const std::string path = folder.file("count.fwc");
        writeFile(path, bytes);
        EXPECT_EQ(validateProfileFile(path), c.expected);
    }

    // The total disagrees with count and pool although the length matches it.
    Bytes mismatched = ForeignFile{0, 0, 0, {0, 0}}.build();
    platform::writeU32(mismatched.data() + 8, kTable + 2);
    resealChecksum(mismatched);
    writeFile(folder.file("total.fwc"), mismatched);
    EXPECT_EQ(validateProfileFile(folder.file("total.fwc")), 0);
}

TEST_F(ProfileTest, FilesThatCannotBeReadAreRejectedWithoutTheFormatMessage) {
    Bytes shortFile = ForeignFile{}.build();
    shortFile.pop_back();
    writeFile(folder.file("short.fwc"), shortFile);
    EXPECT_EQ(validateProfileFile(folder.file("short.fwc")), 0);
    EXPECT_EQ(validateProfileFile(folder.file("missing.fwc")), 0);
    std::filesystem::create_directory(folder.file("folder.fwc"));
    EXPECT_EQ(validateProfileFile(folder.file("folder.fwc")), -2);
    // A FIFO is refused like the folder, without waiting for a writer.
    const std::string fifo = folder.file("fifo.fwc");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    auto checked = std::async(std::launch::async, [&fifo] { return validateProfileFile(fifo); });
    if (checked.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        ADD_FAILURE() << "the check waits for a writer of the FIFO";
        ::close(::open(fifo.c_str(), O_WRONLY | O_NONBLOCK)); // lets it go on
    }
    EXPECT_EQ(checked.get(), -2);
    // 4 GiB is too large to be looked at; one byte less is read as far as its
    // header reaches, and that header is all zero.
    writeFile(folder.file("huge.fwc"), {});
    std::filesystem::resize_file(folder.file("huge.fwc"), std::uintmax_t{1} << 32);
    EXPECT_EQ(validateProfileFile(folder.file("huge.fwc")), 0);
    EXPECT_TRUE(prompter.messages().empty());
    std::filesystem::resize_file(folder.file("huge.fwc"), (std::uintmax_t{1} << 32) - 1);
    EXPECT_EQ(validateProfileFile(folder.file("huge.fwc")), 0);
    EXPECT_EQ(prompter.messages().size(), 1u);
}

TEST_F(ProfileTest, LoadingTakesStringsOnlyFromInsideThePool) {
    Bytes pool = utf16Bytes(u"ab");
    const Bytes unterminated = utf16Bytes(u"xyz", false);
    pool.insert(pool.end(), unterminated.begin(), unterminated.end()); // 6 + 6 bytes
    Bytes file = ForeignFile{0, static_cast<std::uint32_t>(pool.size()), 0, pool}.build();
    setRecord(file, 0, 1, AssignmentType::LaunchProgram, 3); // odd: read from 2, "b"
    setRecord(file, 0, 2, AssignmentType::TextBlock, 6);     // no terminator before the end
    setRecord(file, 0, 3, AssignmentType::TextBlock, 12);    // exactly at the end
    setRecord(file, 0, 4, AssignmentType::LaunchProgram, 0xFFFFFFF0); // far outside
    setRecord(file, 0, 5, AssignmentType::SingleKey, 0);              // owns no string
    writeFile(folder.file("foreign.fwc"), file);

    auto lock = sync::lockWorkingSet();
    ASSERT_TRUE(loadProfileFile(folder.file("foreign.fwc")));
    EXPECT_EQ(stringOf(0, 1), u"b");
    EXPECT_EQ(stringOf(0, 2), u"xyz");
    EXPECT_EQ(stringOf(0, 3), std::nullopt);
    EXPECT_EQ(stringOf(0, 4), std::nullopt);
    EXPECT_EQ(stringOf(0, 5), std::nullopt);
    EXPECT_EQ(sync::workingSet().strings.total(), 4u + 8u);
    // Records keep what the file says; only the strings are held back.
    EXPECT_EQ(sync::workingSet().table.recordOf(0, 4)->value, 0xFFFFFFF0u);
}

TEST_F(ProfileTest, AFileShorterThanItsHeaderDeclaresLoadsWhatItHolds) {
    struct Case {
        const char* what;
        ForeignFile file;
        std::size_t cut; // bytes removed from the end
        std::size_t macros;
    };
    const Case cases[] = {
        {"half a macro record missing", {3, 0, 2, {}}, kMacro / 2, 1},
        {"declared macros absent", {4, 0, 0, {}}, 0, 0},
        {"more than 100 macros", {150, 0, 150, {}}, 0, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes bytes = c.file.build();
        bytes.resize(bytes.size() - c.cut);
        writeFile(folder.file("cut.fwc"), bytes);
        auto lock = sync::lockWorkingSet();
        sync::releaseWorkingSetContents(sync::workingSet());
        EXPECT_TRUE(loadProfileFile(folder.file("cut.fwc")));
        const macro::MacroList& macros = sync::workingSet().macros;
        ASSERT_EQ(macros.size(), c.macros);
        for (std::size_t i = 0; i < macros.size(); ++i) {
            EXPECT_EQ(macros[i].id(), i + 1);
        }
    }

    // A pool cut short keeps the strings that lie inside what is there.
    Bytes pool = utf16Bytes(u"one");
    const Bytes two = utf16Bytes(u"two");
    pool.insert(pool.end(), two.begin(), two.end());
    Bytes bytes = ForeignFile{0, static_cast<std::uint32_t>(pool.size()), 0, pool}.build();
    setRecord(bytes, 1, 7, AssignmentType::TextBlock, 0);
    setRecord(bytes, 1, 8, AssignmentType::TextBlock, 8);
    bytes.resize(bytes.size() - 5);
    writeFile(folder.file("pool.fwc"), bytes);
    auto lock = sync::lockWorkingSet();
    EXPECT_TRUE(loadProfileFile(folder.file("pool.fwc")));
    EXPECT_EQ(stringOf(1, 7), u"one");
    EXPECT_EQ(stringOf(1, 8), u"t"); // ends where the file ends
}

TEST_F(ProfileTest, AFileWithoutAWholeTableLeavesTheDefaultTable) {
    {
        auto lock = sync::lockWorkingSet();
        sync::workingSet().macros = {makeMacro(1, u"old")};
    }
    Bytes bytes = ForeignFile{}.build();
    bytes.resize(100);
    writeFile(folder.file("tiny.fwc"), bytes);
    auto lock = sync::lockWorkingSet();
    EXPECT_FALSE(loadProfileFile(folder.file("tiny.fwc")));
    EXPECT_TRUE(sync::workingSet().macros.empty());
    EXPECT_EQ(sync::workingSet().table.bytes()[0], 0x46);
    const keyboard::AssignmentTable fresh = keyboard::defaultTable();
    EXPECT_TRUE(std::equal(fresh.bytes().begin(), fresh.bytes().end(),
                           sync::workingSet().table.bytes().begin()));
    EXPECT_FALSE(loadProfileFile(folder.file("absent.fwc")));
}

TEST_F(ProfileTest, LoadedMacrosLoseTheNewFlag) {
    macro::MacroRecord fresh = makeMacro(1, u"fresh");
    fresh.setNewFlag(1);
    Bytes bytes = ForeignFile{1, 0, 0, {}}.build();
    bytes.insert(bytes.end(), fresh.bytes().begin(), fresh.bytes().end());
    writeFile(folder.file("new.fwc"), bytes);
    auto lock = sync::lockWorkingSet();
    ASSERT_TRUE(loadProfileFile(folder.file("new.fwc")));
    ASSERT_EQ(sync::workingSet().macros.size(), 1u);
    EXPECT_EQ(sync::workingSet().macros[0].newFlag(), 0);
}

TEST_F(ProfileTest, OneHugeStringNamedByEveryRecordIsNotMultiplied) {
    const std::size_t units = 1024 * 1024;
    Bytes pool(2 * units + 2, 0);
    std::fill(pool.begin(), pool.end() - 2, std::uint8_t{0x41});
    Bytes bytes = ForeignFile{0, static_cast<std::uint32_t>(pool.size()), 0, pool}.build();
    for (int layer = 0; layer < 4; ++layer) {
        for (int row = 0; row < 512; ++row) {
            setRecord(bytes, layer, row, AssignmentType::TextBlock, 0);
        }
    }
    writeFile(folder.file("huge.fwc"), bytes);
    auto lock = sync::lockWorkingSet();
    ASSERT_TRUE(loadProfileFile(folder.file("huge.fwc")));
    const std::uint32_t total = sync::workingSet().strings.total();
    EXPECT_GE(total, pool.size());
    EXPECT_LE(total, keyboard::kStringLoadAllowance);
}

ssize_t failAfterFourKilobytes(int fd, const void* data, size_t size) {
    static thread_local std::size_t written = 0;
    if (written >= 4096) {
        written = 0;
        errno = ENOSPC;
        return -1;
    }
    const std::size_t chunk = std::min<std::size_t>(size, 4096 - written);
    written += chunk;
    return ::write(fd, data, chunk);
}

TEST_F(ProfileTest, AnInterruptedSaveLeavesThePreviousFileWhole) {
    const std::string path = folder.file("kept.fwc");
    {
        auto lock = sync::lockWorkingSet();
        sync::workingSet().macros = {makeMacro(1, u"before")};
    }
    ASSERT_TRUE(writeProfileFile(path, true));
    const Bytes before = readFile(path);
    {
        auto lock = sync::lockWorkingSet();
        sync::workingSet().macros.push_back(makeMacro(2, u"after"));
    }
    platform::setWriteFunctionForTesting(failAfterFourKilobytes);
    EXPECT_FALSE(writeProfileFile(path, true));
    EXPECT_FALSE(writeDefaultProfile(path, 0, false));
    platform::setWriteFunctionForTesting(nullptr);
    EXPECT_EQ(readFile(path), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(ProfileTest, TheDefaultProfileCarriesItsFlag) {
    const std::string path = folder.file("default.fwc");
    ASSERT_TRUE(writeDefaultProfile(path, 1, false));
    const Bytes file = readFile(path);
    ASSERT_EQ(file.size(), kTable);
    EXPECT_EQ(file[30], 1);
    EXPECT_EQ(validateProfileFile(path), 1);
    const keyboard::AssignmentTable fresh = keyboard::defaultTable();
    EXPECT_TRUE(std::equal(fresh.bytes().begin() + 32, fresh.bytes().end(), file.begin() + 32));

    {
        auto lock = sync::lockWorkingSet();
        sync::WorkingSet& set = sync::workingSet();
        set.macros = {makeMacro(1, u"old")};
        putString(set, 0, 1, AssignmentType::TextBlock, u"old");
    }
    ASSERT_TRUE(writeDefaultProfile("", 0, true));
    auto lock = sync::lockWorkingSet();
    EXPECT_TRUE(sync::workingSet().macros.empty());
    EXPECT_EQ(sync::workingSet().strings.total(), 0u);
    EXPECT_TRUE(std::equal(fresh.bytes().begin(), fresh.bytes().end(),
                           sync::workingSet().table.bytes().begin()));
}

} // namespace
} // namespace tavrik::profile::testing
