// `cmake --install` into a temporary prefix, then the installed commands and
// the installed program (offscreen, on a virtual keyboard) run from there,
// with the program folder read-only.

#include "profile/KeyboardBackup.h"
#include "tests/packaging/PackagingSupport.h"
#include "tests/support/TemporaryFolder.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

namespace tavrik::packaging {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// The program started from the prefix; its log goes to a file, read until a
// line shows up.
class RunningProgram {
public:
    RunningProgram(const std::string& program, const std::string& logFile) : log_(logFile) {
        std::string path = program;
        char* argv[] = {path.data(), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        if (posix_spawn(&pid_, path.c_str(), &actions, nullptr, argv, environ) != 0) {
            pid_ = 0;
        }
        posix_spawn_file_actions_destroy(&actions);
    }
    ~RunningProgram() { end(); }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool waitForLog(const std::string& line) {
        const auto deadline = std::chrono::steady_clock::now() + 30s;
        while (std::chrono::steady_clock::now() < deadline) {
            if (log().find(line) != std::string::npos) {
                return true;
            }
            if (pid_ == 0 || ::waitpid(pid_, nullptr, WNOHANG) == pid_) {
                pid_ = 0;
                return log().find(line) != std::string::npos;
            }
            std::this_thread::sleep_for(20ms);
        }
        return false;
    }
    std::string log() const { return readTextFile(log_); }
    // Another program named tavrik of this user elsewhere on the machine
    // would take the instance messages of "/Kill", so the test ends its own
    // program itself.
    void end() {
        if (pid_ != 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
            pid_ = 0;
        }
    }

private:
    std::string log_;
    pid_t pid_ = 0;
};

// Every file below a folder with its size and time of change.
std::map<std::string, std::pair<std::uintmax_t, fs::file_time_type>>
snapshotOf(const std::string& folder) {
    std::map<std::string, std::pair<std::uintmax_t, fs::file_time_type>> files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
        const bool regular = entry.is_regular_file() && !entry.is_symlink();
        files[entry.path().string()] = {regular ? entry.file_size() : 0,
                                        fs::symlink_status(entry).type() == fs::file_type::symlink
                                            ? fs::file_time_type()
                                            : entry.last_write_time()};
    }
    return files;
}

class InstallTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        prefixFolder_ = new tavrik::testing::TemporaryFolder();
        installed_ = new CommandOutcome(tavrik::testing::runCommand(
            {CMAKE_COMMAND, "--install", TAVRIK_BUILD_DIR, "--prefix", prefix()},
            prefixFolder_->path()));
        fs::remove(prefixFolder_->file("command-out.txt"));
        fs::remove(prefixFolder_->file("command-err.txt"));
        // The program folder as a package leaves it: nobody's to write in.
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(prefix())) {
            if (!entry.is_symlink()) {
                fs::permissions(entry.path(),
                                fs::perms::owner_write | fs::perms::group_write |
                                    fs::perms::others_write,
                                fs::perm_options::remove);
            }
        }
    }
    static void TearDownTestSuite() {
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(prefix())) {
            if (!entry.is_symlink()) {
                fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add);
            }
        }
        delete installed_;
        delete prefixFolder_;
    }
    static std::string prefix() { return prefixFolder_->path(); }
    static std::string installed(const std::string& relative) { return prefix() + "/" + relative; }

    void SetUp() override {
        ASSERT_EQ(installed_->status, 0) << describe(*installed_);
        for (const char* name : {"home", "run", "state", "config", "data", "cache", "work"}) {
            fs::create_directory(home_.file(name));
        }
        fs::permissions(home_.file("run"), fs::perms::owner_all, fs::perm_options::replace);
        const std::pair<const char*, std::string> environment[] = {
            {"HOME", home_.file("home")},
            {"XDG_RUNTIME_DIR", home_.file("run")},
            {"XDG_STATE_HOME", home_.file("state")},
            {"XDG_CONFIG_HOME", home_.file("config")},
            {"XDG_DATA_HOME", home_.file("data")},
            {"XDG_CACHE_HOME", home_.file("cache")},
            {"VEZAROR_BACKEND", "virtual"},
            {"VEZAROR_VIRTUAL_STATE", home_.file("keyboard.state")},
            {"VEZAROR_VIRTUAL_CONTROL", home_.file("vkbd.sock")},
            {"QT_QPA_PLATFORM", "offscreen"},
            {"QT_LOGGING_RULES", "tavrik.window.debug=true"},
            {"PATH", installed("bin") + ":/usr/bin:/bin"},
        };
        for (const auto& [name, value] : environment) {
            ::setenv(name, value.c_str(), 1);
        }
        ::unsetenv("VEZAROR_VIRTUAL_PLUGGED");
        ::unsetenv("VEZAROR_VIRTUAL_LATENCY_MS");
    }

    // A command of the prefix, by its name on PATH, as a user types it.
    CommandOutcome command(std::vector<std::string> arguments) {
        return tavrik::testing::runCommand(std::move(arguments), home_.file("work"));
    }
    std::unique_ptr<RunningProgram> startProgram() {
        return std::make_unique<RunningProgram>(installed("bin/tavrik"), home_.file("tavrik.log"));
    }
    // What `vkbd dump` shows of the keyboard of a program that runs.
    std::string dumpWithTheProgram() {
        const auto program = startProgram();
        EXPECT_TRUE(program->waitForLog("window shown")) << program->log();
        const CommandOutcome dump = command({"vkbd", "dump"});
        EXPECT_EQ(dump.status, 0) << describe(dump);
        return dump.out;
    }

    tavrik::testing::TemporaryFolder home_;
    static inline tavrik::testing::TemporaryFolder* prefixFolder_ = nullptr;
    static inline CommandOutcome* installed_ = nullptr;
};

