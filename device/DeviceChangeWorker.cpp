#include "device/DeviceChangeWorker.h"

#include "device/DeviceState.h"
#include "device/WorkerThreads.h"

#include <mutex>

namespace tavrik::device {
namespace {

struct RegisteredBody {
    std::mutex mutex;
    DeviceChangeWorkerBody body;
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
    // Every count the service reports passes here, first count and events
    // alike: known at once, whatever the workers still have to do.
    noteReportedDeviceCount(deviceCount);
    DeviceChangeWorkerBody body;
    {
        RegisteredBody& registered = registeredBody();
        std::lock_guard lock(registered.mutex);
        body = registered.body;
    }
    if (!body) {
        return false;
    }
    return startWorkerThread([body = std::move(body), deviceCount] { body(deviceCount); });
}

} // namespace tavrik::device
