#include "device/DeviceState.h"

#include <atomic>

namespace tavrik::device {
namespace {

std::atomic<int> deviceCount{0};
std::atomic<int> reportedCount{0};

} // namespace

int storedDeviceCount() {
    return deviceCount.load();
}

void setStoredDeviceCount(int count) {
    deviceCount.store(count);
}

int reportedDeviceCount() {
    return reportedCount.load();
}

void noteReportedDeviceCount(int count) {
    reportedCount.store(count);
}

void resetDeviceState() {
    setStoredDeviceCount(0);
    noteReportedDeviceCount(0);
}

} // namespace tavrik::device