TEST_F(InstallTest, ThePrefixHoldsTheProgramFolderTheCommandsAndTheDesktopFiles) {
    for (const char* file : {"lib/tavrik/tavrik",
                             "lib/tavrik/tavrikctl",
                             "lib/tavrik/vkbd",
                             "lib/tavrik/libVezAror.so",
                             "lib/tavrik/Skins/Main.ini",
                             "lib/tavrik/Skins/language.ini",
                             "lib/tavrik/Skins/Arrow.jpg",
                             "lib/tavrik/Skins/tray128.png",
                             "lib/tavrik/Help/index.html",
                             "lib/tavrik/Help/composite_editor.png",
                             "lib/udev/rules.d/60-tavrik-keyboard.rules",
                             "share/applications/org.tavrik.Tavrik.desktop",
                             "share/metainfo/org.tavrik.Tavrik.metainfo.xml",
                             "share/man/man1/tavrik.1.gz",
                             "share/man/man1/tavrikctl.1.gz",
                             "share/man/man1/vkbd.1.gz",
                             "share/doc/tavrik/README.md",
                             "share/dbus-1/interfaces/org.tavrik.Tavrik1.xml",
                             "share/kwin/scripts/tavrik-focus/metadata.json",
                             "share/kwin/scripts/tavrik-focus/contents/code/main.js",
                             "share/gnome-shell/extensions/tavrik-focus@tavrik.org/metadata.json",
                             "share/gnome-shell/extensions/tavrik-focus@tavrik.org/extension.js",
                             "share/gnome-shell/extensions/tavrik-focus-gnome45@tavrik.org/"
                             "metadata.json",
                             "share/gnome-shell/extensions/tavrik-focus-gnome45@tavrik.org/"
                             "extension.js"}) {
        EXPECT_TRUE(fs::is_regular_file(installed(file))) << file;
    }
    for (const char* size :
         {"16x16", "22x22", "24x24", "32x32", "48x48", "64x64", "128x128", "256x256"}) {
        EXPECT_TRUE(fs::is_regular_file(
            installed("share/icons/hicolor/" + std::string(size) + "/apps/org.tavrik.Tavrik.png")))
            << size;
    }
    for (const char* name : {"tavrik", "tavrikctl", "vkbd"}) {
        const std::string link = installed("bin/" + std::string(name));
        ASSERT_TRUE(fs::is_symlink(link)) << name;
        EXPECT_EQ(fs::read_symlink(link), "../lib/tavrik/" + std::string(name));
    }
    // Only what a user needs: no test programs, benchmarks or build tools.
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(prefix())) {
        const std::string name = entry.path().filename().string();
        EXPECT_EQ(name.find("_tests"), std::string::npos) << entry.path();
        EXPECT_EQ(name.find("bench"), std::string::npos) << entry.path();
        EXPECT_NE(name, "skingen");
        EXPECT_NE(entry.path().extension(), ".userd") << entry.path();
    }
}

