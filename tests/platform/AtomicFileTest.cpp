#include "platform/AtomicFile.h"
#include "tests/support/TemporaryFolder.h"

#include <filesystem>
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

} // namespace
} // namespace tavrik::platform
