// Campaign: another local user against a running instance. A second user,
// made for the test, tries to reach the instance socket and the virtual
// keyboard's control socket, to take the instance lock, to read the files the
// program made, and makes named events of its own. The user's folders stand
// open to others as a home folder often does (0755): what keeps the other
// user out must be the program's own doing.

#include "device/Channels.h"
#include "device/LinkShutdown.h"
#include "device/ServiceBinding.h"
#include "device/WorkerThreads.h"
#include "platform/IniFile.h"
#include "platform/InstanceLock.h"
#include "platform/InstanceMessenger.h"
#include "platform/NamedEvents.h"
#include "platform/PathSet.h"
#include "platform/RuntimeFolder.h"
#include "platform/SettingsStore.h"
#include "profile/KeyboardBackup.h"
#include "profile/ProfileFile.h"
#include "service/virtual/ControlSocketPath.h"
#include "service/virtual/SharedDevicePaths.h"
#include "service/virtual/StateFile.h"
#include "sync/DataSets.h"
#include "sync/ProfileActivation.h"
#include "sync/WorkingFile.h"
#include "tests/reliability/CampaignPoints.h"
#include "tests/reliability/ChildProcess.h"
#include "tests/reliability/SaveVersions.h"
#include "tests/support/GuiTestApplication.h"
#include "tests/support/InstanceServingThread.h"
#include "tests/support/TemporaryFolder.h"

#include <QCoreApplication>
#include <QSettings>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <pwd.h>
#include <semaphore.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrik::reliability {
namespace {

const std::string kBin = TAVRIK_BIN_DIR;

// Runs a system tool; its exit status, or -1 when it could not be started.
int runTool(std::vector<std::string> arguments) {
    ChildProcess tool;
    return tool.start(std::move(arguments)) ? tool.wait() : -1;
}

// A local user made for the test and removed after it, with its group.
class TestUser {
public:
    TestUser() : name_("tavrik-probe-" + std::to_string(::getpid())) {}
    ~TestUser() {
        if (made_) {
            runTool({"/usr/sbin/userdel", name_});
            std::error_code ignored;
            std::filesystem::remove_all(platform::fallbackRuntimeFolder(uid_), ignored);
        }
    }
    TestUser(const TestUser&) = delete;
    TestUser& operator=(const TestUser&) = delete;

    // Empty when the user was made; otherwise why not.
    std::string make() {
        if (::geteuid() != 0) {
            return "making a second user needs root";
        }
        if (::access("/usr/sbin/useradd", X_OK) != 0) {
            return "useradd is not installed";
        }
        const int status = runTool({"/usr/sbin/useradd", "--system", "--no-create-home",
                                    "--user-group", "--shell", "/usr/sbin/nologin", name_});
        const passwd* entry = ::getpwnam(name_.c_str());
        if (status != 0 || entry == nullptr) {
            return "useradd " + name_ + " failed with status " + std::to_string(status);
        }
        made_ = true;
        uid_ = entry->pw_uid;
        gid_ = entry->pw_gid;
        return {};
    }

    // Each request's line of the probe, run as this user.
    std::vector<std::string>
    probe(const std::vector<std::pair<std::string, std::string>>& requests) {
        std::vector<std::string> arguments = {kBin + "/reliability_other_user",
                                              std::to_string(uid_), std::to_string(gid_)};
        for (const auto& [request, target] : requests) {
            arguments.push_back(request);
            arguments.push_back(target);
        }
        ChildProcess probe;
        std::vector<std::string> lines;
        if (!probe.start(arguments)) {
            return lines;
        }
        std::string line;
        while (lines.size() < requests.size() && probe.readLine(line)) {
            lines.push_back(line);
        }
        probe.wait();
        return lines;
    }