TEST_F(InstallTest, TheProgramRunsFromItsReadOnlyFolderAndWritesNothingThere) {
    const auto before = snapshotOf(prefix());
    const auto program = startProgram();
    ASSERT_TRUE(program->waitForLog("window shown")) << program->log();
    const CommandOutcome state = command({"vkbd", "state"});
    EXPECT_EQ(state.status, 0) << describe(state);
    EXPECT_EQ(state.out.rfind("ok plugged=1 profile=0", 0), 0u) << state.out;

    // Every message of vkbd is whole lines, whatever the keyboard answers.
    const std::vector<std::vector<std::string>> runs = {
        {"vkbd"},
        {"vkbd", "--help"},
        {"vkbd", "frobnicate"},
        {"vkbd", "press", "profile", "9"},
        {"vkbd", "latency", "x"},
        {"vkbd", "dump", "raw", "nothing"},
        {"vkbd", "dump", "raw", "info"},
        {"vkbd", "--socket", home_.file("none.sock"), "state"},
    };
    for (const std::vector<std::string>& run : runs) {
        const CommandOutcome outcome = command(run);
        EXPECT_FALSE(outcome.out.empty() && outcome.err.empty()) << run.back();
        for (const std::string* text : {&outcome.out, &outcome.err}) {
            EXPECT_TRUE(text->empty() || text->back() == '\n') << run.back() << ": " << *text;
        }
    }
    EXPECT_EQ(command({"vkbd", "frobnicate"}).status, 1);
    EXPECT_EQ(command({"vkbd", "--socket", home_.file("none.sock"), "state"}).status, 2);
    program->end();
    EXPECT_TRUE(snapshotOf(prefix()) == before) << "the program folder was written to";
}

// backup -> change the virtual keyboard -> restore -> `vkbd dump` as before,
// all with the installed commands and the installed program.
TEST_F(InstallTest, ABackupMadeWithTheInstalledCommandsRestoresTheKeyboard) {
    ASSERT_EQ(command({"tavrikctl", "profile", "2"}).status, 0);
    const std::string before = dumpWithTheProgram();
    ASSERT_NE(before.find("active profile   1 (profile 2)"), std::string::npos) << before;

    const std::string backup = home_.file("keyboard.tkb");
    const CommandOutcome saved = command({"tavrikctl", "backup", backup});
    ASSERT_EQ(saved.status, 0) << describe(saved);

    // Everything changed: the active profile, the key maps, the macros, the
    // lighting and the zone colours (through a backup of other contents).
    profile::KeyboardBackup other;
    ASSERT_EQ(profile::readKeyboardBackupFile(backup, other), profile::BackupCheck::Valid);
    other.activeProfile = 0;
    other.pages[1][3 * 19 + 2] = 0x05; // key A of profile 2 sends B
    other.pages[1][3 * 20 + 0] = 0x03; // the next key plays media: mute
    other.pages[1][3 * 20 + 1] = 0xE2;
    other.pages[1][3 * 20 + 2] = 0x00;
    for (std::size_t profile = 0; profile < 3; ++profile) {
        other.lighting[profile][0] = 4;  // a static effect
        other.lighting[profile][1] = 2;  // half bright
        other.zones[profile].fill(0x20); // dark zones
    }
    other.macroArea = {0xAA, 0x55, 16, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    ASSERT_TRUE(profile::writeKeyboardBackupFile(home_.file("other.tkb"), other));
    const CommandOutcome changed = command({"tavrikctl", "restore", home_.file("other.tkb")});
    ASSERT_EQ(changed.status, 0) << describe(changed);
    const std::string changedDump = dumpWithTheProgram();
    ASSERT_NE(changedDump, before);
    // Media names come from the language file beside vkbd, as in the program.
    EXPECT_NE(changedDump.find("(Mute)"), std::string::npos) << changedDump;

    const CommandOutcome restored = command({"tavrikctl", "restore", backup});
    ASSERT_EQ(restored.status, 0) << describe(restored);
    EXPECT_EQ(restored.out, "The keyboard was restored from " + backup + "\n");
    EXPECT_EQ(dumpWithTheProgram(), before);
}

TEST_F(InstallTest, DamagedAndForeignBackupsLeaveTheKeyboardUntouched) {
    const std::string backup = home_.file("keyboard.tkb");
    ASSERT_EQ(command({"tavrikctl", "backup", backup}).status, 0);
    ASSERT_EQ(command({"tavrikctl", "profile", "3"}).status, 0);
    const std::string keyboard = readTextFile(home_.file("keyboard.state"));
    const std::string good = readTextFile(backup);
    std::string flipped = good;
    flipped[1700] = static_cast<char>(flipped[1700] ^ 0x04);
    const std::pair<const char*, std::string> cases[] = {
        {"truncated", good.substr(0, good.size() - 100)},
        {"bit-flipped", flipped},
        {"foreign", readTextFile(installed("lib/tavrik/Skins/Main.ini"))},
    };
    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        std::ofstream(home_.file("refused.tkb"), std::ios::binary | std::ios::trunc) << bytes;
        const CommandOutcome refused = command({"tavrikctl", "restore", home_.file("refused.tkb")});
        EXPECT_EQ(refused.status, 1);
        EXPECT_NE(refused.err.find("so the keyboard was left as it is"), std::string::npos)
            << refused.err;
        EXPECT_TRUE(readTextFile(home_.file("keyboard.state")) == keyboard);
    }
    EXPECT_EQ(command({"tavrikctl", "profile"}).out, "active profile 3\n");
}

} // namespace
} // namespace tavrik::packaging
