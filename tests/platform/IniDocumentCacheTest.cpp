// Parsed INI files are kept only while the file is unchanged: every way a
// file changes under a reader is seen at the next read.

#include "platform/IniDocumentCache.h"

#include "tests/platform/IniTestFiles.h"
#include "tests/support/TemporaryFolder.h"

#include <chrono>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>

namespace tavrik::platform {
namespace {

using namespace std::chrono_literals;
using testing::writeBytes;

std::string valueOf(const std::shared_ptr<const IniLookup>& values) {
    const std::optional<std::u16string> value = values->find(u"s", u"k");
    return value ? std::string(value->begin(), value->end()) : "<none>";
}

void writeInPlace(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// An in-place write at another moment than the first one: its modification
// time differs whatever the file clock's tick.
void rewriteLater(const std::string& path, std::string_view bytes) {
    const auto before = std::filesystem::last_write_time(path);
    writeInPlace(path, bytes);
    std::filesystem::last_write_time(path, before + 1h);
}

// As if the file had been written long ago, so that it is kept.
auto later() {
    return std::chrono::system_clock::now() + kSettledAge + 1s;
}

TEST(IniDocumentCache, EveryChangeToAFileIsSeenAtTheNextRead) {
    struct Case {
        const char* name;
        std::function<void(const std::string&)> change;
        const char* expected;
    };
    const Case cases[] = {
        {"replaced by an atomic save",
         [](const std::string& path) { writeBytes(path, "[s]\nk=22\n"); }, "22"},
        {"rewritten in place, same size",
         [](const std::string& path) { rewriteLater(path, "[s]\nk=33\n"); }, "33"},
        {"grown", [](const std::string& path) { writeInPlace(path, "[s]\nk=4444\n"); }, "4444"},
        {"removed", [](const std::string& path) { std::filesystem::remove(path); }, "<none>"},
    };
    for (const Case& c : cases) {
        testing::TemporaryFolder folder;
        const std::string path = folder.file("layout.ini");
        ASSERT_TRUE(writeBytes(path, "[s]\nk=11\n"));
        const auto first = readIniLookup(path, later());
        ASSERT_EQ(valueOf(first), "11") << c.name;
        EXPECT_EQ(readIniLookup(path, later()), first) << c.name << ": kept while unchanged";
        c.change(path);
        EXPECT_EQ(valueOf(readIniLookup(path, later())), c.expected) << c.name;
    }
}

TEST(IniDocumentCache, AFileWrittenWithinTheLastMomentsIsReadAgainEachTime) {
    testing::TemporaryFolder folder;
    const std::string path = folder.file("fresh.ini");
    // Two in-place writes within one tick of the file clock leave the same
    // stamp; only not keeping a fresh file tells them apart.
    writeInPlace(path, "[s]\nk=55\n");
    ASSERT_EQ(valueOf(readIniLookup(path)), "55");
    writeInPlace(path, "[s]\nk=66\n");
    EXPECT_EQ(valueOf(readIniLookup(path)), "66");
}

TEST(IniDocumentCache, AMissingFileIsEmptyUntilItAppears) {
    testing::TemporaryFolder folder;
    const std::string path = folder.file("later.ini");
    EXPECT_EQ(valueOf(readIniLookup(path, later())), "<none>");
    ASSERT_TRUE(writeBytes(path, "[s]\nk=77\n"));
    EXPECT_EQ(valueOf(readIniLookup(path, later())), "77");
}

} // namespace
} // namespace tavrik::platform
