// The built tavrikctl, run as a user runs it, against the virtual keyboard:
// its memory lives in a state file between the runs.

#include "keyboard/AssignmentTable.h"
#include "platform/InstanceLock.h"
#include "platform/RunningMark.h"
#include "profile/ProfileFile.h"
#include "sync/DataSets.h"
#include "tests/support/CommandRun.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/VirtualKeyboardSession.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tavrik::profile {
namespace {

using keyboard::AssignmentType;
using keyboard::KeyAssignment;

using Outcome = tavrik::testing::CommandOutcome;
using tavrik::testing::readTextFile;

class TavrikctlTest : public ::testing::Test {
protected:
    TavrikctlTest() { tavrik::testing::useVirtualKeyboardIn(folder); }

    Outcome tavrikctl(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), std::string(TAVRIK_BIN_DIR) + "/tavrikctl");
        return tavrik::testing::runCommand(std::move(arguments), folder.path());
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
    std::string bytes = readTextFile(writeSampleProfile());
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

// A shell without the session's runtime folder and bus (cron, su, ssh)
// still sees that Tavrik runs for the user, and writes nothing behind its
// back: its next save would put its own copy back.
TEST_F(TavrikctlTest, ATavrikOfTheUserInAnotherSessionIsNotWrittenBehindItsBack) {
    ASSERT_EQ(tavrikctl({"profile", "2"}).status, 0);
    const std::string sample = writeSampleProfile();
    {
        platform::RunningMark running;
        ASSERT_TRUE(running.hold());
        ::unsetenv("XDG_RUNTIME_DIR");
        for (const std::vector<std::string>& command :
             {std::vector<std::string>{"profile", "1"}, std::vector<std::string>{"write", sample},
              std::vector<std::string>{"backup", folder.file("b.tkb")},
              std::vector<std::string>{"read", folder.file("read.fwc")}}) {
            const Outcome refused = tavrikctl(command);
            EXPECT_EQ(refused.status, 1) << command[0];
            EXPECT_NE(refused.err.find("Tavrik is running"), std::string::npos) << refused.err;
        }
        EXPECT_FALSE(std::filesystem::exists(folder.file("read.fwc")));
        EXPECT_FALSE(std::filesystem::exists(folder.file("b.tkb")));
        ::setenv("XDG_RUNTIME_DIR", folder.file("run").c_str(), 1);
    }
    EXPECT_EQ(tavrikctl({"profile"}).out, "active profile 2\n");
}

// Backup and restore from the command line: what the keyboard held comes
// back, read through the keyboard's own profile file and its active profile.
TEST_F(TavrikctlTest, ABackupRestoresTheKeyboardAsItWas) {
    ASSERT_EQ(tavrikctl({"write", writeSampleProfile()}).status, 0);
    ASSERT_EQ(tavrikctl({"profile", "2"}).status, 0);
    ASSERT_EQ(tavrikctl({"read", folder.file("before.fwc")}).status, 0);

    const std::string backup = folder.file("keyboard.tkb");
    const Outcome saved = tavrikctl({"backup", backup});
    ASSERT_EQ(saved.status, 0) << saved.err;
    EXPECT_EQ(saved.out, "The keyboard is backed up in " + backup + "\n");

    // Another configuration on the keyboard.
    sync::WorkingSet empty;
    empty.table = keyboard::defaultTable();
    const std::vector<std::uint8_t> image = profileImageOf(empty);
    std::ofstream(folder.file("empty.fwc"), std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()),
               static_cast<std::streamsize>(image.size()));
    ASSERT_EQ(tavrikctl({"write", folder.file("empty.fwc")}).status, 0);
    ASSERT_EQ(tavrikctl({"profile", "3"}).status, 0);
    ASSERT_EQ(tavrikctl({"read", folder.file("changed.fwc")}).status, 0);
    ASSERT_NE(readTextFile(folder.file("changed.fwc")), readTextFile(folder.file("before.fwc")));

    const Outcome restored = tavrikctl({"restore", backup});
    ASSERT_EQ(restored.status, 0) << restored.err;
    EXPECT_EQ(restored.out, "The keyboard was restored from " + backup + "\n");
    ASSERT_EQ(tavrikctl({"read", folder.file("after.fwc")}).status, 0);
    EXPECT_EQ(readTextFile(folder.file("after.fwc")), readTextFile(folder.file("before.fwc")));
    EXPECT_EQ(tavrikctl({"profile"}).out, "active profile 2\n");
}

