// Whole starts of the program, each in its own process: a copy of the
// program folder (the program under a name of this run's own, the service
// library, Skins and Help, and a daemon that notes its starts) with a
// virtual keyboard, in a home and runtime folder of the test's own. The
// window lists the messages it handles on its log ("tavrik.window").

#include "tests/app/startup/ProgramProcessFixture.h"

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
using namespace tavrik::testing;

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
