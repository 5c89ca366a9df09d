// Whole program starts: copies of the instance probe in a temporary folder,
// with the companion daemon beside them, each in its own process.

#include "tests/support/InstanceServingThread.h"
#include "tests/support/TemporaryFolder.h"

#include <QProcess>
#include <QThread>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace tavrik::app {
namespace {

namespace fs = std::filesystem;

std::string readFile(const std::string& path) {
    std::ifstream file(path);
    std::stringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

class InstanceProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A name of its own, so that no other run's probes count as instances.
        program_ = folder_.file("tavrikprobe" + std::to_string(::getpid()));
        fs::copy_file(TAVRIK_INSTANCE_PROBE, program_);
        fs::permissions(program_, fs::perms::owner_all, fs::perm_options::add);
        std::ofstream(folder_.file("tavrik-daemon"))
            << "#!/bin/sh\necho started >> '" << folder_.file("daemon.log") << "'\n";
        fs::permissions(folder_.file("tavrik-daemon"), fs::perms::owner_all, fs::perm_options::add);
        for (const int session : {0, 1}) {
            fs::create_directory(runtime(session));
            fs::permissions(runtime(session), fs::perms::owner_all, fs::perm_options::replace);
        }
    }
    void TearDown() override {
        for (QProcess* process : running_) {
            process->kill();
            process->waitForFinished(5000);
            delete process;
        }
    }

    // Session 0 is the tests' own; session 1 another login of the same user,
    // with a runtime folder and a log of its own.
    std::string runtime(int session = 0) const {
        return folder_.file(session == 0 ? "run" : "run2");
    }
    std::string socketPath() const { return runtime() + "/Tavrik_Window_09A"; }
    std::string logFile(int session = 0) const {
        return folder_.file(session == 0 ? "probe.log" : "probe2.log");
    }
    std::string log(int session = 0) const { return readFile(logFile(session)); }
    int daemonStarts() const {
        const std::string started = readFile(folder_.file("daemon.log"));
        return static_cast<int>(std::count(started.begin(), started.end(), '\n'));
    }

    QProcess* launch(const QStringList& arguments, int session = 0) {
        auto* process = new QProcess;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime(session)));
        environment.insert("TAVRIK_PROBE_LOG", QString::fromStdString(logFile(session)));
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        process->setProcessEnvironment(environment);
        process->start(QString::fromStdString(program_), arguments);
        running_.push_back(process);
        return process;
    }

    // Starts the first instance and waits until it serves; returns its
    // "READY" line.
    std::string startFirst(QProcess*& first, const QStringList& arguments = {}, int session = 0) {
        first = launch(arguments, session);
        while (!first->canReadLine() && first->waitForReadyRead(10000)) {
        }
        return first->readLine().trimmed().toStdString();
    }

    // Runs an instance to its end; its exit code, or -1 when it did not end
    // normally.
    int runToEnd(const QStringList& arguments, int session = 0) {
        QProcess* process = launch(arguments, session);
        if (!process->waitForFinished(20000) || process->exitStatus() != QProcess::NormalExit) {
            return -1;
        }
        return process->exitCode();
    }

    static bool endsWithZero(QProcess* process) {
        return process->waitForFinished(20000) && process->exitStatus() == QProcess::NormalExit &&
               process->exitCode() == 0;
    }

    void waitForDaemon(int starts) const {
        for (int i = 0; i < 100 && daemonStarts() < starts; ++i) {
            QThread::msleep(50);
        }
    }

    testing::TemporaryFolder folder_;
    std::string program_;
    std::vector<QProcess*> running_;
};

TEST_F(InstanceProcessTest, KillWithoutARunningInstanceEndsAtOnceAndSendsNothing) {
    // A window on the socket that belongs to another program gets nothing.
    testing::InstanceServingThread stranger;
    ASSERT_TRUE(stranger.listen(QString::fromStdString(socketPath())));
    for (const char* kill : {"/Kill", "/kill", "/KILL"}) {
        EXPECT_EQ(runToEnd({kill}), 0) << kill;
    }
    EXPECT_TRUE(stranger.received().empty());
    EXPECT_EQ(daemonStarts(), 0);
    EXPECT_EQ(log(), "");
}

