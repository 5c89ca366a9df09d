#include "device/TrayStateWorker.h"

#include "device/Clock.h"
#include "device/DeviceEvents.h"
#include "device/WorkerThreads.h"
#include "platform/Ports.h"

#include <atomic>
#include <chrono>

namespace tavrik::device {
namespace {

using namespace std::chrono_literals;

std::atomic<bool> trayWorkerActive{false};

void runTrayStateWorker(std::uint16_t code) {
    Clock& clock = deviceClock();
    while (trayWorkerActive.exchange(true)) {
        clock.sleepFor(1ms);
    }
    platform::MainWindowPort& window = platform::mainWindow();
    window.setTrayIcon(code == consumer::TrayAlternate ? platform::trayicon::Alternate
                                                       : window.lastNormalTrayIcon());
    clock.sleepFor(1ms);
    trayWorkerActive.store(false);
}

} // namespace

bool startTrayStateWorker(std::uint16_t code) {
    return startWorkerThread([code] { runTrayStateWorker(code); });
}

} // namespace tavrik::device
