#include "device/DeviceChangeWorker.h"

#include "device/DeviceState.h"
#include "device/WorkerThreads.h"

#include <condition_variable>
#include <mutex>

namespace tavrik::device {
namespace {

struct RegisteredBody {
    std::mutex mutex;
    DeviceChangeWorkerBody body;
    // Tickets in the order of the starts; the body with the ticket being
    // served runs, the others wait for their turn.
    std::uint64_t nextTicket = 0;
    std::uint64_t serving = 0;
    std::condition_variable turn;
};

// Never destroyed: a device-change event may still arrive while the process
// ends.
RegisteredBody& registeredBody() {
    static auto* registered = new RegisteredBody;
    return *registered;
}

} // namespace

void setDeviceChangeWorkerBody(DeviceChangeWorkerBody body) {
    RegisteredBody& registered = registeredBody();
    std::lock_guard lock(registered.mutex);
    registered.body = std::move(body);
}

bool startDeviceChangeWorker(std::int32_t deviceCount) {
    RegisteredBody& registered = registeredBody();
    std::unique_lock lock(registered.mutex);
    // Every count the service reports passes here, first count and events
    // alike: known at once, whatever the workers still have to do. Noted
    // with the ticket taken, so that a count seen is a worker counted.
    noteReportedDeviceCount(deviceCount);
    if (!registered.body) {
        return false;
    }
    const std::uint64_t ticket = registered.nextTicket;
    // Taken under the lock with the ticket, so that the threads' order is
    // the order of the counts.
    const bool started =
        startWorkerThread([&registered, body = registered.body, ticket, deviceCount] {
            std::unique_lock wait(registered.mutex);
            registered.turn.wait(wait, [&] { return registered.serving == ticket; });
            wait.unlock();
            body(deviceCount);
            wait.lock();
            ++registered.serving;
            registered.turn.notify_all();
        });
    if (started) {
        ++registered.nextTicket;
    }
    return started;
}

bool deviceChangeWorkersIdle() {
    RegisteredBody& registered = registeredBody();
    std::lock_guard lock(registered.mutex);
    return registered.serving == registered.nextTicket;
}

} // namespace tavrik::device