TEST_F(InstanceProcessTest, ASecondStartSendsOneOpenEndsAndLaunchesNoDaemon) {
    QProcess* first = nullptr;
    ASSERT_EQ(startFirst(first), "READY 0");
    waitForDaemon(1);
    ASSERT_EQ(daemonStarts(), 1);

    EXPECT_EQ(runToEnd({}), 0);
    EXPECT_EQ(runToEnd({"/START", "unknown"}), 0);
    EXPECT_EQ(log(), "5350 4f50454e\n5350 4f50454e\n");
    QThread::msleep(300); // time for a wrongly launched daemon to write
    EXPECT_EQ(daemonStarts(), 1);
    EXPECT_EQ(first->state(), QProcess::Running);
}

TEST_F(InstanceProcessTest, KillShutsTheRunningInstanceDownWhereverItStands) {
    // Letter case and the place among the switches are the decision's own
    // tests; here each kind of command line runs once.
    const QStringList commandLines[] = {{"/kill"}, {"/Start", "/KILL"}, {"/Kill", "/Start"}};
    for (const QStringList& commandLine : commandLines) {
        const std::string spelled = commandLine.join(' ').toStdString();
        fs::remove(folder_.file("probe.log"));
        QProcess* first = nullptr;
        ASSERT_EQ(startFirst(first), "READY 0") << spelled;
        EXPECT_EQ(runToEnd(commandLine), 0) << spelled;
        EXPECT_TRUE(endsWithZero(first)) << spelled;
        EXPECT_EQ(log(), "4d4b 4c4c494b\n") << spelled;
    }
}

TEST_F(InstanceProcessTest, TheStartSwitchStartsHidden) {
    QProcess* first = nullptr;
    EXPECT_EQ(startFirst(first, {"/sTaRt"}), "READY 1");
    EXPECT_EQ(runToEnd({"/Kill"}), 0);
    EXPECT_TRUE(endsWithZero(first));
}

TEST_F(InstanceProcessTest, ASocketFileLeftByAnEndedInstanceIsReplaced) {
    const int descriptor = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath().c_str());
    ASSERT_EQ(::bind(descriptor, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(descriptor);

    QProcess* first = nullptr;
    ASSERT_EQ(startFirst(first), "READY 0");
    EXPECT_EQ(runToEnd({}), 0);
    EXPECT_EQ(log(), "5350 4f50454e\n");
}

// A second login, a remote desktop: the same user runs the program in
// another session, with a runtime folder of its own. Each session's
// instance is its own, and a second start or "/Kill" reaches the instance
// of its own session, whichever is older.
TEST_F(InstanceProcessTest, EachSessionOfOneUserReachesItsOwnInstance) {
    QProcess* older = nullptr;
    ASSERT_EQ(startFirst(older, {}, 0), "READY 0");
    QProcess* newer = nullptr;
    ASSERT_EQ(startFirst(newer, {}, 1), "READY 0") << "the other session's instance is its own";

    EXPECT_EQ(runToEnd({}, 1), 0);
    EXPECT_EQ(log(1), "5350 4f50454e\n");
    EXPECT_EQ(runToEnd({"/Kill"}, 1), 0);
    EXPECT_TRUE(endsWithZero(newer));
    EXPECT_EQ(log(1), "5350 4f50454e\n4d4b 4c4c494b\n");
    EXPECT_EQ(log(0), "") << "the older session heard nothing";
    EXPECT_EQ(older->state(), QProcess::Running);

    EXPECT_EQ(runToEnd({"/Kill"}, 0), 0);
    EXPECT_TRUE(endsWithZero(older));
    EXPECT_EQ(log(0), "4d4b 4c4c494b\n");
}

} // namespace
} // namespace tavrik::app
