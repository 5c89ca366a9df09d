#include "sync/KeyboardWork.h"

#include "device/WorkerThreads.h"

#include <atomic>

namespace tavrik::sync {
namespace {

std::atomic<bool> running{false};

} // namespace

bool startKeyboardWork(std::function<void()> work, std::function<void()> ended) {
    if (running.exchange(true)) {
        return false;
    }
    const bool started =
        device::startWorkerThread([work = std::move(work), ended = std::move(ended)] {
            work();
            running.store(false);
            ended();
        });
    if (!started) {
        running.store(false);
    }
    return started;
}

bool isKeyboardWorkRunning() {
    return running.load();
}

} // namespace tavrik::sync
