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
        fs::create_directory(runtime());
        fs::permissions(runtime(), fs::perms::owner_all, fs::perm_options::replace);
    }
    void TearDown() override {
        for (QProcess* process : running_) {
            process->kill();
            process->waitForFinished(5000);
            delete process;
        }
    }

    std::string runtime() const { return folder_.file("run"); }
    std::string socketPath() const { return runtime() + "/Tavrik_Window_09A"; }
    std::string log() const { return readFile(folder_.file("probe.log")); }
    int daemonStarts() const {
        const std::string started = readFile(folder_.file("daemon.log"));
        return static_cast<int>(std::count(started.begin(), started.end(), '\n'));
    }

    QProcess* launch(const QStringList& arguments) {
        auto* process = new QProcess;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime()));
        environment.insert("TAVRIK_PROBE_LOG", QString::fromStdString(folder_.file("probe.log")));
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        process->setProcessEnvironment(environment);
        process->start(QString::fromStdString(program_), arguments);
        running_.push_back(process);
        return process;
    }

    // Starts the first instance and waits until it serves; returns its
    // "READY" line.
    std::string startFirst(QProcess*& first, const QStringList& arguments = {}) {
        first = launch(arguments);
        while (!first->canReadLine() && first->waitForReadyRead(10000)) {
        }
        return first->readLine().trimmed().toStdString();
    }

    // Runs an instance to its end; its exit code, or -1 when it did not end
    // normally.
    int runToEnd(const QStringList& arguments) {
        QProcess* process = launch(arguments);
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

} // namespace
} // namespace tavrik::app
