// The built tavrikctl, run as a user runs it, against the virtual keyboard:
// its memory lives in a state file between the runs.

#include "keyboard/AssignmentTable.h"
#include "platform/InstanceLock.h"
#include "profile/ProfileFile.h"
#include "sync/DataSets.h"
#include "tests/support/TemporaryFolder.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace tavrik::profile {
namespace {

using keyboard::AssignmentType;
using keyboard::KeyAssignment;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

std::string readText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

class TavrikctlTest : public ::testing::Test {
protected:
    TavrikctlTest() {
        ::setenv("VEZAROR_BACKEND", "virtual", 1);
        ::setenv("VEZAROR_VIRTUAL_STATE", folder.file("keyboard.state").c_str(), 1);
        ::setenv("VEZAROR_VIRTUAL_CONTROL", folder.file("vkbd.sock").c_str(), 1);
        ::unsetenv("VEZAROR_VIRTUAL_LATENCY_MS");
        ::unsetenv("VEZAROR_VIRTUAL_PLUGGED");
        std::filesystem::create_directory(folder.file("run"));
        std::filesystem::permissions(folder.file("run"), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::replace);
        ::setenv("XDG_RUNTIME_DIR", folder.file("run").c_str(), 1);
    }

    Outcome tavrikctl(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), std::string(TAVRIK_BIN_DIR) + "/tavrikctl");
        std::vector<char*> argv;
        for (std::string& argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        const std::string out = folder.file("out.txt");
        const std::string err = folder.file("err.txt");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        pid_t child = 0;
        Outcome run;
        if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
            int status = 0;
            ::waitpid(child, &status, 0);
            run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        run.out = readText(out);
        run.err = readText(err);
        return run;
    }

    // A profile file with assignments in all three profiles and two macros,
    // all of a kind the keyboard keeps.
    std::string writeSampleProfile() {
        sync::WorkingSet set;
        set.table = keyboard::defaultTable();
        const KeyAssignment assignments[][3] = {
            {{AssignmentType::SingleKey, 0, 0x30},
             {AssignmentType::Media, 0, 6},
             {AssignmentType::Function, 0, 4}},
            {{AssignmentType::PlayMacro, 0, 2},
             {AssignmentType::StopMacro, 0, 0},
             {AssignmentType::Disabled, 0, 0}},
        };
        for (int layer = 0; layer < 3; ++layer) {
            set.table.storeRecord(layer, 0x1E, assignments[0][layer]);
            set.table.storeRecord(layer, 0x2C, assignments[1][layer]);
            set.table.storeRecord(layer, 256 + 4, {AssignmentType::SingleKey, 0, 0x138});
        }
        for (std::uint16_t id = 1; id <= 2; ++id) {
            macro::MacroRecord record;
            record.setName(id == 1 ? u"copy" : u"burst");
            record.setCycles(static_cast<std::uint8_t>(id + 1));
            record.setId(id);
            record.setActions(std::vector<macro::MacroAction>{
                {30, 0x1D, 0}, {40, 0x2E, 0}, {0, 0x2E, 1}, {10 * id, 0x1D, 1}});
            set.macros.push_back(record);
        }
        const std::vector<std::uint8_t> image = profileImageOf(set);
        const std::string path = folder.file("sample.fwc");
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(image.data()),
                   static_cast<std::streamsize>(image.size()));
        return path;
    }

    tavrik::testing::TemporaryFolder folder;
};

// The dump from the first layer on: what a file says about keys and macros.
std::string keysAndMacros(const std::string& dump) {
    const auto start = dump.find("profile 1\n");
    return start == std::string::npos ? std::string() : dump.substr(start);
}

TEST_F(TavrikctlTest, AProfileWrittenToTheKeyboardReadsBackTheSame) {
    const std::string sample = writeSampleProfile();
    const Outcome written = tavrikctl({"write", sample});
    ASSERT_EQ(written.status, 0) << written.err;

    const std::string back = folder.file("back.fwc");
    const Outcome readBack = tavrikctl({"read", back});
    ASSERT_EQ(readBack.status, 0) << readBack.err;
    EXPECT_EQ(tavrikctl({"check", back}).status, 0);

    const Outcome sent = tavrikctl({"dump", sample});
    const Outcome received = tavrikctl({"dump", back});
    ASSERT_EQ(sent.status, 0);
    ASSERT_EQ(received.status, 0);
    EXPECT_NE(sent.out.find("  A: sends B\n"), std::string::npos) << sent.out;
    EXPECT_NE(sent.out.find("  Z: plays macro 2 \"burst\", tag 0\n"), std::string::npos);
    EXPECT_NE(sent.out.find("  G5: sends Right Alt\n"), std::string::npos);
    EXPECT_NE(sent.out.find("  2. \"burst\": id 2, cycles 3, 4 actions\n"), std::string::npos);
    EXPECT_NE(sent.out.find("acceptable   yes"), std::string::npos);
    EXPECT_EQ(keysAndMacros(received.out), keysAndMacros(sent.out));
}

TEST_F(TavrikctlTest, CheckAndDumpReportAFileTheProgramWouldRefuse) {
    std::string bytes = readText(writeSampleProfile());
    bytes[14] = 101; // macro count
    const std::string path = folder.file("bad.fwc");
    std::ofstream(path, std::ios::binary) << bytes;

    const Outcome check = tavrikctl({"check", path});
    EXPECT_EQ(check.status, 1);
    EXPECT_NE(check.err.find("wrong file format, revert to the default values: \n  " + path),
              std::string::npos)
        << check.err;
    EXPECT_NE(check.err.find("File format error, import failed! "), std::string::npos);

    const Outcome dump = tavrikctl({"dump", path});
    EXPECT_EQ(dump.status, 0);
    EXPECT_NE(dump.out.find("acceptable   no"), std::string::npos);
    EXPECT_EQ(tavrikctl({"dump", folder.file("missing.fwc")}).status, 1);
    EXPECT_EQ(tavrikctl({"write", path}).status, 1);
}

TEST_F(TavrikctlTest, TheActiveProfileIsSetAndShown) {
    const Outcome set = tavrikctl({"profile", "3"});
    ASSERT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(set.out, "active profile 3\n");
    EXPECT_EQ(tavrikctl({"profile"}).out, "active profile 3\n");
    EXPECT_EQ(tavrikctl({"profile", "4"}).status, 2);
    EXPECT_EQ(tavrikctl({"frobnicate"}).status, 2);
}

TEST_F(TavrikctlTest, NothingReachesTheKeyboardWhileTavrikRuns) {
    ASSERT_EQ(tavrikctl({"profile", "2"}).status, 0);
    {
        platform::InstanceLock running;
        ASSERT_TRUE(running.createOwned(platform::kInstanceMutexName));
        for (const std::vector<std::string>& command :
             {std::vector<std::string>{"profile", "1"},
              std::vector<std::string>{"write", writeSampleProfile()},
              std::vector<std::string>{"read", folder.file("read.fwc")}}) {
            const Outcome refused = tavrikctl(command);
            EXPECT_EQ(refused.status, 1) << command[0];
            EXPECT_NE(refused.err.find("Tavrik is running"), std::string::npos) << refused.err;
        }
        EXPECT_FALSE(std::filesystem::exists(folder.file("read.fwc")));
    }
    EXPECT_EQ(tavrikctl({"profile"}).out, "active profile 2\n");
}

} // namespace
} // namespace tavrik::profile