    uid_t uid() const { return uid_; }

private:
    std::string name_;
    bool made_ = false;
    uid_t uid_ = 0;
    gid_t gid_ = 0;
};

class OtherUser : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string why = user.make();
        if (!why.empty()) {
            GTEST_SKIP() << "no second user to test with: " << why;
        }
        // A home folder open to others, and a private runtime folder in it.
        ASSERT_EQ(::chmod(home.path().c_str(), 0755), 0);
        std::filesystem::create_directory(home.file("run"));
        ASSERT_EQ(::chmod(home.file("run").c_str(), 0700), 0);
        ::setenv("XDG_RUNTIME_DIR", home.file("run").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", home.file("config").c_str(), 1);
        ::setenv("XDG_STATE_HOME", home.file("state").c_str(), 1);
        ::setenv("VEZAROR_BACKEND", "virtual", 1);
        QCoreApplication::setOrganizationName(QString::fromLatin1(kSettingsOrganisation));
        QCoreApplication::setApplicationName(QString::fromLatin1(kSettingsApplication));
        // The virtual keyboard's state file and control socket where they go
        // by default.
        for (const char* name : {"VEZAROR_VIRTUAL_STATE", "VEZAROR_VIRTUAL_CONTROL",
                                 "VEZAROR_VIRTUAL_LATENCY_MS", "VEZAROR_VIRTUAL_PLUGGED"}) {
            ::unsetenv(name);
        }
        platform::PathSet paths;
        paths.userDataFolder = home.file("Documents/Tavrik_09A");
        paths.userSettingsFile = paths.userDataFolder + "/zovu.ini";
        platform::installPathSet(paths);
    }
    void TearDown() override {
        device::shutDownDeviceLink();
        device::joinAllWorkers();
        device::resetServiceBinding();
        device::resetChannels();
        platform::resetPathSet();
        sync::resetDataSets();
        for (const char* name : {"XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "XDG_STATE_HOME"}) {
            ::unsetenv(name);
        }
    }

    TestUser user;
    tavrik::testing::TemporaryFolder home;
};

TEST_F(OtherUser, CannotReachTakeOverOrReadTheInstanceOfAnotherUser) {
    // The running instance: its lock, its socket, its events, the virtual
    // keyboard with its state saved, and the files it writes.
    platform::InstanceLock lock;
    ASSERT_TRUE(lock.createOwned(platform::kInstanceMutexName));
    tavrik::testing::InstanceServingThread window;
    ASSERT_TRUE(window.listen(platform::instanceSocketPath()));
    platform::NamedEvents events;
    ASSERT_EQ(events.create(), platform::kNamedEventCount);
    ASSERT_EQ(device::bindService(), device::BindResult::Bound);
    device::registerChannels();
    ASSERT_TRUE(sync::setActiveProfile(1));
    platform::ensureUserFolder();
    ASSERT_TRUE(profile::writeDefaultProfileFile(sync::workingFilePath(0), 0));
    ASSERT_TRUE(platform::IniFile(platform::pathSet().userSettingsFile)
                    .writeString(u"KEYCOLOR", u"DengCheck", u"1"));
    ASSERT_TRUE(platform::writeSetting(u"PROFILES", u"probe", u"1"));
    profile::KeyboardBackup backup;
    backup.macroArea.assign(profile::kSmallestBackupMacroArea, 0);
    const std::string backupFile = platform::pathSet().userDataFolder + "/keyboard.tkb";
    ASSERT_TRUE(profile::writeKeyboardBackupFile(backupFile, backup));
    const std::string settingsFile = QSettings().fileName().toStdString();
    const std::string stateFile = service::stateFilePathFromEnvironment();
    ASSERT_TRUE(std::filesystem::exists(stateFile)) << stateFile;

    const std::vector<std::pair<std::string, std::string>> refused = {
        {"connect", platform::instanceSocketPath().toStdString()},
        {"connect", service::controlSocketPath()},
        {"lock", platform::instanceLockPath(platform::kInstanceMutexName)},
        {"read", sync::workingFilePath(0)},
        {"read", platform::pathSet().userSettingsFile},
        {"read", settingsFile},
        {"read", stateFile},
        {"read", backupFile},
        {"connect", service::sharedDevicePaths(stateFile).socket},
        {"lock", service::sharedDevicePaths(stateFile).exchangeLock},
        {"lock", service::sharedDevicePaths(stateFile).serverLock},
    };
    // A file the user shares on purpose: the probe reaches what it may.
    const std::string shared = home.file("shared.txt");
    std::ofstream(shared) << "ok";
    ASSERT_EQ(::chmod(shared.c_str(), 0644), 0);
    std::vector<std::pair<std::string, std::string>> requests = refused;
    requests.push_back({"instance", "-"});
    requests.push_back({"events", "-"});
    requests.push_back({"read", shared});
    const std::vector<std::string> lines = user.probe(requests);
    ASSERT_EQ(lines.size(), requests.size()) << ::testing::PrintToString(lines);

    std::size_t reached = 0;
    for (std::size_t i = 0; i < refused.size(); ++i) {
        // Refused for want of permission, not missed for a wrong path.
        const bool refusedOk = lines[i].ends_with(": no (Permission denied)");
        EXPECT_TRUE(refusedOk) << lines[i];
        reached += refusedOk ? 0 : 1;
    }
    // The other user sees no instance in our runtime folder and keeps its own
    // in its own; ours goes on holding its lock and serving its socket.
    const std::string ownFolder = platform::fallbackRuntimeFolder(user.uid());
    EXPECT_EQ(lines[refused.size()], "instance -: none taken at " + ownFolder + "/" +
                                         std::string(platform::kInstanceMutexName));
    EXPECT_EQ(lines[refused.size() + 1], "events -: 210 created");
    EXPECT_EQ(lines[refused.size() + 2], "read " + shared + ": yes");
    EXPECT_TRUE(platform::InstanceLock::exists(platform::kInstanceMutexName));
    EXPECT_TRUE(lock.isOwned());
    sem_t* ours =
        ::sem_open(platform::namedEventObjectName(platform::namedEventName(1)).c_str(), 0);
    EXPECT_NE(ours, SEM_FAILED) << "our named events are gone";
    if (ours != SEM_FAILED) {
        ::sem_close(ours);
    }

    std::ostringstream figures;
    figures << refused.size() << " ways in tried as uid " << user.uid() << ": " << reached
            << " reached; instance taken over: "
            << (lines[refused.size()].rfind("instance -: none taken", 0) == 0 ? "no" : "yes")
            << "; named events shared: "
            << (lines[refused.size() + 1] == "events -: 210 created" ? "no" : "yes");
    reportFigures("another local user", figures.str());
}

} // namespace
} // namespace tavrik::reliability