// A truncated, a bit-flipped and a foreign backup are each refused with a
// message that says so, and the keyboard's memory (its state file) stays as
// it is.
TEST_F(TavrikctlTest, DamagedOrForeignBackupsLeaveTheKeyboardUntouched) {
    const std::string backup = folder.file("keyboard.tkb");
    ASSERT_EQ(tavrikctl({"backup", backup}).status, 0);
    ASSERT_EQ(tavrikctl({"write", writeSampleProfile()}).status, 0);
    ASSERT_EQ(tavrikctl({"profile", "3"}).status, 0);
    const std::string keyboardBefore = readTextFile(folder.file("keyboard.state"));

    const std::string good = readTextFile(backup);
    std::string flipped = good;
    flipped[700] = static_cast<char>(flipped[700] ^ 0x10);
    struct Case {
        const char* what;
        std::string bytes;
        std::string message;
    };
    const Case cases[] = {
        {"truncated", good.substr(0, good.size() - 100),
         "The backup is damaged or incomplete, so the keyboard was left as it is: "},
        {"bit-flipped", flipped,
         "The backup is damaged or incomplete, so the keyboard was left as it is: "},
        {"a profile file", readTextFile(writeSampleProfile()),
         "This is not a keyboard backup, so the keyboard was left as it is: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = folder.file("refused.tkb");
        std::ofstream(path, std::ios::binary | std::ios::trunc) << c.bytes;
        const Outcome refused = tavrikctl({"restore", path});
        EXPECT_EQ(refused.status, 1);
        EXPECT_EQ(refused.err, "tavrikctl: " + c.message + path + "\n");
        EXPECT_EQ(refused.out, "");
        EXPECT_EQ(readTextFile(folder.file("keyboard.state")), keyboardBefore);
    }
    const Outcome missing = tavrikctl({"restore", folder.file("missing.tkb")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err,
              "tavrikctl: The backup cannot be read: " + folder.file("missing.tkb") + "\n");
    EXPECT_EQ(tavrikctl({"profile"}).out, "active profile 3\n");
}

TEST_F(TavrikctlTest, BackupAndRestoreWaitForTavrikToEnd) {
    const std::string backup = folder.file("keyboard.tkb");
    ASSERT_EQ(tavrikctl({"backup", backup}).status, 0);
    platform::InstanceLock running;
    ASSERT_TRUE(running.createOwned(platform::kInstanceMutexName));
    for (const char* command : {"backup", "restore"}) {
        const Outcome refused = tavrikctl({command, backup});
        EXPECT_EQ(refused.status, 1) << command;
        EXPECT_NE(refused.err.find("Tavrik is running"), std::string::npos) << refused.err;
    }
    EXPECT_EQ(tavrikctl({"backup", folder.file("other.tkb")}).status, 1);
    EXPECT_FALSE(std::filesystem::exists(folder.file("other.tkb")));
}

// Every message a run prints, on either stream, is whole lines.
TEST_F(TavrikctlTest, EveryMessageEndsWithANewline) {
    const std::string backup = folder.file("keyboard.tkb");
    std::ofstream(folder.file("junk"), std::ios::binary) << "junk";
    const std::vector<std::vector<std::string>> runs = {
        {},
        {"--help"},
        {"frobnicate"},
        {"profile", "9"},
        {"profile"},
        {"backup", backup},
        {"backup", folder.file("missing/keyboard.tkb")},
        {"restore", backup},
        {"restore", folder.file("junk")},
        {"restore", folder.path()},
        {"check", folder.file("junk")},
        {"dump", folder.file("junk")},
        {"read", folder.file("missing/read.fwc")},
    };
    for (const std::vector<std::string>& run : runs) {
        const Outcome outcome = tavrikctl(run);
        const std::string what = run.empty() ? "(nothing)" : run.front();
        EXPECT_FALSE(outcome.out.empty() && outcome.err.empty()) << what;
        for (const std::string* text : {&outcome.out, &outcome.err}) {
            EXPECT_TRUE(text->empty() || text->back() == '\n') << what << ": " << *text;
        }
    }
}

// Without the program, the rules of the application profiles go into its
// settings store, and the same commands read them back; wrong usage changes
// nothing.
TEST_F(TavrikctlTest, AppProfileRulesAreKeptInTheSettingsWithoutTheProgram) {
    ::setenv("XDG_CONFIG_HOME", folder.file("config").c_str(), 1);
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    const struct {
        std::vector<std::string> arguments;
        int status;
    } steps[] = {
        {{"app-profile", "set", "Gimp", "2"}, 0},
        {{"app-profile", "set", "steam_app_570", "3"}, 0},
        {{"app-profile", "set", "gimp", "1"}, 0},
        {{"app-profile", "set", "kate", "4"}, 2},
        {{"app-profile", "set", "", "1"}, 2},
        {{"app-profile", "unset", "xterm"}, 1},
        {{"app-profile", "unset", "STEAM_APP_570"}, 0},
        {{"app-profile", "default", "2"}, 0},
        {{"app-profile", "default", "all"}, 2},
        {{"app-profile", "nothing"}, 2},
    };
    for (const auto& step : steps) {
        EXPECT_EQ(tavrikctl(step.arguments).status, step.status) << step.arguments[1];
    }
    const Outcome listed = tavrikctl({"app-profile", "list"});
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(listed.out, "Gimp     1\ndefault  2\n(Tavrik does not run: no rule is in force)\n");
    ::unsetenv("XDG_CONFIG_HOME");
}

} // namespace
} // namespace tavrik::profile
