#pragma once
// An unnamed auto-reset event: signal() wakes one waiter, and a successful
// wait consumes the signal. Initially not signalled.

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace tavrik::device {

class AutoResetEvent {
public:
    void signal();
    void reset();
    // True when the event was signalled within `timeout`; the signal is consumed.
    bool waitFor(std::chrono::milliseconds timeout);

private:
    std::mutex mutex_;
    std::condition_variable condition_;
    bool signalled_ = false;
};

} // namespace tavrik::device
