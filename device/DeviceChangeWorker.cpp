#include "device/DeviceChangeWorker.h"

#include "device/DeviceState.h"
#include "device/WorkerThreads.h"

#include <mutex>

namespace tavrik::device {
namespace {

std::mutex bodyMutex;
DeviceChangeWorkerBody registeredBody;

} // namespace

void setDeviceChangeWorkerBody(DeviceChangeWorkerBody body) {
    std::lock_guard lock(bodyMutex);
    registeredBody = std::move(body);
}

bool startDeviceChangeWorker(std::int32_t deviceCount) {
    // Every count the service reports passes here, first count and events
    // alike: known at once, whatever the workers still have to do.
    noteReportedDeviceCount(deviceCount);
    DeviceChangeWorkerBody body;
    {
        std::lock_guard lock(bodyMutex);
        body = registeredBody;
    }
    if (!body) {
        return false;
    }
    return startWorkerThread([body = std::move(body), deviceCount] { body(deviceCount); });
}

} // namespace tavrik::device
