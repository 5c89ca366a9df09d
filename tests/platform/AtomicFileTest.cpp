#include "platform/AtomicFile.h"

#include "tests/support/TemporaryFolder.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
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

// Writes some bytes, then the process dies, as if killed in the middle of a save.
ssize_t dieAfterSomeBytes(int fd, const void* data, size_t size) {
    const ssize_t written = ::write(fd, data, std::min<size_t>(size, 10));
    ::_exit(written > 0 ? 7 : 8);
}

TEST(AtomicFile, AProcessThatDiesInTheMiddleOfASaveLeavesNothingBehindButTheOldFile) {
    testing::TemporaryFolder folder;
    const std::string path = folder.file("target");
    ASSERT_TRUE(writeFileAtomically(path, {bytesOf("the previous content")}));
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        setWriteFunctionForTesting(&dieAfterSomeBytes);
        writeFileAtomically(path, {bytesOf(std::string(100, 'x'))});
        ::_exit(9);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 7) << "the save did not reach its first write";
    std::string contents;
    ASSERT_TRUE(readWholeFile(path, contents));
    EXPECT_EQ(contents, "the previous content");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                            std::filesystem::directory_iterator()),
              1);
}

mode_t permissionsOf(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? (status.st_mode & 07777) : 0;
}

TEST(AtomicFile, ANewFileIsTheUsersAloneAndAReplacedFileKeepsItsPermissions) {
    testing::TemporaryFolder folder;
    const std::string fresh = folder.file("fresh");
    ASSERT_TRUE(writeFileAtomically(fresh, {bytesOf("new")}));
    EXPECT_EQ(permissionsOf(fresh), 0600u);

    const std::string shared = folder.file("shared");
    ASSERT_TRUE(writeFileAtomically(shared, {bytesOf("old")}));
    ASSERT_EQ(::chmod(shared.c_str(), 0644), 0);
    ASSERT_TRUE(writeFileAtomically(shared, {bytesOf("replaced")}));
    EXPECT_EQ(permissionsOf(shared), 0644u);
    ASSERT_EQ(::chmod(shared.c_str(), 0640), 0);
    ASSERT_TRUE(writeFileAtomically(shared, {bytesOf("again")}));
    EXPECT_EQ(permissionsOf(shared), 0640u);
}

// A save killed between naming its temporary and the rename leaves it beside
// the file; the next save clears it once no save can still be using it.
TEST(AtomicFile, ASaveRemovesTheStaleTemporariesOfItsFileAndNothingElse) {
    testing::TemporaryFolder folder;
    const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
    struct Case {
        const char* name;
        bool aged;
        bool removed;
    };
    const std::vector<Case> cases = {
        {"target.tavrik-a1B2c3", true, true},   // left by a killed save
        {"target.tavrik-d4E5f6", false, false}, // another save may be under way
        {"target.tavrik-abc", true, false},     // not a temporary's name
        {"target.backup", true, false},         // the user's own file
        {"other.tavrik-a1B2c3", true, false},   // another file's temporary
        {"target.tavrik-a1B2c3x", true, false}, // longer than a temporary's name
    };
    for (const Case& each : cases) {
        ASSERT_TRUE(writeFileAtomically(folder.file(each.name), {bytesOf("left")}));
        if (each.aged) {
            std::filesystem::last_write_time(folder.file(each.name), old);
        }
    }
    ASSERT_TRUE(writeFileAtomically(folder.file("target"), {bytesOf("saved")}));
    for (const Case& each : cases) {
        EXPECT_EQ(std::filesystem::exists(folder.file(each.name)), !each.removed) << each.name;
    }
}

TEST(AtomicFile, WriteIntoMissingFolderFailsAndReadOfMissingFileFails) {
    testing::TemporaryFolder folder;
    EXPECT_FALSE(writeFileAtomically(folder.file("no/such/folder/file"), {bytesOf("x")}));
    std::string contents = "unchanged";
    EXPECT_FALSE(readWholeFile(folder.file("missing"), contents));
    EXPECT_EQ(contents, "unchanged");
}

// A failed save tells why, so that the user can be told: the errno of the
// step that failed, and a text that names the file with the reason.
TEST(AtomicFile, AFailedSaveTellsWhy) {
    testing::TemporaryFolder folder;
    std::filesystem::create_directory(folder.file("a folder"));
    std::ofstream(folder.file("plain")) << "x";
    const struct {
        const char* name;
        std::string path;
        WriteFunction write;
        int error;
        const char* reason;
    } cases[] = {
        {"missing folder", folder.file("no/such/file"), nullptr, ENOENT,
         "No such file or directory"},
        {"folder under a file", folder.file("plain/file"), nullptr, ENOTDIR, "Not a directory"},
        {"a folder in the way", folder.file("a folder"), nullptr, EISDIR, "Is a directory"},
        {"full disk", folder.file("full"), &diskFullAfterTenBytes, ENOSPC,
         "No space left on device"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        setWriteFunctionForTesting(c.write);
        int error = -1;
        EXPECT_FALSE(writeFileAtomically(c.path, {bytesOf("twenty bytes of text")}, &error));
        setWriteFunctionForTesting(nullptr);
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(describeSaveFailure(c.path, error), c.path + " (" + c.reason + ")");
    }
    int error = -1;
    EXPECT_TRUE(writeFileAtomically(folder.file("fine"), {bytesOf("x")}, &error));
    EXPECT_EQ(error, 0);
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
