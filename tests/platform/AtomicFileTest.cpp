#include "platform/AtomicFile.h"

#include "tests/support/TemporaryFolder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <vector>

namespace tavrik::platform {
namespace {

std::span<const std::uint8_t> bytesOf(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// Accepts the first 10 bytes, then reports a full disk.
ssize_t diskFullAfterTenBytes(int fd, const void* data, size_t size) {
    static thread_local size_t written = 0;
    if (written >= 10) {
        written = 0;
        errno = ENOSPC;
        return -1;
    }
    const size_t part = std::min<size_t>(size, 10 - written);
    written += part;
    return ::write(fd, data, part);
}

TEST(AtomicFile, WritesAllPartsInOrderAndReplacesTheOldContent) {
    testing::TemporaryFolder folder;
    const std::string path = folder.file("target");
    ASSERT_TRUE(writeFileAtomically(path, {bytesOf("old")}));
    ASSERT_TRUE(writeFileAtomically(path, {bytesOf("first,"), bytesOf(""), bytesOf("second")}));
    std::string contents;
    ASSERT_TRUE(readWholeFile(path, contents));
    EXPECT_EQ(contents, "first,second");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(AtomicFile, FailedWriteLeavesThePreviousFileWholeAndNoTemporaryBehind) {
    testing::TemporaryFolder folder;
    const std::string path = folder.file("target");
    ASSERT_TRUE(writeFileAtomically(path, {bytesOf("the previous content")}));
    setWriteFunctionForTesting(&diskFullAfterTenBytes);
    const bool written = writeFileAtomically(path, {bytesOf(std::string(100, 'x'))});
    setWriteFunctionForTesting(nullptr);
    EXPECT_FALSE(written);
    std::string contents;
    ASSERT_TRUE(readWholeFile(path, contents));
    EXPECT_EQ(contents, "the previous content");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(AtomicFile, WriteIntoMissingFolderFailsAndReadOfMissingFileFails) {
    testing::TemporaryFolder folder;
    EXPECT_FALSE(writeFileAtomically(folder.file("no/such/folder/file"), {bytesOf("x")}));
    std::string contents = "unchanged";
    EXPECT_FALSE(readWholeFile(folder.file("missing"), contents));
    EXPECT_EQ(contents, "unchanged");
}

// Whatever a file tells of its size, all of it is read: files of /proc tell
// none, and binary files hold NUL bytes.
TEST(AtomicFile, ReadsWholeFilesOfAnySize) {
    testing::TemporaryFolder folder;
    std::string binary(70000, '\0');
    for (std::size_t i = 0; i < binary.size(); ++i) {
        binary[i] = static_cast<char>(i * 7);
    }
    const std::pair<const char*, std::string> files[] = {
        {"empty", ""}, {"one byte", "x"}, {"binary", binary}};
    for (const auto& [name, bytes] : files) {
        std::ofstream(folder.file(name), std::ios::binary) << bytes;
        std::string contents = "previous";
        ASSERT_TRUE(readWholeFile(folder.file(name), contents)) << name;
        EXPECT_EQ(contents, bytes) << name;
    }
    std::string status;
    ASSERT_TRUE(readWholeFile("/proc/self/status", status));
    EXPECT_NE(status.find("Name:"), std::string::npos);
    std::string contents = "unchanged";
    EXPECT_FALSE(readWholeFile(folder.path(), contents)) << "a folder is no file";
    EXPECT_EQ(contents, "unchanged");
}

} // namespace
} // namespace tavrik::platform
