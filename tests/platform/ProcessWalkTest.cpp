#include "platform/ProcessWalk.h"

#include "platform/Unicode.h"
#include "tests/support/TemporaryFolder.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace tavrik::platform {
namespace {

TEST(ProcessWalk, ReadsStateAndStartTimeBehindAnyCommandName) {
    const std::string tail = " 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 987654 20 21";
    struct Case {
        std::string line;
        std::optional<char> state;
        std::uint64_t startTime;
    };
    const Case cases[] = {
        {"42 (tavrik) S" + tail, 'S', 987654},
        {"42 (a b) (c) d) R" + tail, 'R', 987654}, // blanks and parentheses in the name
        {"42 (tavrik) Z" + tail, 'Z', 987654},
        {"42 (tavrik) S 1 2 3", std::nullopt, 0}, // too short
        {"42 tavrik S" + tail, std::nullopt, 0},  // no name at all
        {"42 (tavrik) S 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 12x4 20", std::nullopt,
         0}, // start time not a number
    };
    for (const Case& c : cases) {
        const std::optional<ProcessStatus> status = parseProcessStat(c.line);
        ASSERT_EQ(status.has_value(), c.state.has_value()) << c.line;
        if (status) {
            EXPECT_EQ(status->state, *c.state) << c.line;
            EXPECT_EQ(status->startTime, c.startTime) << c.line;
        }
    }
}

TEST(ProcessWalk, TakesTheBaseNameOfAnExecutableLink) {
    EXPECT_EQ(executableBaseName("/usr/bin/tavrik"), "tavrik");
    EXPECT_EQ(executableBaseName("/opt/tavrik/tavrik (deleted)"), "tavrik");
    EXPECT_EQ(executableBaseName("tavrik"), "tavrik");
    EXPECT_TRUE(equalsIgnoringCase("TaVrIk", "tavrik"));
    EXPECT_FALSE(equalsIgnoringCase("tavrik", "tavrik2"));
}

// A proc folder of made-up processes, all of the current user.
class FakeProcFolder {
public:
    void add(int pid, const std::string& command, char state, std::uint64_t startTime,
             const std::string& exeTarget = "") {
        const std::string folder = root_.file(std::to_string(pid));
        std::filesystem::create_directory(folder);
        std::ofstream(folder + "/stat")
            << pid << " (" << command << ") " << state
            << " 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 " << startTime << " 0 0\n";
        std::ofstream(folder + "/comm") << command << "\n";
        if (!exeTarget.empty()) {
            std::filesystem::create_symlink(exeTarget, folder + "/exe");
        }
    }
    const std::string& path() const { return root_.path(); }

private:
    testing::TemporaryFolder root_;
};

TEST(ProcessWalk, FindsTheOldestLivingProcessOfTheName) {
    FakeProcFolder proc;
    proc.add(300, "tavrik", 'S', 5000, "/opt/a/tavrik");
    proc.add(200, "tavrik", 'S', 4000, "/opt/b/Tavrik (deleted)");
    proc.add(100, "tavrik", 'Z', 1000); // a zombie runs nothing
    proc.add(150, "other", 'S', 10, "/usr/bin/other");
    proc.add(120, "tavrik", 'S', 3000, "/usr/bin/tavrik-daemon");
    std::filesystem::create_directory(proc.path() + "/self"); // not a process id
    EXPECT_EQ(findInstanceProcess("TAVRIK", proc.path()), 200);
    EXPECT_EQ(findInstanceProcess("tavrik-daemon", proc.path()), 120);
    EXPECT_EQ(findInstanceProcess("nothing", proc.path()), 0);
    EXPECT_EQ(findInstanceProcess("", proc.path()), 0);
}

TEST(ProcessWalk, EqualStartTimesGoToTheLowerProcessId) {
    FakeProcFolder proc;
    proc.add(71, "tavrik", 'R', 500, "/opt/tavrik");
    proc.add(70, "tavrik", 'S', 500, "/opt/tavrik");
    proc.add(72, "tavrik", 'S', 500, "/opt/tavrik");
    EXPECT_EQ(findInstanceProcess("tavrik", proc.path()), 70);
}

TEST(ProcessWalk, WithoutAnExecutableLinkTheCutCommandNameCounts) {
    FakeProcFolder proc;
    // The system keeps 15 characters of a command name.
    proc.add(50, "tavrik-configur", 'S', 900);
    proc.add(51, "tavrik", 'S', 800);
    EXPECT_EQ(findInstanceProcess("Tavrik-Configurator", proc.path()), 50);
    EXPECT_EQ(findInstanceProcess("tavrik-configur", proc.path()), 50);
    EXPECT_EQ(findInstanceProcess("tavrik-conf", proc.path()), 0);
}

TEST(ProcessWalk, AMissingProcFolderGivesZero) {
    EXPECT_EQ(findInstanceProcess("tavrik", "/nonexistent-proc-folder"), 0);
}

pid_t spawn(const std::string& program) {
    pid_t pid = 0;
    const char* arguments[] = {program.c_str(), "30", nullptr};
    return ::posix_spawn(&pid, program.c_str(), nullptr, nullptr, const_cast<char**>(arguments),
                         environ) == 0
               ? pid
               : 0;
}

void end(pid_t pid) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

TEST(ProcessWalk, FindsTheOlderOfTwoRunningProcessesOfOneName) {
    testing::TemporaryFolder folder;
    // A name of this run's own, short enough to be a whole command name.
    const std::string name = "Walk" + std::to_string(::getpid());
    std::string lowerName = name;
    lowerName[0] = 'w';
    const std::string first = folder.file(name);
    std::filesystem::create_directory(folder.file("second"));
    const std::string second = folder.file("second/" + lowerName);
    std::filesystem::copy_file("/bin/sleep", first);
    std::filesystem::copy_file("/bin/sleep", second);
    std::filesystem::permissions(first, std::filesystem::perms::owner_exec,
                                 std::filesystem::perm_options::add);
    std::filesystem::permissions(second, std::filesystem::perms::owner_exec,
                                 std::filesystem::perm_options::add);

    const pid_t older = spawn(first);
    ASSERT_NE(older, 0);
    // Start times count in clock ticks (10 ms); let at least one pass.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const pid_t younger = spawn(second);
    ASSERT_NE(younger, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(50)); // both have exec'd

    EXPECT_EQ(findInstanceProcess(lowerName), older);
    end(older);
    EXPECT_EQ(findInstanceProcess("WALK" + name.substr(4)), younger);
    end(younger);
    EXPECT_EQ(findInstanceProcess(name), 0);
}

} // namespace
} // namespace tavrik::platform
