#include "sync/BusyIndicatorWorker.h"

#include "device/Clock.h"
#include "device/WorkerThreads.h"
#include "platform/Ports.h"

#include <chrono>

namespace tavrik::sync {
namespace {

using namespace std::chrono_literals;

constexpr std::uint32_t kAnimationPeriodMs = 50;
constexpr auto kStopDelay = 100ms;
// Gives the worker time to start before the first message.
constexpr auto kStartDelay = 100ms;

void runBusyIndicator(BusyIndicatorQueue& queue) {
    for (;;) {
        const std::uint32_t message = queue.take();
        platform::MainWindowPort& window = platform::mainWindow();
        if (message == busymessage::Stop) {
            device::deviceClock().sleepFor(kStopDelay);
            window.killTimer(platform::timer::BusyAnimation);
            window.setBusyIndicatorVisible(false);
            return;
        }
        window.setTimer(platform::timer::BusyAnimation, kAnimationPeriodMs);
    }
}

} // namespace

void BusyIndicatorQueue::post(std::uint32_t message) {
    {
        std::lock_guard lock(mutex_);
        messages_.push_back(message);
    }
    condition_.notify_one();
}

std::uint32_t BusyIndicatorQueue::take() {
    std::unique_lock lock(mutex_);
    condition_.wait(lock, [this] { return !messages_.empty(); });
    const std::uint32_t message = messages_.front();
    messages_.pop_front();
    return message;
}

std::shared_ptr<BusyIndicatorQueue> startBusyIndicatorWorker() {
    auto queue = std::make_shared<BusyIndicatorQueue>();
    if (!device::startWorkerThread([queue] { runBusyIndicator(*queue); })) {
        return nullptr;
    }
    return queue;
}

void runWithBusyIndicator(const std::function<void()>& work) {
    const std::shared_ptr<BusyIndicatorQueue> busy = startBusyIndicatorWorker();
    device::deviceClock().sleepFor(kStartDelay);
    if (busy) {
        busy->post(busymessage::Start);
    }
    work();
    if (busy) {
        busy->post(busymessage::Stop);
    }
}

} // namespace tavrik::sync
