#include "platform/InstanceLock.h"

#include "platform/RuntimeFolder.h"
#include "tests/support/TemporaryFolder.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <iostream>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace tavrik::platform {
namespace {

constexpr std::string_view kName = "Tavrik_Mutex_09A";

class InstanceLockTest : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("XDG_RUNTIME_DIR", runtime_.path().c_str(), 1); }
    void TearDown() override { ::unsetenv("XDG_RUNTIME_DIR"); }

    testing::TemporaryFolder runtime_;
};

TEST_F(InstanceLockTest, OneHandleOwnsTheLockAndOthersOnlySeeIt) {
    EXPECT_FALSE(InstanceLock::exists(kName));
    InstanceLock first;
    ASSERT_TRUE(first.createOwned(kName));
    EXPECT_TRUE(first.isOwned());
    EXPECT_EQ(instanceLockPath(kName), runtime_.file(std::string(kName)));

    InstanceLock second;
    EXPECT_TRUE(second.openExisting(kName));
    EXPECT_TRUE(second.isOpen());
    EXPECT_FALSE(second.isOwned());
    InstanceLock third;
    EXPECT_FALSE(third.createOwned(kName));
    EXPECT_FALSE(third.isOpen());

    // Closing the owner ends the lock although its file stays.
    first.close();
    EXPECT_TRUE(std::filesystem::exists(instanceLockPath(kName)));
    EXPECT_FALSE(InstanceLock::exists(kName));
    EXPECT_TRUE(third.createOwned(kName));
}

TEST_F(InstanceLockTest, MovingKeepsTheLockAndDestructionReleasesIt) {
    {
        InstanceLock owner;
        ASSERT_TRUE(owner.createOwned(kName));
        InstanceLock moved(std::move(owner));
        EXPECT_FALSE(owner.isOpen());
        EXPECT_TRUE(moved.isOwned());
        EXPECT_TRUE(InstanceLock::exists(kName));
    }
    EXPECT_FALSE(InstanceLock::exists(kName));
}

TEST_F(InstanceLockTest, TheLockOfAnEndedProcessIsGone) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        InstanceLock lock;
        const char result = lock.createOwned(kName) ? '1' : '0';
        (void)::write(ready[1], &result, 1);
        ::pause();
        ::_exit(0);
    }
    char result = 0;
    ASSERT_EQ(::read(ready[0], &result, 1), 1);
    EXPECT_EQ(result, '1');
    EXPECT_TRUE(InstanceLock::exists(kName));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_FALSE(InstanceLock::exists(kName));
    ::close(ready[0]);
    ::close(ready[1]);
}

TEST_F(InstanceLockTest, ProgramsStartedByTheOwnerDoNotKeepTheLock) {
    InstanceLock owner;
    ASSERT_TRUE(owner.createOwned(kName));
    pid_t sleeper = 0;
    const char* arguments[] = {"sleep", "5", nullptr};
    ASSERT_EQ(
        ::posix_spawnp(&sleeper, "sleep", nullptr, nullptr, const_cast<char**>(arguments), environ),
        0);
    owner.close();
    EXPECT_FALSE(InstanceLock::exists(kName));
    ::kill(sleeper, SIGKILL);
    ::waitpid(sleeper, nullptr, 0);
}

TEST_F(InstanceLockTest, NamesThatAreNoPlainFileNameAreRefused) {
    for (const std::string_view name : {"", ".", "..", "a/b", "/etc/passwd"}) {
        InstanceLock lock;
        EXPECT_FALSE(lock.createOwned(name)) << name;
        EXPECT_TRUE(instanceLockPath(name).empty()) << name;
    }
}

TEST(RuntimeFolder, FollowsXdgRuntimeDirAndFallsBackToAPrivateTemporaryFolder) {
    testing::TemporaryFolder runtime;
    ::setenv("XDG_RUNTIME_DIR", (runtime.path() + "/").c_str(), 1);
    EXPECT_EQ(runtimeFolder(), runtime.path());
    const std::string fallback = fallbackRuntimeFolder(::getuid());
    for (const char* unusable : {"relative/folder", "/nonexistent/run", ""}) {
        ::setenv("XDG_RUNTIME_DIR", unusable, 1);
        EXPECT_EQ(runtimeFolder(), fallback) << unusable;
    }
    // A folder that is not private is passed over like the /tmp fallback
    // would be: open to others, a link (even to a private folder), or
    // another user's.
    testing::TemporaryFolder others;
    ASSERT_EQ(::chmod(others.path().c_str(), 0755), 0);
    ASSERT_EQ(::symlink(runtime.path().c_str(), others.file("link").c_str()), 0);
    testing::TemporaryFolder foreign;
    std::vector<std::string> unsafe = {others.path(), others.file("link"), others.file("link/")};
    if (::chown(foreign.path().c_str(), ::getuid() + 1, static_cast<gid_t>(-1)) == 0) {
        unsafe.push_back(foreign.path());
    } else {
        std::cout << "[ NOTE ] another user's folder is not tried: chown needs root\n";
    }
    for (const std::string& folder : unsafe) {
        ::setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
        EXPECT_EQ(runtimeFolder(), fallback) << folder;
    }
    ::unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(runtimeFolder(), fallback);
    struct stat status {};
    ASSERT_EQ(::lstat(fallback.c_str(), &status), 0);
    EXPECT_TRUE(S_ISDIR(status.st_mode));
    EXPECT_EQ(status.st_mode & 0777, 0700u);
    EXPECT_EQ(status.st_uid, ::getuid());
}

} // namespace
} // namespace tavrik::platform
