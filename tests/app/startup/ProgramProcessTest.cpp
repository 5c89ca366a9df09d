// Whole starts of the program, each in its own process: a copy of the
// program folder (the program under a name of this run's own, the service
// library, Skins and Help, and a daemon that notes its starts) with a
// virtual keyboard, in a home and runtime folder of the test's own. The
// window lists the messages it handles on its log ("tavrik.window").

#include "platform/NamedEvents.h"
#include "service/virtual/ControlClient.h"
#include "tests/support/TemporaryFolder.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tavrik::app {
namespace {

namespace fs = std::filesystem;

constexpr int kStartMilliseconds = 20000;

std::string readFile(const std::string& path) {
    std::ifstream file(path);
    std::stringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

int countOf(const std::string& text, const std::string& what) {
    int count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos;
         at = text.find(what, at + what.size())) {
        ++count;
    }
    return count;
}

// The log lines of the window's messages.
const std::string kInitHandled = "message 0x4d4e wParam 0x494e4954";
const std::string kOpenHandled = "message 0x5350 wParam 0x4f50454e";
const std::string kKillHandled = "message 0x4d4b wParam 0x4c4c494b";
const std::string kWindowShown = "window shown";
const std::string kNoKeyboard = "no keyboard";

class Instance {
public:
    explicit Instance(QProcess* process) : process_(process) {}

    // Everything the program wrote on its log so far.
    const std::string& log() {
        process_->waitForReadyRead(10);
        log_ += process_->readAllStandardError().toStdString();
        return log_;
    }
    bool waitForLog(const std::string& line, int milliseconds = kStartMilliseconds) {
        for (int waited = 0; waited < milliseconds; waited += 20) {
            if (log().find(line) != std::string::npos) {
                return true;
            }
            if (process_->state() == QProcess::NotRunning) {
                return log().find(line) != std::string::npos;
            }
            process_->waitForReadyRead(20);
        }
        return false;
    }
    // Whether it ended by itself with exit code 0 within the time.
    bool endsWithZero(int milliseconds = kStartMilliseconds) {
        if (!process_->waitForFinished(milliseconds)) {
            return false;
        }
        log();
        return process_->exitStatus() == QProcess::NormalExit && process_->exitCode() == 0;
    }
    QProcess& process() { return *process_; }

private:
    QProcess* process_;
    std::string log_;
};

class ProgramProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A name of this run's own, so that no other run's program counts
        // as an instance.
        program_ = binFile("tavrik" + std::to_string(::getpid()));
        fs::create_directories(folder_.file("bin"));
        fs::copy_file(TAVRIK_PROGRAM, program_);
        fs::copy_file(std::string(TAVRIK_BIN_DIR) + "/libVezAror.so", binFile("libVezAror.so"));
        for (const char* skinFolder : {"Skins", "Help"}) {
            fs::copy(std::string(TAVRIK_BIN_DIR) + "/" + skinFolder, binFile(skinFolder),
                     fs::copy_options::recursive);
        }
        std::ofstream(binFile("tavrik-daemon"))
            << "#!/bin/sh\necho started >> '" << folder_.file("daemon.log") << "'\n";
        fs::permissions(binFile("tavrik-daemon"), fs::perms::owner_all, fs::perm_options::add);
        for (const char* name : {"home", "run", "state", "config", "data", "cache"}) {
            fs::create_directory(folder_.file(name));
        }
        ::chmod(folder_.file("run").c_str(), 0700);
    }
    void TearDown() override {
        for (const std::unique_ptr<QProcess>& process : processes_) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(5000);
            }
        }
    }

    std::string binFile(const std::string& name) const { return folder_.file("bin/" + name); }
    // Where a named event of the programs started here lives.
    std::string namedEventFile(int number) const {
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        const std::string previous = runtime != nullptr ? runtime : "";
        ::setenv("XDG_RUNTIME_DIR", folder_.file("run").c_str(), 1);
        const std::string name = platform::namedEventObjectName(platform::namedEventName(number));
        if (runtime != nullptr) {
            ::setenv("XDG_RUNTIME_DIR", previous.c_str(), 1);
        } else {
            ::unsetenv("XDG_RUNTIME_DIR");
        }
        return "/dev/shm/sem." + name.substr(1);
    }
    int daemonStarts() const { return countOf(readFile(folder_.file("daemon.log")), "started"); }

    // Without a display the program finds neither DISPLAY nor WAYLAND_DISPLAY,
    // and no platform is named for it.
    enum class Display { Offscreen, None };

    Instance launch(const QStringList& arguments, const std::string& latencyMs = "0",
                    Display display = Display::Offscreen) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        const auto set = [&](const char* name, const std::string& value) {
            environment.insert(QString::fromLatin1(name), QString::fromStdString(value));
        };
        set("HOME", folder_.file("home"));
        set("XDG_RUNTIME_DIR", folder_.file("run"));
        set("XDG_STATE_HOME", folder_.file("state"));
        set("XDG_CONFIG_HOME", folder_.file("config"));
        set("XDG_DATA_HOME", folder_.file("data"));
        set("XDG_CACHE_HOME", folder_.file("cache"));
        set("VEZAROR_BACKEND", "virtual");
        set("VEZAROR_VIRTUAL_STATE", folder_.file("keyboard.state"));
        set("VEZAROR_VIRTUAL_CONTROL", folder_.file("vkbd.sock"));
        set("VEZAROR_VIRTUAL_LATENCY_MS", latencyMs);
        if (display == Display::Offscreen) {
            set("QT_QPA_PLATFORM", "offscreen");
        } else {
            for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
                environment.remove(QString::fromLatin1(name));
            }
        }
        set("QT_LOGGING_RULES", "tavrik.window.debug=true\ntavrik.prompt.debug=true");
        environment.remove(QStringLiteral("VEZAROR_VIRTUAL_PLUGGED"));
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment);
        process->start(QString::fromStdString(program_), arguments);
        process->waitForStarted();
        processes_.push_back(std::move(process));
        return Instance(processes_.back().get());
    }

    testing::TemporaryFolder folder_;
    std::string program_;
    std::vector<std::unique_ptr<QProcess>> processes_;
};

