#include "device/DeviceChangeWorker.h"

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
