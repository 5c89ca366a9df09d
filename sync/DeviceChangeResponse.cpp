#include "sync/DeviceChangeResponse.h"

#include "device/Clock.h"
#include "device/Commands.h"
#include "device/DeviceChangeWorker.h"
#include "device/DeviceState.h"
#include "device/StartFlags.h"
#include "device/Transaction.h"
#include "platform/Ports.h"
#include "sync/DeviceMemory.h"
#include "text/LanguageTexts.h"

#include <chrono>

namespace tavrik::sync {
namespace {

using namespace std::chrono_literals;

constexpr auto kInitialisationPoll = 50ms;

// Never destroyed: a worker may still wait on it while the process ends.
device::AutoResetEvent& windowInitialised() {
    static auto* event = new device::AutoResetEvent;
    return *event;
}

void keyboardRemoved(platform::MainWindowPort& window) {
    device::setCachedActiveProfile(-1);
    window.sendMessage(platform::message::DeviceRemoved, 0);
    window.hideWindow();
}

void keyboardPresent(platform::MainWindowPort& window) {
    // A keyboard pulled again while it was read is no failure to tell: the
    // worker of its removal comes next.
    if (!readKeyboardLayoutAndCapacity() && device::queryDeviceCount() > 0) {
        platform::prompter().showMessage(text::languageText("MAIN_DEFAULT_MATRIX_PROMPT"), u"",
                                         platform::MessageIcon::Warning);
    }
    window.sendMessage(platform::message::ProfileReload, platform::wparam::Prof);
}

} // namespace

void respondToDeviceCount(std::int32_t deviceCount) {
    // Workers run one at a time, in the order of their counts
    // (DeviceChangeWorker.h); the comparison comes before the wait for the
    // window, the count is stored after it.
    if (deviceCount == device::storedDeviceCount()) {
        return;
    }
    platform::MainWindowPort& window = platform::mainWindow();
    const bool present = deviceCount > 0;
    if (present) {
        keyboardPresent(window);
    } else {
        keyboardRemoved(window);
    }
    while (!window.isInitialised()) {
        device::deviceClock().waitForEvent(windowInitialised(), kInitialisationPoll);
    }
    window.setTrayIcon(present ? platform::trayicon::KeyboardPresent
                               : platform::trayicon::NoKeyboard);
    device::setStoredDeviceCount(deviceCount);
    if (!device::startFlags().startHidden.load()) {
        if (present) {
            window.postMessage(platform::message::Open, platform::wparam::Open);
        }
        device::startFlags().startHidden.store(true);
    }
}

void installDeviceChangeResponse() {
    device::setDeviceChangeWorkerBody(respondToDeviceCount);
}

void noticeWindowInitialised() {
    // Wakes one waiting worker; any other one sees the window initialised at
    // the end of its step.
    windowInitialised().signal();
}

} // namespace tavrik::sync