TEST_F(ProgramProcessTest, SecondStartSendsOneOpenAndEndsWithoutADaemon) {
    // Started hidden, the first instance opens only when asked.
    Instance first = launch({QStringLiteral("/Start")});
    ASSERT_TRUE(first.waitForLog(kInitHandled)) << first.log();
    ASSERT_EQ(daemonStarts(), 1);

    Instance second = launch({});
    EXPECT_TRUE(second.endsWithZero()) << second.log();
    EXPECT_EQ(second.log().find("message"), std::string::npos) << second.log();
    ASSERT_TRUE(first.waitForLog(kOpenHandled)) << first.log();
    ASSERT_TRUE(first.waitForLog(kWindowShown)) << first.log();
    EXPECT_EQ(first.log().find(kNoKeyboard), std::string::npos) << first.log();
    EXPECT_EQ(countOf(first.log(), kOpenHandled), 1) << first.log();
    EXPECT_EQ(daemonStarts(), 1);
    EXPECT_EQ(first.process().state(), QProcess::Running);
}

TEST_F(ProgramProcessTest, ASecondStartRightAfterInitFindsTheReportedKeyboard) {
    // A slow keyboard: the service has reported it and the first instance
    // has handled INIT seconds before the response to that report (reading
    // the default layout, ten exchanges) is done.
    Instance first = launch({QStringLiteral("/Start")}, "400");
    ASSERT_TRUE(first.waitForLog(kInitHandled)) << first.log();

    // The first instance's own reads wait behind the slow ones (the key
    // maps, the macro area, the lighting with its zone colours: over twenty
    // seconds at this pace); a second start may give up on it before it
    // answers, as a person's would, and be tried again until one gets
    // through.
    const QDeadlineTimer patience(4 * kStartMilliseconds);
    while (first.log().find(kOpenHandled) == std::string::npos && !patience.hasExpired()) {
        Instance second = launch({});
        EXPECT_TRUE(second.endsWithZero()) << second.log();
    }
    // The rest of the start-up need not be slow.
    service::ControlClient keyboard(folder_.file("vkbd.sock"));
    std::string reply;
    std::string error;
    ASSERT_TRUE(keyboard.request("latency 0", reply, error)) << error;
    EXPECT_TRUE(first.waitForLog(kWindowShown)) << first.log();
    EXPECT_EQ(first.log().find(kNoKeyboard), std::string::npos) << first.log();
}

