#pragma once
// The real service library with a fresh virtual keyboard, bound as the program
// binds it (dlopen by bare name through the test program's RUNPATH). The
// keyboard's state file and control socket live in the test's temporary
// folder. Link the test with vkbd_control and make it depend on VezAror.

#include "device/Channels.h"
#include "device/Clock.h"
#include "device/DeviceChangeWorker.h"
#include "device/LinkShutdown.h"
#include "device/ServiceBinding.h"
#include "device/StartFlags.h"
#include "device/Transaction.h"
#include "device/WorkerThreads.h"
#include "service/virtual/ControlClient.h"
#include "tests/support/TemporaryFolder.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tavrik::testing {

// The environment of a virtual keyboard whose state file and control socket
// are in `folder`, and of a private runtime folder there: what the service
// and the programs a test starts read.
inline void useVirtualKeyboardIn(const TemporaryFolder& folder) {
    ::setenv("VEZAROR_BACKEND", "virtual", 1);
    ::setenv("VEZAROR_VIRTUAL_STATE", folder.file("keyboard.state").c_str(), 1);
    ::setenv("VEZAROR_VIRTUAL_CONTROL", folder.file("vkbd.sock").c_str(), 1);
    ::unsetenv("VEZAROR_VIRTUAL_LATENCY_MS");
    ::unsetenv("VEZAROR_VIRTUAL_PLUGGED");
    std::filesystem::create_directory(folder.file("run"));
    std::filesystem::permissions(folder.file("run"), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace);
    ::setenv("XDG_RUNTIME_DIR", folder.file("run").c_str(), 1);
    // Where a running program marks itself for the user (RunningMark.h).
    ::setenv("XDG_STATE_HOME", folder.file("state").c_str(), 1);
}

class VirtualKeyboardSession {
public:
    explicit VirtualKeyboardSession(const TemporaryFolder& folder)
        : statePath_(folder.file("keyboard.state")), socketPath_(folder.file("vkbd.sock")),
          control_(socketPath_) {}
    ~VirtualKeyboardSession() { stop(); }
    VirtualKeyboardSession(const VirtualKeyboardSession&) = delete;
    VirtualKeyboardSession& operator=(const VirtualKeyboardSession&) = delete;

    // The environment the service reads when it starts.
    void useEnvironment() const {
        ::setenv("VEZAROR_BACKEND", "virtual", 1);
        ::setenv("VEZAROR_VIRTUAL_STATE", statePath_.c_str(), 1);
        ::setenv("VEZAROR_VIRTUAL_CONTROL", socketPath_.c_str(), 1);
        ::unsetenv("VEZAROR_VIRTUAL_LATENCY_MS");
        ::unsetenv("VEZAROR_VIRTUAL_PLUGGED");
    }

    // Binds the service and registers the channels, which queries the device
    // count and starts a device-change worker when a body is registered.
    bool start() {
        useEnvironment();
        if (device::bindService() != device::BindResult::Bound) {
            return false;
        }
        device::registerChannels();
        started_ = true;
        return true;
    }

    void stop() {
        if (started_) {
            device::shutDownDeviceLink();
        }
        device::joinAllWorkers();
        device::resetServiceBinding();
        device::resetChannels();
        device::responseHandover().reset();
        started_ = false;
    }

    // Sends a control command; the reply when it starts with "ok".
    std::string control(const std::string& command) {
        std::string reply;
        std::string error;
        EXPECT_TRUE(control_.request(command, reply, error)) << command << ": " << error;
        EXPECT_EQ(reply.rfind("ok", 0), 0u) << command << ": " << reply;
        return reply;
    }

    std::vector<std::uint8_t> area(const std::string& name) {
        std::vector<std::uint8_t> bytes;
        std::string error;
        EXPECT_TRUE(control_.readArea(name, bytes, error)) << name << ": " << error;
        return bytes;
    }

    // Commands the keyboard has answered so far.
    long answeredCommands() {
        const std::string reply = control("state");
        const auto at = reply.find("commands=");
        return at == std::string::npos ? -1 : std::stol(reply.substr(at + 9));
    }

    int activeProfile() {
        const std::string reply = control("state");
        const auto at = reply.find("profile=");
        return at == std::string::npos ? -1 : std::stoi(reply.substr(at + 8));
    }

    const std::string& statePath() const { return statePath_; }
    const std::string& socketPath() const { return socketPath_; }

private:
    std::string statePath_;
    std::string socketPath_;
    service::ControlClient control_;
    bool started_ = false;
};

} // namespace tavrik::testing
