#pragma once
// The main window in the test process, as the program runs it: the real
// service library with a virtual keyboard of the test's own, a copy of the
// program's Skins and Help folders as its program folder, and a home,
// runtime folder and documents folder of its own, so that nothing touches
// the user's files.

#include "app/mainwindow/CTavrikDlg.h"
#include "app/tray/CTrayIcon.h"
#include "device/Commands.h"
#include "device/DeviceChangeWorker.h"
#include "device/DeviceState.h"
#include "device/ServiceBinding.h"
#include "device/StartFlags.h"
#include "platform/PathSet.h"
#include "platform/Ports.h"
#include "sync/DataSets.h"
#include "sync/DeviceMemory.h"
#include "sync/KeyboardWork.h"
#include "tests/support/GuiTestApplication.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/VirtualKeyboardSession.h"
#include "text/LanguageFile.h"
#include "text/LanguageTexts.h"
#include "ui/SkinImageCache.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QKeyEvent>
#include <QSettings>
#include <QThread>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <semaphore.h>
#include <sys/stat.h>

namespace tavrik::testing {

// Serves events until `condition` holds or `milliseconds` have passed;
// returns whether it holds.
template <typename Condition> bool serveEventsUntil(Condition condition, int milliseconds = 5000) {
    const QDeadlineTimer deadline(milliseconds);
    while (!condition()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

inline void serveEventsFor(int milliseconds) {
    serveEventsUntil([] { return false; }, milliseconds);
}

// A key pressed and released on `widget`, through the application as a
// real key would come.
inline void pressKey(QWidget& widget, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(&widget, &release);
}

inline bool namedEventExists(const std::string& name) {
    sem_t* semaphore = ::sem_open(platform::namedEventObjectName(name).c_str(), 0);
    if (semaphore == SEM_FAILED) {
        return false;
    }
    ::sem_close(semaphore);
    return true;
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        namespace fs = std::filesystem;
        for (const char* name : {"home", "run", "state", "config", "data", "cache", "bin"}) {
            fs::create_directory(folder_.file(name));
        }
        ::chmod(folder_.file("run").c_str(), 0700);
        ::setenv("HOME", folder_.file("home").c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", folder_.file("run").c_str(), 1);
        ::setenv("XDG_STATE_HOME", folder_.file("state").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", folder_.file("config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", folder_.file("data").c_str(), 1);
        ::setenv("XDG_CACHE_HOME", folder_.file("cache").c_str(), 1);
        // The window serves no bus of the desktop's; the bus tests give it one
        // of their own.
        ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
        // The settings store keeps the folder it first found for the whole
        // process; each test gets its own.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(folder_.file("config")));
        for (const char* skinFolder : {"Skins", "Help"}) {
            fs::copy(std::string(TAVRIK_BIN_DIR) + "/" + skinFolder, programFolder() + skinFolder,
                     fs::copy_options::recursive);
        }
        keyboard_.useEnvironment();
        // The desktop of most tests shows tray icons; the offscreen platform
        // has no notification area of its own.
        app::CTrayIcon::setHostCheck([this] { return trayHostAvailable_; });
        platform::installPathSet(
            platform::buildPathSet(programFolder() + "tavrik", folder_.file("home/Documents")));
        text::loadLanguageTexts(platform::pathSet().languageFile);
    }

    void TearDown() override {
        if (window_) {
            window_->exitProgram();
            window_.reset();
        }
        if (device::isServiceBound()) {
            device::service().End();
        }
        keyboard_.stop();
        device::setDeviceChangeWorkerBody({});
        device::resetStartFlags();
        device::resetDeviceState();
        sync::resetDeviceMemory();
        sync::resetDataSets();
        device::setCachedActiveProfile(-1);
        platform::resetPorts();
        platform::resetPathSet();
        text::resetLanguageTexts();
        ui::clearSkinImages();
        app::CTrayIcon::setHostCheck({});
        ::unsetenv("VEZAROR_VIRTUAL_PLUGGED");
    }

    // "<temporary folder>/bin/", the program folder with Skins and Help.
    std::string programFolder() const { return folder_.file("bin") + "/"; }

    // Constructs and initialises the window with `arguments` after the
    // program name, and waits until it has finished starting: initialised,
    // and the first keyboard's read ended (a window that the start opens
    // shows while it runs).
    app::CTavrikDlg& start(const QStringList& arguments = {}) {
        initialiseWindow(arguments);
        EXPECT_TRUE(serveEventsUntil([this] {
            return window_->isInitialised() && device::deviceChangeWorkersIdle() &&
                   !sync::isKeyboardWorkRunning();
        }));
        return *window_;
    }

    // The window initialised, its posted start-up message not yet handled.
    app::CTavrikDlg& initialiseWindow(const QStringList& arguments = {}) {
        window_ =
            std::make_unique<app::CTavrikDlg>(QStringList{QStringLiteral("tavrik")} + arguments);
        EXPECT_FALSE(window_->endsAtStart());
        window_->initialise();
        return *window_;
    }

    // Waits until the device-change worker has shown the keyboard's state in
    // the tray.
    bool waitForTrayIcon(int iconId) {
        return serveEventsUntil([this, iconId] { return window_->trayIconId() == iconId; });
    }

    TemporaryFolder folder_;
    VirtualKeyboardSession keyboard_{folder_};
    std::unique_ptr<app::CTavrikDlg> window_;
    // What CTrayIcon::isHostAvailable answers.
    bool trayHostAvailable_ = true;
};

} // namespace tavrik::testing
