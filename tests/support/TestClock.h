#pragma once
// A clock that records every wait the device link asks for and waits only a
// fraction of it, so the protocol's failure paths run in milliseconds.

#include "device/Clock.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace tavrik::testing {

class TestClock final : public device::Clock {
public:
    struct Step {
        bool isWait = false; // a wait for the response event, else a sleep
        std::chrono::milliseconds duration{0};
        std::size_t writesBefore = 0; // packets written when the step began
    };

    // Each wait lasts its duration divided by `divisor` (at least 1 ms for
    // event waits).
    explicit TestClock(int divisor = 1000) : divisor_(divisor) {}

    void countWritesWith(std::function<std::size_t()> writes) {
        std::lock_guard lock(mutex_);
        writes_ = std::move(writes);
    }
    void failWaits(bool fail) {
        std::lock_guard lock(mutex_);
        failWaits_ = fail;
    }

    void sleepFor(std::chrono::milliseconds duration) override {
        record(false, duration);
        std::this_thread::sleep_for(duration / divisor_);
    }

    device::WaitResult waitForEvent(device::AutoResetEvent& event,
                                    std::chrono::milliseconds timeout) override {
        record(true, timeout);
        {
            std::lock_guard lock(mutex_);
            if (failWaits_) {
                return device::WaitResult::Failed;
            }
        }
        const auto scaled = std::max(timeout / divisor_, std::chrono::milliseconds(1));
        return event.waitFor(scaled) ? device::WaitResult::Signalled : device::WaitResult::TimedOut;
    }

    std::vector<Step> steps() const {
        std::lock_guard lock(mutex_);
        return steps_;
    }
    std::vector<std::chrono::milliseconds> durations(bool waits) const {
        std::vector<std::chrono::milliseconds> result;
        for (const Step& step : steps()) {
            if (step.isWait == waits) {
                result.push_back(step.duration);
            }
        }
        return result;
    }
    std::vector<std::chrono::milliseconds> sleeps() const { return durations(false); }
    std::vector<std::chrono::milliseconds> waits() const { return durations(true); }

private:
    void record(bool isWait, std::chrono::milliseconds duration) {
        std::function<std::size_t()> writes;
        {
            std::lock_guard lock(mutex_);
            writes = writes_;
        }
        const std::size_t before = writes ? writes() : 0;
        std::lock_guard lock(mutex_);
        steps_.push_back({isWait, duration, before});
    }

    const int divisor_;
    mutable std::mutex mutex_;
    std::vector<Step> steps_;
    std::function<std::size_t()> writes_;
    bool failWaits_ = false;
};

} // namespace tavrik::testing
