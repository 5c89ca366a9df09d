#pragma once
// The busy-indicator worker animates the main window while Apply runs: a
// short-lived thread with a message queue. Any message but the stop message
// (re)starts timer 1050 on the main window with a 50 ms period (the window
// cycles the indicator's images on it); the stop message waits 100 ms, stops
// the timer, hides the indicator and ends the thread.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace tavrik::sync {

namespace busymessage {
constexpr std::uint32_t Start = 1025;
constexpr std::uint32_t Stop = 1026;
} // namespace busymessage

class BusyIndicatorQueue {
public:
    void post(std::uint32_t message);
    // Waits for the next message.
    std::uint32_t take();

private:
    std::mutex mutex_;
    std::condition_variable condition_;
    std::deque<std::uint32_t> messages_;
};

// Starts a worker (a tracked worker thread, WorkerThreads.h) and returns its
// queue; null when the thread could not be created.
std::shared_ptr<BusyIndicatorQueue> startBusyIndicatorWorker();

// Runs `work` with the indicator animating around it, as Apply does: the
// worker started, 100 ms for its queue to exist, the start message, the
// work, the stop message. Without a worker the work runs all the same.
void runWithBusyIndicator(const std::function<void()>& work);

} // namespace tavrik::sync