TEST_F(ProgramProcessTest, KillEndsTheRunningInstanceAndItself) {
    Instance first = launch({});
    ASSERT_TRUE(first.waitForLog(kInitHandled)) << first.log();

    Instance kill = launch({QStringLiteral("/KILL")});
    EXPECT_TRUE(kill.endsWithZero()) << kill.log();
    EXPECT_TRUE(first.endsWithZero()) << first.log();
    EXPECT_EQ(countOf(first.log(), kKillHandled), 1) << first.log();
    EXPECT_EQ(daemonStarts(), 1);
}

// From a terminal or a logout script there may be no display: a second
// start and "/Kill" still reach the running instance and end with 0.
TEST_F(ProgramProcessTest, SecondStartAndKillNeedNoDisplay) {
    Instance first = launch({QStringLiteral("/Start")});
    ASSERT_TRUE(first.waitForLog(kInitHandled)) << first.log();

    Instance second = launch({}, "0", Display::None);
    EXPECT_TRUE(second.endsWithZero()) << second.log();
    EXPECT_TRUE(first.waitForLog(kOpenHandled)) << first.log();

    Instance kill = launch({QStringLiteral("/Kill")}, "0", Display::None);
    EXPECT_TRUE(kill.endsWithZero()) << kill.log();
    EXPECT_TRUE(first.endsWithZero()) << first.log();
    EXPECT_EQ(countOf(first.log(), kKillHandled), 1) << first.log();
    EXPECT_EQ(daemonStarts(), 1);
}

// A logout, `systemctl --user stop`, `kill` or a closed terminal: the
// program ends in order, as at a Kill from another instance, with exit code
// 0 and none of its named events left behind.
TEST_F(ProgramProcessTest, TerminationSignalsEndTheProgramInOrder) {
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        SCOPED_TRACE(signal);
        Instance first = launch({QStringLiteral("/Start")});
        ASSERT_TRUE(first.waitForLog(kInitHandled)) << first.log();
        const std::string event = namedEventFile(105);
        ASSERT_TRUE(fs::exists(event)) << event;
        ::kill(static_cast<pid_t>(first.process().processId()), signal);
        EXPECT_TRUE(first.endsWithZero()) << first.log();
        EXPECT_EQ(countOf(first.log(), kKillHandled), 1) << first.log();
        EXPECT_FALSE(fs::exists(event));
        EXPECT_FALSE(fs::exists(folder_.file("run/Tavrik_Window_09A")));
    }
}

TEST_F(ProgramProcessTest, KillWithoutAnInstanceEndsAtOnceAndStartsNothing) {
    Instance kill = launch({QStringLiteral("/Start"), QStringLiteral("/kill")});
    EXPECT_TRUE(kill.endsWithZero()) << kill.log();
    EXPECT_EQ(kill.log().find("message"), std::string::npos) << kill.log();
    EXPECT_EQ(daemonStarts(), 0);
    EXPECT_FALSE(fs::exists(folder_.file("run/Tavrik_Window_09A")));
}

// A tray icon is as needed as the window's images: without it the program
// would run hidden with no way in.
TEST_F(ProgramProcessTest, MissingSkinImageEndsTheStartWithZero) {
    for (const char* image : {"Skins/Arrow.jpg", "Skins/tray128.png", "Skins/tray142.png"}) {
        SCOPED_TRACE(image);
        fs::rename(binFile(image), binFile("saved"));
        Instance program = launch({});
        EXPECT_TRUE(program.endsWithZero()) << program.log();
        EXPECT_EQ(program.log().find(kInitHandled), std::string::npos) << program.log();
        program.process().kill(); // one that went on must not count as the next row's instance
        program.process().waitForFinished();
        fs::rename(binFile("saved"), binFile(image));
    }
}

} // namespace
} // namespace tavrik::app
