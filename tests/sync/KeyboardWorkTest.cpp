#include "sync/KeyboardWork.h"

#include "device/WorkerThreads.h"

#include <atomic>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

namespace tavrik::sync {
namespace {

// One piece of work at a time, on a thread of its own; it counts as ended
// before the window hears so, so that the window may start the next at once.
TEST(KeyboardWork, OneAtATimeOffTheCallersThreadAndEndedBeforeItTells) {
    std::mutex mutex;
    std::condition_variable changed;
    bool mayEnd = false;
    bool told = false;
    bool runningWhenTold = true;
    std::thread::id workThread;

    ASSERT_TRUE(startKeyboardWork(
        [&] {
            std::unique_lock lock(mutex);
            workThread = std::this_thread::get_id();
            changed.wait(lock, [&] { return mayEnd; });
        },
        [&] {
            const std::lock_guard lock(mutex);
            runningWhenTold = isKeyboardWorkRunning();
            told = true;
            changed.notify_all();
        }));
    EXPECT_TRUE(isKeyboardWorkRunning());
    bool secondRan = false;
    EXPECT_FALSE(startKeyboardWork([&] { secondRan = true; }, [] {}));
    {
        std::unique_lock lock(mutex);
        mayEnd = true;
        changed.notify_all();
        changed.wait(lock, [&] { return told; });
    }
    device::joinAllWorkers();
    EXPECT_FALSE(runningWhenTold);
    EXPECT_FALSE(isKeyboardWorkRunning());
    EXPECT_FALSE(secondRan);
    EXPECT_NE(workThread, std::this_thread::get_id());

    std::atomic<bool> ranAgain{false};
    EXPECT_TRUE(startKeyboardWork([&] { ranAgain = true; }, [] {}));
    device::joinAllWorkers();
    EXPECT_TRUE(ranAgain);
}

} // namespace
} // namespace tavrik::sync
