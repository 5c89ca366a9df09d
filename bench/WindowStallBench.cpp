// How long the main window's thread stands still while the largest Apply
// (the key map pages of the three profiles and a full macro memory) writes to
// the virtual keyboard: the real window, shown, with a 10 ms timer on its
// thread; the longest gap between two of its ticks, less the period, is the
// stall. Runs in the environment bench/run makes (a private home and
// display, the virtual keyboard with a control socket); prints one line per
// latency: "stall_ms_<latency>=<ms> apply_ms_<latency>=<ms>".

#include "app/mainwindow/CTavrikDlg.h"
#include "app/shared/MainWindowIds.h"
#include "app/startup/InitInstance.h"
#include "device/DeviceChangeWorker.h"
#include "device/DeviceState.h"
#include "platform/PathSet.h"
#include "platform/WindowMessage.h"
#include "service/virtual/ControlClient.h"
#include "sync/DataSets.h"
#include "sync/KeyboardWork.h"
#include "tests/support/FullProfile.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using namespace tavrik;

constexpr int kTickMs = 10;

bool serveUntil(const std::function<bool()>& done, int milliseconds) {
    const QDeadlineTimer patience(milliseconds);
    while (!done()) {
        if (patience.hasExpired()) {
            return false;
        }
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

bool setLatency(int milliseconds) {
    const char* socket = std::getenv("VEZAROR_VIRTUAL_CONTROL");
    service::ControlClient control(socket != nullptr ? socket : "");
    std::string reply;
    std::string error;
    return control.request("latency " + std::to_string(milliseconds), reply, error);
}

// The longest gap between ticks while one Apply runs, and the Apply's time.
std::pair<double, double> measureApply(app::CTavrikDlg& window, std::uint16_t variant) {
    {
        const sync::DataSetLock lock = sync::lockWorkingSet();
        sync::workingSet() = testing::fullWorkingSet(variant);
    }
    window.setApplyEnabled(true);
    QElapsedTimer sinceTick;
    double longest = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (sync::isKeyboardWorkRunning()) {
            longest = std::max(longest, sinceTick.nsecsElapsed() / 1e6);
        }
        sinceTick.restart();
    });
    ticker.start(kTickMs);
    sinceTick.start();
    QElapsedTimer apply;
    apply.start();
    platform::sendCommand(&window, app::command::Apply);
    const double applyMs = apply.nsecsElapsed() / 1e6;
    ticker.stop();
    return {longest - kTickMs, applyMs};
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    app::prepareStart(platform::findExecutablePath());
    app::CTavrikDlg window(QStringList{QStringLiteral("tavrik"), QStringLiteral("/Start")});
    if (window.endsAtStart()) {
        std::fprintf(stderr, "another Tavrik runs in this home\n");
        return 1;
    }
    window.initialise();
    if (!serveUntil(
            [&] {
                return window.isInitialised() && device::reportedDeviceCount() == 1 &&
                       device::deviceChangeWorkersIdle() && !sync::isKeyboardWorkRunning();
            },
            20000)) {
        std::fprintf(stderr, "the virtual keyboard was not found\n");
        return 1;
    }
    platform::sendWindowMessage(&window, platform::message::Open, platform::wparam::Open);
    serveUntil([] { return false; }, 300);
    std::uint16_t variant = 1;
    for (int index = 1; index < argc; ++index) {
        const int latency = std::atoi(argv[index]);
        if (!setLatency(latency)) {
            std::fprintf(stderr, "the virtual keyboard's latency cannot be set\n");
            return 1;
        }
        const auto [stall, applyMs] = measureApply(window, variant++);
        std::printf("stall_ms_%d=%.1f apply_ms_%d=%.0f\n", latency, stall, latency, applyMs);
    }
    setLatency(0);
    window.exitProgram();
    return 0;
}
