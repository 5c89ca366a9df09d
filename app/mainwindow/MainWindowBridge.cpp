#include "app/mainwindow/MainWindowBridge.h"

#include "app/mainwindow/CTavrikDlg.h"
#include "app/mainwindow/WindowTimers.h"
#include "device/WorkerThreads.h"
#include "platform/WindowMessage.h"

#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <thread>

namespace tavrik::app {
namespace {

constexpr int kDrainPollMilliseconds = 5;

// Serves the current thread's events until `done` holds.
template <typename Condition> void serveEventsUntil(Condition done) {
    if (done()) {
        return;
    }
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done()) {
            loop.quit();
        }
    });
    poll.start(kDrainPollMilliseconds);
    loop.exec();
}

} // namespace

// A call in progress: counted before the window is looked at, so that
// detach, which clears the window first and then waits for the count, never
// lets the window go while a call that saw it still runs.
class MainWindowBridge::Call {
public:
    explicit Call(const MainWindowBridge& bridge) : count_(bridge.callsInProgress_) {
        ++count_;
        window_ = bridge.window_.load();
    }
    ~Call() { --count_; }
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;

    CTavrikDlg* window() const { return window_; }

private:
    std::atomic<int>& count_;
    CTavrikDlg* window_ = nullptr;
};

MainWindowBridge& mainWindowBridge() {
    static auto* bridge = new MainWindowBridge;
    return *bridge;
}

void MainWindowBridge::attach(CTavrikDlg& window) {
    window_.store(&window);
}

void MainWindowBridge::detach(CTavrikDlg& window) {
    CTavrikDlg* attached = &window;
    if (!window_.compare_exchange_strong(attached, nullptr)) {
        return;
    }
    // Workers may be waiting for this thread (a message, a message box), so
    // they are joined on a thread of their own while this one serves events.
    std::atomic<bool> workersEnded{false};
    std::thread joiner([&workersEnded] {
        device::joinAllWorkers();
        workersEnded.store(true);
    });
    serveEventsUntil([&] { return workersEnded.load() && callsInProgress_.load() == 0; });
    joiner.join();
}

template <typename Work> void MainWindowBridge::onWindow(Work work, bool blocking) {
    const Call call(*this);
    CTavrikDlg* window = call.window();
    if (window == nullptr) {
        return;
    }
    if (QThread::currentThread() == window->thread()) {
        work(*window);
        return;
    }
    QMetaObject::invokeMethod(
        window, [window, work] { work(*window); },
        blocking ? Qt::BlockingQueuedConnection : Qt::QueuedConnection);
}

std::intptr_t MainWindowBridge::sendMessage(std::uint32_t message, std::uintptr_t wParam,
                                            std::intptr_t lParam) {
    const Call call(*this);
    return call.window() == nullptr
               ? 0
               : platform::sendWindowMessage(call.window(), message, wParam, lParam);
}

void MainWindowBridge::postMessage(std::uint32_t message, std::uintptr_t wParam,
                                   std::intptr_t lParam) {
    const Call call(*this);
    if (call.window() != nullptr) {
        platform::postWindowMessage(call.window(), message, wParam, lParam);
    }
}

void MainWindowBridge::setTimer(std::uint32_t timerId, std::uint32_t milliseconds) {
    onWindow(
        [timerId, milliseconds](CTavrikDlg& window) { window.timers().set(timerId, milliseconds); },
        false);
}

void MainWindowBridge::killTimer(std::uint32_t timerId) {
    onWindow([timerId](CTavrikDlg& window) { window.timers().kill(timerId); }, false);
}

bool MainWindowBridge::isInitialised() const {
    const Call call(*this);
    // A window that has gone waits for nothing: workers that wait for it end.
    return call.window() == nullptr || call.window()->isInitialised();
}

void MainWindowBridge::hideWindow() {
    onWindow([](CTavrikDlg& window) { window.hideWindow(); }, true);
}

void MainWindowBridge::setTrayIcon(int iconId) {
    onWindow([iconId](CTavrikDlg& window) { window.setTrayIcon(iconId); }, true);
}

int MainWindowBridge::lastNormalTrayIcon() const {
    const Call call(*this);
    return call.window() == nullptr ? platform::trayicon::NoKeyboard
                                    : call.window()->lastNormalTrayIcon();
}

void MainWindowBridge::setApplyEnabled(bool enabled) {
    {
        // Noted at once, so that the caller reads back what it set; the
        // button follows on the window's thread.
        const Call call(*this);
        if (call.window() != nullptr) {
            call.window()->noteApplyPending(enabled);
        }
    }
    onWindow([enabled](CTavrikDlg& window) { window.setApplyEnabled(enabled); }, false);
}

bool MainWindowBridge::isApplyEnabled() const {
    const Call call(*this);
    return call.window() != nullptr && call.window()->isApplyEnabled();
}

void MainWindowBridge::refreshKeyButtons() {
    onWindow([](CTavrikDlg& window) { window.refreshKeyButtons(); }, false);
}

void MainWindowBridge::setBusyIndicatorVisible(bool visible) {
    onWindow([visible](CTavrikDlg& window) { window.setBusyIndicatorVisible(visible); }, false);
}

} // namespace tavrik::app
