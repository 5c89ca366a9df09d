#pragma once
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
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tavrik::testing {

namespace fs = std::filesystem;

inline constexpr int kStartMilliseconds = 20000;

inline std::string readFile(const std::string& path) {
    std::ifstream file(path);
    std::stringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

inline int countOf(const std::string& text, const std::string& what) {
    int count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos;
         at = text.find(what, at + what.size())) {
        ++count;
    }
    return count;
}

// The log lines of the window's messages.
inline const std::string kInitHandled = "message 0x4d4e wParam 0x494e4954";
inline const std::string kOpenHandled = "message 0x5350 wParam 0x4f50454e";
inline const std::string kKillHandled = "message 0x4d4b wParam 0x4c4c494b";
inline const std::string kWindowShown = "window shown";
inline const std::string kNoKeyboard = "no keyboard";

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
    // and no platform is named for it. On Wayland it is a client of the
    // compositor at waylandDisplay_; on X11 a client of the X server at
    // x11Display_, with no session bus, so no tray host of one either.
    enum class Display { Offscreen, None, Wayland, X11 };

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
        } else if (display == Display::Wayland) {
            set("QT_QPA_PLATFORM", "wayland");
            set("WAYLAND_DISPLAY", waylandDisplay_);
            environment.remove(QStringLiteral("DISPLAY"));
        } else if (display == Display::X11) {
            set("QT_QPA_PLATFORM", "xcb");
            set("DISPLAY", x11Display_);
            environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
            environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
        } else {
            for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
                environment.remove(QString::fromLatin1(name));
            }
        }
        set("QT_LOGGING_RULES",
            "tavrik.window.debug=true\ntavrik.prompt.debug=true\ntavrik.editor.debug=true\n"
            "tavrik.appprofiles.debug=true\ntavrik.focus.debug=true");
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
    std::string waylandDisplay_;
    std::string x11Display_;
    std::vector<std::unique_ptr<QProcess>> processes_;
};

} // namespace tavrik::testing
